// The registry's export format ("Windows Registry Editor Version 5.00", and the older "REGEDIT4"),
// in which the profile is kept on platforms without a registry. Pure text in, keys and values out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // As the registry holds it, except that text (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) is UTF-8
    // rather than UTF-16: REG_SZ with its terminating zero.
    std::vector<uint8_t> data;
    size_t line = 0;  // where a parsed document had it (1-based); 0 for a value set in code
};

struct RegKey {
    std::string path;  // "HKEY_CURRENT_USER\Software\..."
    std::vector<std::pair<std::string, RegValue>> values;
    // Position in `values` by ASCII-lower-cased name; kept by RegDocument::Set.
    std::unordered_map<std::string, size_t> index;
};

// Key paths and value names compare without regard to ASCII case, as in the registry. Parsing and
// look-ups take time in proportion to the text: keys and values are indexed by name.
class RegDocument {
public:
    // Never fails: what cannot be understood is left out and marks the document damaged. The text
    // is UTF-8 (with or without a byte-order mark) or, as the registry editor exports it, UTF-16
    // with its byte-order mark; lines end in LF, CR LF or CR alone. Everything the registry
    // editors write is read: dword: with 1 to 8 digits; hex(1), hex(2) and hex(7) as UTF-16LE, or
    // under a REGEDIT4 header as code-page text (UTF-8 when valid, else code page 936), as is the
    // whole of such a file; the escapes \\, \", \n, \r and \t in quoted text.
    static RegDocument Parse(std::string_view text);
    // UTF-8 with LF line ends; text that the quoted form cannot carry goes out as hex(N) in
    // UTF-16LE.
    std::string Serialize() const;

    bool damaged() const { return m_damaged; }
    // The first line that could not be understood (1-based; 0 when the damage is not a line's,
    // such as text that is not UTF-16 after its byte-order mark), and its text.
    size_t firstBadLine() const { return m_badLine; }
    const std::string& firstBadText() const { return m_badText; }
    // Once the file has been rewritten from what could be read, it is whole again.
    void MarkRepaired() { m_damaged = false; }
    // A file not read at all (too large to be a profile) counts as damaged.
    void MarkDamaged() { m_damaged = true; }

    const RegKey* FindKey(std::string_view path) const;
    // Creates the key, and every missing key above it down from `root`, when absent.
    RegKey& EnsureKey(std::string_view root, std::string_view path);
    bool HasKey(std::string_view path) const { return FindKey(path) != nullptr; }

    const RegValue* Find(std::string_view path, std::string_view name) const;
    void Set(RegKey& key, std::string_view name, RegValue value);

    const std::vector<RegKey>& keys() const { return m_keys; }

private:
    RegKey* FindKey(std::string_view path);
    RegKey& AddKey(std::string_view path);

    std::vector<RegKey> m_keys;
    std::unordered_map<std::string, size_t> m_keyIndex;  // by ASCII-lower-cased path
    bool m_damaged = false;
    size_t m_badLine = 0;
    std::string m_badText;
};

bool EqualsNoCase(std::string_view a, std::string_view b);

// Serialize's text as the registry editor itself writes it, and so imports it: UTF-16LE with its
// byte-order mark and CR LF line ends.
std::string RegeditEncoding(std::string_view text);

// The text of a REG_SZ or REG_EXPAND_SZ value, up to its first zero.
std::string TextOf(const RegValue& value);

// REG_SZ data for `text`: its bytes up to the first zero byte, then one zero byte.
RegValue TextValue(std::string_view text);
RegValue DwordValue(int32_t value);

}  // namespace linkmate
