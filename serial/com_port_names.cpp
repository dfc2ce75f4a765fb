#include "serial/com_port_names.h"

namespace linkmate {
namespace {

constexpr std::string_view kWin32DevicePrefix = "\\\\.\\";

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::string FormatComPortName(long long portNumber) {
    return std::string(kWin32DevicePrefix) + "COM" + std::to_string(portNumber);
}

std::optional<int> ParseComPortName(std::string_view name) {
    if (name.substr(0, kWin32DevicePrefix.size()) == kWin32DevicePrefix) {
        name.remove_prefix(kWin32DevicePrefix.size());
    }
    if (name.size() < 4 || !EqualsIgnoreCase(name.substr(0, 3), "com")) return std::nullopt;
    name.remove_prefix(3);
    // Optional sign as the formatting of a negative number gives; digits after it.
    const bool negative = name.front() == '-';
    if (negative) name.remove_prefix(1);
    if (name.empty() || name.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

}  // namespace linkmate
