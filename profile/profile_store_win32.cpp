// Windows backend of the profile: the values live in the registry under
// HKEY_CURRENT_USER\Software\<registry key>\<application>\<section>, written with the
// wide-character API so that the registry key's Chinese name is the same on every system locale.
#include <windows.h>

#include <ctime>
#include <cstdlib>
#include <optional>
#include <variant>
#include <vector>

#include "profile/profile_names.h"
#include "profile/profile_store.h"
#include "protocol/text.h"
#include "protocol/win32_text.h"

namespace linkmate {
namespace {

class Key {
public:
    Key() = default;
    ~Key() { reset(); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* out() {
        reset();
        return &m_key;
    }
    HKEY get() const { return m_key; }
    // Takes `other`'s key, closing the one held before.
    void TakeFrom(Key& other) {
        reset();
        m_key = other.m_key;
        other.m_key = nullptr;
    }
    void reset() {
        if (m_key != nullptr) RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

}  // namespace

std::string ProfileFilePath(std::string* problem) {
    const ProfileNames names = CurrentProfileNames();
    const std::string why = ProfileNamesProblem(names);
    if (problem != nullptr) *problem = why;
    if (!why.empty()) return std::string();
    return "HKEY_CURRENT_USER\\Software\\" + names.registryKey + "\\" + names.applicationName;
}

struct ProfileTransaction::State {
    ProfileNames names;
    ProfileAccess access = ProfileAccess::kReadWrite;
    std::string error;
    bool usable = false;
    struct Write {
        std::string section;
        std::string key;
        std::variant<int32_t, std::string> value;
    };
    std::vector<Write> writes;

    std::wstring SectionPath(std::string_view section) const {
        return L"Software\\" + Widen(names.registryKey) + L"\\" + Widen(names.applicationName) +
               L"\\" + Widen(section);
    }

    // The section's key for reading, kept open for the rest of the transaction (LoadProfile reads
    // 22 values from one section). Opened with read access alone, so that a key the user may read
    // but not change (a policy does this) still reads; never created. Null when it is missing.
    Key readKey;
    std::string readSection;
    bool readOpened = false;
    HKEY ReadSection(std::string_view section) {
        if (!usable) return nullptr;
        if (readOpened && readSection == section) return readKey.get();
        readOpened = true;
        readSection = section;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ,
                          readKey.out()) != ERROR_SUCCESS) {
            readKey.reset();
        }
        return readKey.get();
    }

    // The section's key for writing: opens Software (never created), then creates or opens each
    // key below it, closing each as soon as the next is open. Null with the reason in `error`.
    Key writeKey;
    std::string writeSection;
    HKEY WriteSection(std::string_view section) {
        if (!usable) return nullptr;
        if (writeKey.get() != nullptr && writeSection == section) return writeKey.get();
        Key parent;
        LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_WRITE, parent.out());
        std::string opened = "HKEY_CURRENT_USER\\Software";
        for (const std::string_view name : {std::string_view(names.registryKey),
                                            std::string_view(names.applicationName), section}) {
            if (status != ERROR_SUCCESS) break;
            opened += "\\" + std::string(name);
            Key child;
            status =
                RegCreateKeyExW(parent.get(), Widen(name).c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, child.out(), nullptr);
            if (status == ERROR_SUCCESS) parent.TakeFrom(child);
        }
        if (status != ERROR_SUCCESS) {
            error = text::Arg(text::translate("Profile", "cannot open the registry key %1: %2"),
                              {opened, SystemMessage(static_cast<DWORD>(status))});
            writeKey.reset();
            return nullptr;
        }
        writeKey.TakeFrom(parent);
        writeSection = section;
        return writeKey.get();
    }

    // What this transaction wrote under `key` last, if anything: reads see the transaction's own
    // writes, as they do in the file store.
    const Write* Pending(std::string_view section, std::string_view key) const {
        for (auto it = writes.rbegin(); it != writes.rend(); ++it) {
            if (CompareStringOrdinal(Widen(it->section).c_str(), -1, Widen(section).c_str(), -1,
                                     TRUE) == CSTR_EQUAL &&
                CompareStringOrdinal(Widen(it->key).c_str(), -1, Widen(key).c_str(), -1, TRUE) ==
                    CSTR_EQUAL) {
                return &*it;
            }
        }
        return nullptr;
    }
};

ProfileTransaction::ProfileTransaction(ProfileAccess access) : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.access = access;
    s.names = CurrentProfileNames();
    s.error = ProfileNamesProblem(s.names);
    s.usable = s.error.empty();
}

ProfileTransaction::~ProfileTransaction() = default;

int32_t ProfileTransaction::ReadInt(std::string_view section, std::string_view key,
                                    int32_t defaultValue) {
    State& s = *m_state;
    if (const State::Write* w = s.Pending(section, key)) {
        if (const auto* value = std::get_if<int32_t>(&w->value)) return *value;
        return defaultValue;
    }
    const HKEY sectionKey = s.ReadSection(section);
    if (sectionKey == nullptr) return defaultValue;
    DWORD type = REG_NONE;
    BYTE data[4] = {};
    DWORD size = sizeof data;
    // Longer data fails with ERROR_MORE_DATA; shorter data or a text is not an integer either.
    if (RegQueryValueExW(sectionKey, Widen(key).c_str(), nullptr, &type, data, &size) !=
            ERROR_SUCCESS ||
        size != sizeof data || IsTextType(type) || type == REG_MULTI_SZ) {
        return defaultValue;
    }
    return static_cast<int32_t>(uint32_t{data[0]} | (uint32_t{data[1]} << 8) |
                                (uint32_t{data[2]} << 16) | (uint32_t{data[3]} << 24));
}

std::string ProfileTransaction::ReadText(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) {
    State& s = *m_state;
    if (const State::Write* w = s.Pending(section, key)) {
        if (const auto* value = std::get_if<std::string>(&w->value)) return *value;
        return std::string(defaultValue);
    }
    const HKEY sectionKey = s.ReadSection(section);
    if (sectionKey == nullptr) return std::string(defaultValue);
    const std::wstring name = Widen(key);
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(sectionKey, name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        !IsTextType(type)) {
        return std::string(defaultValue);
    }
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(sectionKey, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS ||
        !IsTextType(type)) {
        return std::string(defaultValue);
    }
    data.resize(got / sizeof(wchar_t));
    // The registry hands back the data with its terminating zero; the text ends there.
    const size_t end = data.find(L'\0');
    if (end != std::wstring::npos) data.resize(end);
    return Narrow(data);
}

void ProfileTransaction::WriteInt(std::string_view section, std::string_view key, int32_t value) {
    m_state->writes.push_back({std::string(section), std::string(key), value});
}

void ProfileTransaction::WriteText(std::string_view section, std::string_view key,
                                   std::string_view value) {
    m_state->writes.push_back({std::string(section), std::string(key), std::string(value)});
}

// The registry stores value by value: a failure part-way leaves the values before it written,
// and says so.
bool ProfileTransaction::Commit() {
    State& s = *m_state;
    if (s.writes.empty()) return true;
    if (s.access == ProfileAccess::kRead) return false;
    for (const State::Write& w : s.writes) {
        const HKEY sectionKey = s.WriteSection(w.section);
        if (sectionKey == nullptr) return false;
        const std::wstring name = Widen(w.key);
        LSTATUS status;
        if (const auto* number = std::get_if<int32_t>(&w.value)) {
            const DWORD data = static_cast<DWORD>(*number);
            status = RegSetValueExW(sectionKey, name.c_str(), 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&data), sizeof data);
        } else {
            const std::wstring data = Widen(std::get<std::string>(w.value));
            status = RegSetValueExW(sectionKey, name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(data.c_str()),
                                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        }
        if (status != ERROR_SUCCESS) {
            s.error =
                text::Arg(text::translate("Profile", "cannot write the registry value %1: %2"),
                          {w.key, SystemMessage(static_cast<DWORD>(status))});
            return false;
        }
    }
    s.writes.clear();
    return true;
}

const std::string& ProfileTransaction::Error() const { return m_state->error; }

namespace {
// Beside LastFolder, apart from the settings themselves.
constexpr std::string_view kFilesSection = "Files";
constexpr std::string_view kSavedKey = "SettingsSaved";
}  // namespace

int64_t ProfileSavedTime() {
    const std::string saved = ProfileReadText(kFilesSection, kSavedKey, "");
    return saved.empty() ? 0 : std::strtoll(saved.c_str(), nullptr, 10);
}

void MarkProfileSaved(ProfileTransaction& transaction) {
    transaction.WriteText(kFilesSection, kSavedKey,
                          std::to_string(static_cast<long long>(std::time(nullptr))));
}

}  // namespace linkmate
