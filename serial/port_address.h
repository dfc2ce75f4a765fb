// Ports on the network: a serial device server's port named by an address instead of a device.
//   rfc2217://HOST:PORT   Telnet with the COM-port option: the client sets the line
//   socket://HOST:PORT    raw TCP: the line runs at whatever the server was set up with
// HOST is an IPv4 address, an IPv6 address in brackets or a host name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace linkmate {

struct PortAddress {
    enum class Scheme { kRfc2217, kRawTcp };
    Scheme scheme = Scheme::kRfc2217;
    std::string host;  // without the brackets of an IPv6 address
    uint16_t port = 0;

    // "HOST:PORT", with the brackets an IPv6 address needs.
    std::string HostPort() const;
    // The whole address as it is written: "rfc2217://HOST:PORT".
    std::string Text() const;
};

// True when `name` begins with one of the schemes (any case), so that it is meant as an address
// and not as a device path, whether or not the rest is valid.
bool LooksLikePortAddress(std::string_view name);

// What the port map calls a COM number that leads to `address`: "serial device server (RFC 2217)".
std::string ServerPortDescription(const PortAddress& address);

// The address `name` spells, or nothing with the reason in `error` (when given).
std::optional<PortAddress> ParsePortAddress(std::string_view name, std::string* error = nullptr);

}  // namespace linkmate
