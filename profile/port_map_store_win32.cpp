#include <windows.h>

#include "profile/port_map_store.h"
#include "profile/profile_store.h"
#include "protocol/text.h"
#include "protocol/win32_text.h"

namespace linkmate {
namespace {

// Below HKEY_CURRENT_USER. The registry key is the constant one, not the one a program set for
// its profile: every program must find the same map.
std::wstring KeyPath() {
    return L"Software\\" + Widen(kProfileRegistryKey) + L"\\" + Widen(kPortMapKey);
}

std::wstring ValueName(int number) { return L"COM" + std::to_wstring(number); }

class Key {
public:
    ~Key() {
        if (m_key != nullptr) RegCloseKey(m_key);
    }
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool CannotWrite(std::string* error, LSTATUS status) {
    if (error != nullptr) {
        *error = text::Arg(text::translate("Ports", "the port map %1 cannot be written: %2"),
                           {PortMapKeyPath(), SystemMessage(static_cast<DWORD>(status))});
    }
    return false;
}

}  // namespace

std::string PortMapKeyPath() {
    return "HKEY_CURRENT_USER\\Software\\" + std::string(kProfileRegistryKey) + "\\" +
           std::string(kPortMapKey);
}

std::string ReadPortMapEntry(int number) {
    Key key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_READ, key.out()) !=
        ERROR_SUCCESS) {
        return std::string();
    }
    // An address is short; anything longer is no address.
    wchar_t data[512] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof data - sizeof data[0];
    if (RegQueryValueExW(key.get(), ValueName(number).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::string();
    }
    // The data may or may not end with its zero.
    std::wstring_view text(data, size / sizeof(wchar_t));
    if (const size_t end = text.find(L'\0'); end != std::wstring_view::npos)
        text = text.substr(0, end);
    return Narrow(text);
}

bool WritePortMapEntry(int number, std::string_view address, std::string* error) {
    Key key;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, key.out(), nullptr);
    if (status != ERROR_SUCCESS) return CannotWrite(error, status);
    const std::wstring data = Widen(address);
    status = RegSetValueExW(key.get(), ValueName(number).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) return CannotWrite(error, status);
    return true;
}

bool RemovePortMapEntry(int number, std::string* error) {
    Key key;
    LSTATUS status =
        RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_SET_VALUE, key.out());
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status == ERROR_SUCCESS) status = RegDeleteValueW(key.get(), ValueName(number).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
    return CannotWrite(error, status);
}

}  // namespace linkmate
