#include "serial/port_address.h"

#include <cctype>

#include "protocol/text.h"

namespace linkmate {
namespace {

constexpr std::string_view kRfc2217Scheme = "rfc2217://";
constexpr std::string_view kRawTcpScheme = "socket://";

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

bool IsHostNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

std::optional<PortAddress> Fail(std::string* error, std::string why) {
    if (error != nullptr) *error = std::move(why);
    return std::nullopt;
}

}  // namespace

std::string PortAddress::HostPort() const {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string PortAddress::Text() const {
    return std::string(scheme == Scheme::kRfc2217 ? kRfc2217Scheme : kRawTcpScheme) + HostPort();
}

std::string ServerPortDescription(const PortAddress& address) {
    return address.scheme == PortAddress::Scheme::kRfc2217
               ? text::translate("Ports", "serial device server (RFC 2217)")
               : text::translate("Ports", "serial device server (raw TCP)");
}

bool LooksLikePortAddress(std::string_view name) {
    return StartsWithIgnoreCase(name, kRfc2217Scheme) || StartsWithIgnoreCase(name, kRawTcpScheme);
}

std::optional<PortAddress> ParsePortAddress(std::string_view name, std::string* error) {
    PortAddress address;
    if (StartsWithIgnoreCase(name, kRfc2217Scheme)) {
        name.remove_prefix(kRfc2217Scheme.size());
    } else if (StartsWithIgnoreCase(name, kRawTcpScheme)) {
        address.scheme = PortAddress::Scheme::kRawTcp;
        name.remove_prefix(kRawTcpScheme.size());
    } else {
        return Fail(error, "an address begins with rfc2217:// or socket://");
    }
    // A trailing slash is what a pasted URL often carries; nothing else may follow the port.
    if (!name.empty() && name.back() == '/') name.remove_suffix(1);
    std::string_view portText;
    if (!name.empty() && name.front() == '[') {
        const size_t close = name.find(']');
        if (close == std::string_view::npos)
            return Fail(error, "an IPv6 address needs its closing ]");
        address.host = std::string(name.substr(1, close - 1));
        if (address.host.empty() ||
            address.host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos) {
            return Fail(error, "\"" + address.host + "\" is not an IPv6 address");
        }
        if (close + 1 >= name.size() || name[close + 1] != ':') {
            return Fail(error, "the address has no port number (HOST:PORT)");
        }
        portText = name.substr(close + 2);
    } else {
        const size_t colon = name.rfind(':');
        if (colon == std::string_view::npos)
            return Fail(error, "the address has no port number (HOST:PORT)");
        address.host = std::string(name.substr(0, colon));
        if (address.host.find(':') != std::string::npos) {
            return Fail(error, "an IPv6 address goes in brackets: [" + address.host + "]:PORT");
        }
        if (address.host.empty()) return Fail(error, "the address has no host");
        for (char c : address.host) {
            if (!IsHostNameChar(c))
                return Fail(error, "\"" + address.host + "\" is not a host name");
        }
        portText = name.substr(colon + 1);
    }
    unsigned long port = 0;
    if (portText.empty() || portText.size() > 5) {
        return Fail(error, "\"" + std::string(portText) + "\" is not a port number (1 to 65535)");
    }
    for (char c : portText) {
        if (c < '0' || c > '9') {
            return Fail(error,
                        "\"" + std::string(portText) + "\" is not a port number (1 to 65535)");
        }
        port = port * 10 + static_cast<unsigned long>(c - '0');
    }
    if (port < 1 || port > 65535) {
        return Fail(error, "\"" + std::string(portText) + "\" is not a port number (1 to 65535)");
    }
    address.port = static_cast<uint16_t>(port);
    return address;
}

}  // namespace linkmate
