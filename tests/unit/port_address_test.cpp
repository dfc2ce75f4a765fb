// Addresses of serial device servers' ports, and the Telnet layer of RFC 2217 taken apart however
// the network cuts it.
#include <gtest/gtest.h>

#include "serial/port_address.h"
#include "serial/telnet_codec.h"

namespace linkmate {
namespace {

TEST(PortAddress, ParsesHostsOfEveryKindAndNamesWhatIsWrong) {
    struct Case {
        const char* text;
        const char* host;  // nullptr: refused
        uint16_t port;
        PortAddress::Scheme scheme;
        const char* hostPort;
    };
    const Case cases[] = {
        {"rfc2217://192.168.1.20:2217", "192.168.1.20", 2217, PortAddress::Scheme::kRfc2217,
         "192.168.1.20:2217"},
        {"SOCKET://cabinet-7.plant:4001/", "cabinet-7.plant", 4001, PortAddress::Scheme::kRawTcp,
         "cabinet-7.plant:4001"},
        {"rfc2217://[fe80::1]:65535", "fe80::1", 65535, PortAddress::Scheme::kRfc2217,
         "[fe80::1]:65535"},
        {"rfc2217://fe80::1:23", nullptr, 0, {}, nullptr},  // IPv6 without brackets
        {"rfc2217://host", nullptr, 0, {}, nullptr},        // no port
        {"rfc2217://:23", nullptr, 0, {}, nullptr},         // no host
        {"socket://host:0", nullptr, 0, {}, nullptr},
        {"socket://host:65536", nullptr, 0, {}, nullptr},
        {"socket://host:23x", nullptr, 0, {}, nullptr},
        {"socket://ho st:23", nullptr, 0, {}, nullptr},
        {"socket://[::1:23", nullptr, 0, {}, nullptr},
        {"/dev/ttyUSB0", nullptr, 0, {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        const auto address = ParsePortAddress(c.text, &error);
        if (c.host == nullptr) {
            EXPECT_FALSE(address);
            EXPECT_FALSE(error.empty());
            continue;
        }
        ASSERT_TRUE(address) << error;
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(address->scheme, c.scheme);
        EXPECT_EQ(address->HostPort(), c.hostPort);
    }
    EXPECT_TRUE(LooksLikePortAddress("Rfc2217://x"));
    EXPECT_FALSE(LooksLikePortAddress("/dev/rfc2217://x"));
}

TEST(TelnetCodec, DataAndCommandsSurviveAnyCutAndIacIsDoubled) {
    using namespace telnet;
    const std::vector<uint8_t> data = {0xF7, 0xFF, 0x00, 0xFF, 0xFF, 0x1C};
    std::vector<uint8_t> stream = Negotiation(kDo, kComPortOption);
    AppendData(stream, data.data(), 3);
    const auto reply = ComPortRequest(kSetBaudRate + kServerReply, {0x00, 0x00, 0xFF, 0xFF});
    stream.insert(stream.end(), reply.begin(), reply.end());
    AppendData(stream, data.data() + 3, 3);
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        SCOPED_TRACE(cut);
        Decoder decoder;
        std::vector<uint8_t> got;
        std::vector<Command> commands;
        decoder.Feed(stream.data(), cut, got, commands);
        decoder.Feed(stream.data() + cut, stream.size() - cut, got, commands);
        EXPECT_EQ(got, data);
        ASSERT_EQ(commands.size(), 2u);
        EXPECT_EQ(commands[0].verb, kDo);
        EXPECT_EQ(commands[0].option, kComPortOption);
        EXPECT_EQ(commands[1].verb, kSb);
        EXPECT_EQ(commands[1].payload,
                  (std::vector<uint8_t>{kSetBaudRate + kServerReply, 0, 0, 0xFF, 0xFF}));
    }
    // A subnegotiation that never ends does not grow without bound.
    Decoder decoder;
    std::vector<uint8_t> flood = {kIac, kSb, kComPortOption};
    flood.resize(10000, 0x41);
    std::vector<uint8_t> got;
    std::vector<Command> commands;
    decoder.Feed(flood.data(), flood.size(), got, commands);
    const uint8_t end[] = {kIac, kSe};
    decoder.Feed(end, 2, got, commands);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].payload.size(), kMaxSubnegotiation);
    EXPECT_TRUE(got.empty());
}

}  // namespace
}  // namespace linkmate
