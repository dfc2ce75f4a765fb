#include "protocol/settings_table.h"

#include <cctype>
#include <charconv>

#include "protocol/config_lists.h"
#include "protocol/frame_codec.h"
#include "protocol/hex_fields.h"
#include "protocol/hex_text.h"

namespace linkmate {
namespace {

template <size_t N>
std::vector<std::string_view> Entries(const std::array<std::string_view, N>& list) {
    return {list.begin(), list.end()};
}

#define LM_NUMBER(group, field) [](DeviceConfig& c) -> int32_t* { return &c.group.field; }
#define LM_TEXT(field) [](DeviceConfig& c) -> std::string* { return &c.can.field; }

Setting List(std::string_view name, int32_t* (*number)(DeviceConfig&),
             std::vector<std::string_view> entries) {
    return {name, SettingKind::kList, number, nullptr, std::move(entries), 0, 0, 0};
}
Setting Hex(std::string_view name, std::string* (*text)(DeviceConfig&), int bytes) {
    return {name, SettingKind::kHex, nullptr, text, {}, bytes, 0, 0};
}
Setting Number(std::string_view name, int32_t* (*number)(DeviceConfig&), int32_t low,
               int32_t high) {
    return {name, SettingKind::kNumber, number, nullptr, {}, 0, low, high};
}

// Lower case without blanks: how list texts are matched.
std::string Folded(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c != ' ' && c != '\t')
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

std::optional<int32_t> WholeNumber(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

const std::vector<Setting>& ConverterSettings() {
    static const std::vector<Setting> table = {
        List("SerialBaudrate", LM_NUMBER(serial, SerialBaudrate), Entries(lists::SerialBaudrate)),
        List("SerialParity", LM_NUMBER(serial, SerialParity), Entries(lists::SerialParity)),
        List("SerialDataBit", LM_NUMBER(serial, SerialDataBit), Entries(lists::SerialDataBit)),
        List("SerialStopBit", LM_NUMBER(serial, SerialStopBit), Entries(lists::SerialStopBit)),
        List("SerialFlowCtrl", LM_NUMBER(serial, SerialFlowCtrl), Entries(lists::SerialFlowCtrl)),
        List("CanBaudrate", LM_NUMBER(can, CanBaudrate), Entries(lists::CanBaudrate)),
        Hex("CanBTR0", LM_TEXT(CanBTR0), 1),
        Hex("CanBTR1", LM_TEXT(CanBTR1), 1),
        List("CanFrameType", LM_NUMBER(can, CanFrameType), Entries(lists::CanFrameType)),
        List("CanFiterMode", LM_NUMBER(can, CanFiterMode), Entries(lists::CanFiterMode)),
        Hex("CanID", LM_TEXT(CanID), 4),
        Hex("CanAcptCode", LM_TEXT(CanAcptCode), 4),
        Hex("CanAcptMask", LM_TEXT(CanAcptMask), 4),
        Hex("CanAcptCode1", LM_TEXT(CanAcptCode1), 2),
        Hex("CanAcptCode2", LM_TEXT(CanAcptCode2), 2),
        Hex("CanAcptMask1", LM_TEXT(CanAcptMask1), 2),
        Hex("CanAcptMask2", LM_TEXT(CanAcptMask2), 2),
        List("TranMode", LM_NUMBER(tran, TranMode), Entries(lists::TranMode)),
        List("TranDir", LM_NUMBER(tran, TranDir), Entries(lists::TranDir)),
        Number("TranSpace", LM_NUMBER(tran, TranSpace), 0, 255),
        Number("TranID", LM_NUMBER(tran, TranID), 0, 1),
        Number("TranInfo", LM_NUMBER(tran, TranInfo), 0, 1),
        Number("TranIdBase", LM_NUMBER(tran, TranIdBase), 0, 255),
        Number("TranLength", LM_NUMBER(tran, TranLength), 0, 255),
    };
    return table;
}

#undef LM_NUMBER
#undef LM_TEXT

const Setting* FindSetting(std::string_view name) {
    const std::string wanted = Folded(name == "CanFilterMode" ? "CanFiterMode" : name);
    for (const Setting& s : ConverterSettings()) {
        if (Folded(s.name) == wanted) return &s;
    }
    return nullptr;
}

std::string SettingNames() {
    std::string out;
    for (const Setting& s : ConverterSettings()) {
        if (!out.empty()) out += ", ";
        out += s.name;
    }
    return out;
}

bool SetSetting(DeviceConfig& config, const Setting& setting, std::string_view value,
                std::string* error) {
    const auto fail = [&](const std::string& allowed) {
        if (error != nullptr) {
            *error = std::string(setting.name) + ": \"" + std::string(value) +
                     "\" is not allowed; " + allowed;
        }
        return false;
    };
    switch (setting.kind) {
        case SettingKind::kList: {
            const std::string folded = Folded(value);
            for (size_t i = 0; i < setting.entries.size(); ++i) {
                if (Folded(setting.entries[i]) == folded) {
                    *setting.number(config) = static_cast<int32_t>(i);
                    return true;
                }
            }
            if (const auto index = WholeNumber(value);
                index && *index >= 0 && static_cast<size_t>(*index) < setting.entries.size()) {
                *setting.number(config) = *index;
                return true;
            }
            std::string allowed = "it takes an index or a text:";
            for (size_t i = 0; i < setting.entries.size(); ++i) {
                allowed += (i == 0 ? " " : ", ") + std::to_string(i) + " \"" +
                           std::string(setting.entries[i]) + "\"";
            }
            return fail(allowed);
        }
        case SettingKind::kHex:
            if (!IsHexGroupsText(value, setting.bytes)) {
                return fail("it takes " + std::to_string(setting.bytes) +
                            (setting.bytes == 1 ? " byte" : " bytes") +
                            " as hex digit pairs, most significant first (e.g. " +
                            (setting.bytes == 1   ? std::string("1C")
                             : setting.bytes == 2 ? std::string("07 FF")
                                                  : std::string("00 00 07 FF")) +
                            ")");
            }
            *setting.text(config) = std::string(value);
            return true;
        case SettingKind::kNumber:
            if (const auto number = WholeNumber(value);
                number && *number >= setting.low && *number <= setting.high) {
                *setting.number(config) = *number;
                return true;
            }
            return fail("it takes a whole number from " + std::to_string(setting.low) + " to " +
                        std::to_string(setting.high));
    }
    return false;
}

std::string NotKeptByConverter(const Setting& setting, int32_t value) {
    struct Fixed {
        std::string_view name;
        int32_t index;
    };
    static constexpr Fixed kFixed[] = {
        {"SerialDataBit", 3}, {"SerialStopBit", 0}, {"SerialFlowCtrl", 2}};
    for (const Fixed& f : kFixed) {
        if (setting.name != f.name || value == f.index) continue;
        return std::string(setting.name) +
               ": the converter does not keep it; it always works with " + std::to_string(f.index) +
               " \"" + std::string(setting.entries[static_cast<size_t>(f.index)]) + "\"";
    }
    return {};
}

bool RequiredInFile(const Setting& setting) {
    if (setting.kind == SettingKind::kHex && setting.bytes == 2) return false;
    return setting.name != "SerialDataBit" && setting.name != "SerialStopBit" &&
           setting.name != "SerialFlowCtrl";
}

std::string SettingText(DeviceConfig& config, const Setting& setting) {
    if (setting.kind == SettingKind::kHex) return Quoted(*setting.text(config));
    const int32_t value = *setting.number(config);
    std::string text = std::to_string(value);
    if (setting.kind == SettingKind::kList && value >= 0 &&
        static_cast<size_t>(value) < setting.entries.size()) {
        text += " (" + std::string(setting.entries[static_cast<size_t>(value)]) + ")";
    }
    return text;
}

std::vector<SettingDifference> FrameSettingDifferences(const DeviceConfig& a,
                                                       const DeviceConfig& b) {
    // Both sides as the converter holds them: through the frame and back.
    DeviceConfig left, right;
    DecodeConfigFrame(EncodeConfigFrame(a), left);
    DecodeConfigFrame(EncodeConfigFrame(b), right);
    std::vector<SettingDifference> out;
    const std::vector<HexField> used = HexFieldsInFrame(left.can);
    for (const Setting& s : ConverterSettings()) {
        if (s.kind == SettingKind::kHex) {
            // Only the hex fields the frame carries for this filter mode.
            bool carried = false;
            for (HexField f : used) carried |= &HexFieldText(left.can, f) == s.text(left);
            if (!carried) continue;
            if (ParseHexGroups(*s.text(left), s.bytes) != ParseHexGroups(*s.text(right), s.bytes)) {
                out.push_back({s.name, SettingText(left, s), SettingText(right, s)});
            }
        } else if (s.name != "SerialDataBit" && s.name != "SerialStopBit" &&
                   s.name != "SerialFlowCtrl" && *s.number(left) != *s.number(right)) {
            out.push_back({s.name, SettingText(left, s), SettingText(right, s)});
        }
    }
    return out;
}

}  // namespace linkmate
