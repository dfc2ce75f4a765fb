#include "protocol/hex_text.h"

namespace linkmate {
namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The characters that scanf's whitespace directive skips.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr char kUpperDigits[] = "0123456789ABCDEF";

void AppendByte(std::string& out, uint32_t byte) {
    out.push_back(kUpperDigits[(byte >> 4) & 0xF]);
    out.push_back(kUpperDigits[byte & 0xF]);
}

std::string FormatBytes(uint32_t value, int bytes) {
    std::string out;
    out.reserve(static_cast<size_t>(bytes) * 3);
    for (int i = bytes - 1; i >= 0; --i) {
        AppendByte(out, (value >> (8 * i)) & 0xFF);
        if (i != 0) out.push_back(' ');
    }
    return out;
}

}  // namespace

uint32_t ParseHexGroups(std::string_view text, int groups) {
    uint32_t value = 0;
    size_t pos = 0;
    for (int group = 0; group < groups; ++group) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        uint32_t byte = 0;
        int digits = 0;
        while (digits < 2 && pos < text.size()) {
            const int digit = HexDigitValue(text[pos]);
            if (digit < 0) break;
            byte = (byte << 4) | static_cast<uint32_t>(digit);
            ++digits;
            ++pos;
        }
        if (digits == 0) break;
        value |= byte << (8 * (groups - 1 - group));
    }
    return value;
}

std::optional<uint32_t> ParseHexRun(std::string_view text, int groups) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const std::string_view run = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    if (run.size() <= 2 || run.size() > static_cast<size_t>(2 * groups)) return std::nullopt;
    uint32_t value = 0;
    for (const char c : run) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return std::nullopt;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

bool IsHexGroupsText(std::string_view text, int groups) {
    int found = 0;
    size_t pos = 0;
    while (true) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        if (pos == text.size()) break;
        int digits = 0;
        while (digits < 2 && pos < text.size() && HexDigitValue(text[pos]) >= 0) {
            ++digits;
            ++pos;
        }
        if (digits == 0 || ++found > groups) return false;
    }
    return found > 0;
}

std::string FormatHex8(uint32_t value) { return FormatBytes(value, 1); }
std::string FormatHex16(uint32_t value) { return FormatBytes(value, 2); }
std::string FormatHex32(uint32_t value) { return FormatBytes(value, 4); }

std::string JoinHexTexts(std::string_view first, std::string_view second) {
    std::string out;
    out.reserve(first.size() + 1 + second.size());
    out.append(first);
    out.push_back(' ');
    out.append(second);
    return out;
}

}  // namespace linkmate
