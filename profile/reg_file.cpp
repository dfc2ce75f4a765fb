#include "profile/reg_file.h"

#include <charconv>
#include <cstdio>
#include <utility>

#include "profile/reg_text.h"

namespace linkmate {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
// The older header: the file is in the system's code page, and so is the data of its hex(1),
// hex(2) and hex(7) values (which are UTF-16LE under the newer header).
constexpr std::string_view kAnsiHeader = "REGEDIT4";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Parses a quoted string starting at s[0] == '"'; leaves `s` after the closing quote.
bool ParseQuoted(std::string_view& s, std::string& out) {
    if (s.empty() || s.front() != '"') return false;
    s.remove_prefix(1);
    out.clear();
    while (!s.empty()) {
        const char c = s.front();
        s.remove_prefix(1);
        if (c == '"') return true;
        if (c == '\\') {
            if (s.empty()) return false;
            // The escapes the registry editors write; any other backslash is kept with the
            // character after it, as they read it.
            const char e = s.front();
            s.remove_prefix(1);
            switch (e) {
                case '\\':
                case '"': out.push_back(e); break;
                case 'n': out.push_back('\n'); break;
                case 'r': out.push_back('\r'); break;
                case 't': out.push_back('\t'); break;
                default: out.push_back('\\'); out.push_back(e);
            }
        } else {
            out.push_back(c);
        }
    }
    return false;
}

bool ParseHexBytes(std::string_view s, std::vector<uint8_t>& out) {
    out.clear();
    s = Trim(s);
    if (s.empty()) return true;
    for (;;) {
        s = Trim(s);
        if (s.size() < 2) return false;
        const int hi = HexValue(s[0]);
        const int lo = HexValue(s[1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
        s.remove_prefix(2);
        s = Trim(s);
        if (s.empty()) return true;
        if (s.front() != ',') return false;
        s.remove_prefix(1);
    }
}

bool StartsNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        const uint32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// A REG_SZ that reads back the same from the quoted form: one terminating zero, no zero or
// control character inside, valid UTF-8 (the file is UTF-8 text).
bool FitsQuotedForm(const RegValue& value) {
    if (value.type != kRegSz || value.data.empty() || value.data.back() != 0) return false;
    const std::string_view text(reinterpret_cast<const char*>(value.data.data()),
                                value.data.size() - 1);
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return false;
    }
    return IsValidUtf8(text);
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16 (after its byte-order mark) as UTF-8; false on an odd length or a lone surrogate. With
// `escapedBytes`, a lone U+DC80..U+DCFF is the byte that Utf8ToUtf16Le could not take as UTF-8.
bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out,
                 bool escapedBytes = false) {
    if (bytes.size() % 2 != 0) return false;
    out.clear();
    out.reserve(bytes.size());
    const auto unit = [&](size_t i) {
        const auto a = static_cast<uint8_t>(bytes[i]);
        const auto b = static_cast<uint8_t>(bytes[i + 1]);
        return bigEndian ? uint32_t(a << 8 | b) : uint32_t(b << 8 | a);
    };
    for (size_t i = 0; i < bytes.size(); i += 2) {
        uint32_t cp = unit(i);
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            if (!escapedBytes || cp < 0xDC80 || cp > 0xDCFF) return false;
            out.push_back(static_cast<char>(cp & 0xFF));
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 2 >= bytes.size()) return false;
            const uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(out, cp);
    }
    return true;
}

// Length of the UTF-8 sequence at s[i], or 0 when there is none.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
    const size_t rest = s.size() - i;
    return IsValidUtf8(s.substr(i, std::min<size_t>(1, rest))) ? 1
           : rest >= 2 && IsValidUtf8(s.substr(i, 2))          ? 2
           : rest >= 3 && IsValidUtf8(s.substr(i, 3))          ? 3
           : rest >= 4 && IsValidUtf8(s.substr(i, 4))          ? 4
                                                               : 0;
}

// UTF-8 as UTF-16LE, as the registry holds text. A byte that is not part of valid UTF-8 becomes
// the lone surrogate U+DC00 + byte, so that such text still comes back byte for byte.
std::string Utf8ToUtf16Le(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    const auto put = [&](uint32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    };
    for (size_t i = 0; i < s.size();) {
        const size_t n = Utf8SequenceLength(s, i);
        if (n == 0) {
            put(0xDC00 | static_cast<unsigned char>(s[i]));
            ++i;
            continue;
        }
        uint32_t cp = static_cast<unsigned char>(s[i]);
        if (n > 1) {
            cp &= 0x7F >> n;
            for (size_t k = 1; k < n; ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
        i += n;
    }
    return out;
}

bool IsTextType(uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Code-page text as UTF-8: text that is valid UTF-8 (plain ASCII among it) is taken as it is,
// anything else as code page 936, the one the profile's registry key name was first written in.
bool CodePageToUtf8(std::string_view bytes, std::string& out) {
    if (IsValidUtf8(bytes)) {
        out.assign(bytes);
        return true;
    }
    return Cp936ToUtf8(bytes, out);
}

bool ParseData(std::string_view s, bool ansi, RegValue& value) {
    if (!s.empty() && s.front() == '"') {
        std::string text;
        if (!ParseQuoted(s, text) || !Trim(s).empty()) return false;
        value = TextValue(text);
        return true;
    }
    if (StartsNoCase(s, "dword:")) {
        s = Trim(s.substr(6));
        uint32_t number = 0;
        // The registry editor takes 1 to 8 digits, and writes 8.
        if (s.empty() || s.size() > 8) return false;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), number, 16);
        if (ec != std::errc() || end != s.data() + s.size()) return false;
        value = DwordValue(static_cast<int32_t>(number));
        return true;
    }
    if (StartsNoCase(s, "hex:")) {
        value.type = kRegBinary;
        return ParseHexBytes(s.substr(4), value.data);
    }
    if (StartsNoCase(s, "hex(")) {
        const size_t close = s.find("):");
        if (close == std::string_view::npos || close == 4) return false;
        uint32_t type = 0;
        const auto [end, ec] = std::from_chars(s.data() + 4, s.data() + close, type, 16);
        if (ec != std::errc() || end != s.data() + close) return false;
        value.type = type;
        if (!ParseHexBytes(s.substr(close + 2), value.data)) return false;
        if (!IsTextType(type)) return true;
        // Text is held as UTF-8; the file holds the registry's own UTF-16LE, or code-page text
        // under the older header.
        const std::string_view bytes(reinterpret_cast<const char*>(value.data.data()),
                                     value.data.size());
        std::string text;
        if (!(ansi ? CodePageToUtf8(bytes, text) : Utf16ToUtf8(bytes, false, text, true))) {
            return false;
        }
        value.data.assign(text.begin(), text.end());
        return true;
    }
    return false;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (char c : text) {
        // A line break inside a name would end the line: written as the escapes the reader takes.
        if (c == '\n' || c == '\r') {
            out.append(c == '\n' ? "\\n" : "\\r");
            continue;
        }
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

RegValue TextValue(std::string_view text) {
    const size_t end = text.find('\0');
    if (end != std::string_view::npos) text = text.substr(0, end);
    RegValue value;
    value.type = kRegSz;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

std::string TextOf(const RegValue& value) {
    std::string text(value.data.begin(), value.data.end());
    const size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
}

RegValue DwordValue(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    return RegValue{kRegDword,
                    {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                     static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)}};
}

RegDocument RegDocument::Parse(std::string_view text) {
    RegDocument doc;
    std::string converted;
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
        if (!Utf16ToUtf8(text.substr(2), text[0] == '\xFE', converted)) {
            doc.m_damaged = true;
            return doc;
        }
        text = converted;
    } else if (text.substr(0, kBom.size()) == kBom) {
        text.remove_prefix(kBom.size());
    }

    // A REGEDIT4 file is in the system's code page.
    bool ansi = false;
    if (text.substr(0, kAnsiHeader.size()) == kAnsiHeader && !IsValidUtf8(text)) {
        if (!CodePageToUtf8(text, converted)) {
            doc.m_damaged = true;
            return doc;
        }
        text = converted;
    }
    bool sawHeader = false;
    RegKey* current = nullptr;
    std::string pending;  // a hex value continued with trailing backslashes, so far
    bool continuing = false;
    size_t pos = 0;
    size_t lineNumber = 0;
    size_t statementLine = 0;  // where the line being understood began
    const auto bad = [&](std::string_view what) {
        if (doc.m_badLine == 0) {
            doc.m_badLine = statementLine;
            doc.m_badText = std::string(what.substr(0, 200));
        }
        doc.m_damaged = true;
    };
    while (pos <= text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view s = Trim(text.substr(pos, end - pos));
        pos = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        ++lineNumber;
        if (!continuing) statementLine = lineNumber;

        if (continuing) {
            // Appended, never copied whole: a long value costs its length once.
            pending.append(s);
            if (!pending.empty() && pending.back() == '\\') {
                pending.pop_back();
                continue;
            }
            continuing = false;
            s = pending;
        } else if (!s.empty() && s.back() == '\\' && s.find("=hex") != std::string_view::npos) {
            pending.assign(s.substr(0, s.size() - 1));
            continuing = true;
            continue;
        }

        if (s.empty() || s.front() == ';') continue;
        if (!sawHeader) {
            sawHeader = true;
            ansi = s == kAnsiHeader;
            if (s == kHeader || ansi) continue;
            bad(s);
        }
        if (s.front() == '[') {
            if (s.back() != ']' || s.size() < 3 || s[1] == '-') {
                bad(s);
                current = nullptr;
                continue;
            }
            const std::string_view path = s.substr(1, s.size() - 2);
            current = doc.FindKey(path);
            if (current == nullptr) current = &doc.AddKey(path);
            continue;
        }
        const std::string_view whole = s;
        std::string name;
        if (s.front() == '@') {
            s.remove_prefix(1);
        } else if (!ParseQuoted(s, name)) {
            bad(whole);
            continue;
        }
        s = Trim(s);
        RegValue value;
        if (current == nullptr || s.empty() || s.front() != '=' ||
            !ParseData(Trim(s.substr(1)), ansi, value)) {
            bad(whole);
            continue;
        }
        value.line = statementLine;
        doc.Set(*current, name, std::move(value));
    }
    if (continuing) bad(pending);
    return doc;
}

std::string RegDocument::Serialize() const {
    std::string out;
    out.append(kHeader);
    out.append("\n");
    for (const RegKey& key : m_keys) {
        out.append("\n[");
        out.append(key.path);
        out.append("]\n");
        for (const auto& [name, value] : key.values) {
            if (name.empty()) {
                out.push_back('@');
            } else {
                AppendQuoted(out, name);
            }
            out.push_back('=');
            if (FitsQuotedForm(value)) {
                AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                                   value.data.size() - 1));
            } else if (value.type == kRegDword && value.data.size() == 4) {
                char number[16];
                const uint32_t u = uint32_t{value.data[0]} | (uint32_t{value.data[1]} << 8) |
                                   (uint32_t{value.data[2]} << 16) |
                                   (uint32_t{value.data[3]} << 24);
                std::snprintf(number, sizeof number, "dword:%08x", u);
                out.append(number);
            } else {
                char prefix[24];
                if (value.type == kRegBinary) {
                    std::snprintf(prefix, sizeof prefix, "hex:");
                } else {
                    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
                }
                out.append(prefix);
                // Text goes out as the registry holds it, UTF-16LE, so that regedit reads it.
                const std::string_view raw(reinterpret_cast<const char*>(value.data.data()),
                                           value.data.size());
                const std::string data =
                    IsTextType(value.type) ? Utf8ToUtf16Le(raw) : std::string(raw);
                char byte[4];
                for (size_t i = 0; i < data.size(); ++i) {
                    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : ",%02x",
                                  static_cast<unsigned char>(data[i]));
                    out.append(byte);
                }
            }
            out.push_back('\n');
        }
    }
    return out;
}

std::string RegeditEncoding(std::string_view text) {
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') crlf.push_back('\r');
        crlf.push_back(c);
    }
    return "\xFF\xFE" + Utf8ToUtf16Le(crlf);
}

const RegKey* RegDocument::FindKey(std::string_view path) const {
    const auto it = m_keyIndex.find(LowerAscii(path));
    return it == m_keyIndex.end() ? nullptr : &m_keys[it->second];
}

RegKey* RegDocument::FindKey(std::string_view path) {
    return const_cast<RegKey*>(std::as_const(*this).FindKey(path));
}

RegKey& RegDocument::AddKey(std::string_view path) {
    m_keyIndex.emplace(LowerAscii(path), m_keys.size());
    m_keys.push_back(RegKey{std::string(path), {}, {}});
    return m_keys.back();
}

RegKey& RegDocument::EnsureKey(std::string_view root, std::string_view path) {
    // Every key from just below `root` down to `path` exists afterwards, as creating a key path
    // in the registry leaves it.
    size_t pos = root.size();
    for (;;) {
        const size_t next = path.find('\\', pos + 1);
        const std::string_view prefix = path.substr(0, next);
        if (prefix.size() > root.size() && FindKey(prefix) == nullptr) AddKey(prefix);
        if (next == std::string_view::npos) break;
        pos = next;
    }
    return *FindKey(path);
}

const RegValue* RegDocument::Find(std::string_view path, std::string_view name) const {
    const RegKey* key = FindKey(path);
    if (key == nullptr) return nullptr;
    const auto it = key->index.find(LowerAscii(name));
    return it == key->index.end() ? nullptr : &key->values[it->second].second;
}

void RegDocument::Set(RegKey& key, std::string_view name, RegValue value) {
    const auto [it, added] = key.index.emplace(LowerAscii(name), key.values.size());
    if (added) {
        key.values.emplace_back(std::string(name), std::move(value));
    } else {
        key.values[it->second].second = std::move(value);
    }
}

}  // namespace linkmate
