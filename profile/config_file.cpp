#include "profile/config_file.h"

#include <algorithm>

#include "profile/atomic_file.h"
#include "profile/input_file.h"
#include "profile/profile_store.h"
#include "profile/reg_file.h"
#include "profile/reg_text.h"
#include "protocol/text.h"
#include "protocol/hex_text.h"
#include "protocol/settings_table.h"
#include "protocol/system_reason.h"

namespace linkmate {
namespace {

constexpr std::string_view kSection = "LINKMATE";
constexpr size_t kMaxConfigBytes = 1 << 20;

std::string SectionPath() {
    return "HKEY_CURRENT_USER\\Software\\" + std::string(kProfileRegistryKey) + "\\linkmate\\" +
           std::string(kSection);
}

// The key of the settings: one whose last component is LINKMATE, whatever application saved it.
// The application's own key may be called "linkmate" too (names ignore case), so a key that
// holds values wins over one that is only a path.
const RegKey* SettingsKey(const RegDocument& doc) {
    const RegKey* found = nullptr;
    for (const RegKey& key : doc.keys()) {
        const size_t slash = key.path.rfind('\\');
        if (!EqualsNoCase(std::string_view(key.path).substr(slash + 1), kSection)) continue;
        if (!key.values.empty()) return &key;
        found = &key;
    }
    return found;
}

bool IsText(const RegValue& v) { return v.type == kRegSz || v.type == kRegExpandSz; }

// The two halves of a combined dual-filter text, as a read-back builds the combined one.
void SplitHalves(const std::string& combined, std::string& first, std::string& second) {
    const uint32_t value = ParseHexGroups(combined, 4);
    first = FormatHex16(value >> 16);
    second = FormatHex16(value & 0xFFFF);
}

bool Fail(std::string* error, const std::string& text) {
    if (error != nullptr) *error = text;
    return false;
}

// The file parsed whole; false with the reason, naming the file and the first bad line.
bool ReadRegFile(const std::string& path, RegDocument& doc, std::string* error) {
    std::string bytes;
    if (!ReadInputFile(path, kMaxConfigBytes, bytes, error)) return false;
    if (bytes.size() > kMaxConfigBytes) {
        return Fail(error,
                    text::Arg(text::translate("ConfigFile",
                                              "%1: larger than 1 MiB, not a configuration file"),
                              {path}));
    }
    doc = RegDocument::Parse(bytes);
    if (doc.damaged()) {
        if (doc.firstBadLine() == 0) {
            return Fail(error, text::Arg(text::translate("ConfigFile", "%1: not readable as text"),
                                         {path}));
        }
        return Fail(error,
                    text::Arg(text::translate("ConfigFile", "%1:%2: cannot be read: %3"),
                              {path, std::to_string(doc.firstBadLine()), doc.firstBadText()}));
    }
    return true;
}

// "path:line: " for a value of the file.
std::string At(const std::string& path, const RegValue& value) {
    return path + ":" + std::to_string(value.line) + ": ";
}

// The value into `config` with the rules of `set`; false with the reason.
bool TakeValue(const std::string& path, const Setting& s, const RegValue& value,
               DeviceConfig& config, std::string* error) {
    std::string text;
    if (s.kind == SettingKind::kHex) {
        if (!IsText(value)) {
            return Fail(error,
                        At(path, value) +
                            text::Arg(text::translate("ConfigFile", "\"%1\" must be a text value"),
                                      {std::string(s.name)}));
        }
        text = TextOf(value);
    } else {
        if (value.type != kRegDword || value.data.size() != 4) {
            return Fail(error,
                        At(path, value) +
                            text::Arg(text::translate("ConfigFile", "\"%1\" must be a dword value"),
                                      {std::string(s.name)}));
        }
        const auto& d = value.data;
        text = std::to_string(static_cast<int32_t>(uint32_t{d[0]} | uint32_t{d[1]} << 8 |
                                                   uint32_t{d[2]} << 16 | uint32_t{d[3]} << 24));
    }
    std::string why;
    if (!SetSetting(config, s, text, &why)) return Fail(error, At(path, value) + why);
    return true;
}

// Keys of the settings section that are neither settings nor the profile's model and port.
std::vector<std::string> ForeignKeys(const RegKey& key) {
    std::vector<std::string> out;
    for (const auto& [name, value] : key.values) {
        if (FindSetting(name) == nullptr && !EqualsNoCase(name, "DeviceType") &&
            !EqualsNoCase(name, "ConfigPort")) {
            out.push_back(name);
        }
    }
    return out;
}

}  // namespace

bool ReadConfigFile(const std::string& path, DeviceConfig& config, std::string* error,
                    ConfigFileKeys keys, std::vector<const Setting*>* present) {
    RegDocument doc;
    if (!ReadRegFile(path, doc, error)) return false;
    const RegKey* key = SettingsKey(doc);
    if (key == nullptr) {
        return Fail(error, text::Arg(text::translate("ConfigFile", "%1: no [..\\LINKMATE] section"),
                                     {path}));
    }
    if (keys != ConfigFileKeys::kAny) {
        if (const auto foreign = ForeignKeys(*key); !foreign.empty()) {
            const RegValue* first = doc.Find(key->path, foreign.front());
            return Fail(error, At(path, *first) +
                                   text::Arg(text::translate(
                                                 "ConfigFile",
                                                 "\"%1\" is not a setting; the settings are: %2"),
                                             {foreign.front(), SettingNames()}));
        }
    }

    DeviceConfig read = config;
    const DeviceConfig fallback = ProfileFallbackConfig();
    bool haveHalf[4] = {};
    std::string missing;
    std::vector<const Setting*> found;
    for (const Setting& s : ConverterSettings()) {
        const RegValue* value = doc.Find(key->path, s.name);
        const bool isHalf = s.kind == SettingKind::kHex && s.bytes == 2;
        if (value == nullptr) {
            if (keys == ConfigFileKeys::kAll && RequiredInFile(s)) {
                missing += (missing.empty() ? "" : ", ") + std::string(s.name);
            }
            if (!isHalf && keys != ConfigFileKeys::kPresent) {
                DeviceConfig f = fallback;
                if (s.kind == SettingKind::kHex) {
                    *s.text(read) = *s.text(f);
                } else {
                    *s.number(read) = *s.number(f);
                }
            }
            continue;
        }
        if (!TakeValue(path, s, *value, read, error)) return false;
        if (keys != ConfigFileKeys::kAny && s.kind == SettingKind::kList) {
            if (const std::string why = NotKeptByConverter(s, *s.number(read)); !why.empty()) {
                return Fail(error, At(path, *value) + why);
            }
        }
        found.push_back(&s);
        if (isHalf) {
            const std::string_view n = s.name;
            haveHalf[(n.find("Mask") != std::string_view::npos ? 2 : 0) +
                     (n.back() == '2' ? 1 : 0)] = true;
        }
    }
    if (!missing.empty()) {
        return Fail(error,
                    text::Arg(text::translate(
                                  "ConfigFile",
                                  "%1: settings missing: %2 (to change only the settings a file "
                                  "has, write it with --partial)"),
                              {path, missing}));
    }
    const auto has = [&](std::string_view name) {
        return std::any_of(found.begin(), found.end(),
                           [&](const Setting* s) { return s->name == name; });
    };
    // A profile keeps the combined texts only; the halves they give count as the file's own.
    if (!haveHalf[0] && !haveHalf[1] && (keys != ConfigFileKeys::kPresent || has("CanAcptCode"))) {
        SplitHalves(read.can.CanAcptCode, read.can.CanAcptCode1, read.can.CanAcptCode2);
        if (has("CanAcptCode"))
            found.insert(found.end(), {FindSetting("CanAcptCode1"), FindSetting("CanAcptCode2")});
    }
    if (!haveHalf[2] && !haveHalf[3] && (keys != ConfigFileKeys::kPresent || has("CanAcptMask"))) {
        SplitHalves(read.can.CanAcptMask, read.can.CanAcptMask1, read.can.CanAcptMask2);
        if (has("CanAcptMask"))
            found.insert(found.end(), {FindSetting("CanAcptMask1"), FindSetting("CanAcptMask2")});
    }
    config.serial = read.serial;
    config.can = read.can;
    config.tran = read.tran;
    if (present != nullptr) *present = std::move(found);
    return true;
}

std::string ConfigFileText(const DeviceConfig& config) {
    DeviceConfig c = config;
    if (c.can.CanFiterMode == 0) {
        // The combined texts say what the dual filter is, as a read-back gives them.
        c.can.CanAcptCode = c.can.CanAcptCode1 + " " + c.can.CanAcptCode2;
        c.can.CanAcptMask = c.can.CanAcptMask1 + " " + c.can.CanAcptMask2;
    }
    RegDocument doc;
    RegKey& key = doc.EnsureKey("HKEY_CURRENT_USER\\Software", SectionPath());
    for (const Setting& s : ConverterSettings()) {
        doc.Set(key, s.name,
                s.kind == SettingKind::kHex ? TextValue(*s.text(c)) : DwordValue(*s.number(c)));
    }
    return PlatformRegFileText(doc.Serialize());
}

bool WriteConfigFile(const std::string& path, const DeviceConfig& config, std::string* error) {
    return ReplaceFileAtomically(path, ConfigFileText(config), true, error);
}

bool RegFileForRegedit(const std::string& path, std::string& out, std::string* error) {
    RegDocument doc;
    if (!ReadRegFile(path, doc, error)) return false;
    const RegKey* key = SettingsKey(doc);
    if (key == nullptr || key->values.empty()) {
        return Fail(error, text::Arg(text::translate("ConfigFile",
                                                     "%1: no settings in it, nothing to export"),
                                     {path}));
    }
    out = RegeditEncoding(doc.Serialize());
    return true;
}

}  // namespace linkmate
