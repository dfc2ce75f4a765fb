// The registry's export format ("Windows Registry Editor Version 5.00"), in which the profile is
// kept on platforms without a registry. Pure text in, keys and values out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace linkmate {

enum RegType : uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
    kRegQword = 11,
};

struct RegValue {
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;  // as the registry holds it: REG_SZ with its terminating zero
};

struct RegKey {
    std::string path;  // "HKEY_CURRENT_USER\Software\..."
    std::vector<std::pair<std::string, RegValue>> values;
};

// Key paths and value names compare without regard to ASCII case, as in the registry.
class RegDocument {
public:
    // Never fails: what cannot be understood is left out and marks the document damaged.
    static RegDocument Parse(std::string_view text);
    std::string Serialize() const;

    bool damaged() const { return m_damaged; }
    // Once the file has been rewritten from what could be read, it is whole again.
    void MarkRepaired() { m_damaged = false; }

    const RegKey* FindKey(std::string_view path) const;
    // Creates the key, and every missing key above it down from `root`, when absent.
    RegKey& EnsureKey(std::string_view root, std::string_view path);
    bool HasKey(std::string_view path) const { return FindKey(path) != nullptr; }

    const RegValue* Find(std::string_view path, std::string_view name) const;
    void Set(RegKey& key, std::string_view name, RegValue value);

    const std::vector<RegKey>& keys() const { return m_keys; }

private:
    std::vector<RegKey> m_keys;
    bool m_damaged = false;
};

bool EqualsNoCase(std::string_view a, std::string_view b);

// REG_SZ data for `text`: its bytes up to the first zero byte, then one zero byte.
RegValue TextValue(std::string_view text);
RegValue DwordValue(int32_t value);

}  // namespace linkmate
