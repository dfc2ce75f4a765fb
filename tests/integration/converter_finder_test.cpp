// Asking one port for a converter: what the probe makes of a slow answer, an adapter's echo and
// bytes that never form a reply, against the virtual converter on a pseudo-terminal.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "pty_harness.h"
#include "serial/com_port_names.h"
#include "serial/converter_finder.h"
#include "tools/sim/net_listener.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

struct ProbeCase {
    std::string name;
    sim::Options options;
    std::optional<int32_t> model;  // what the probe must report
    int requests;                  // read requests the converter must have understood
};

// One ask per rate for a port that stays silent, a second at a rate that gave any byte besides the
// echo, and none after a reply. (A converter does not understand a request at another rate.)
TEST(ProbePort, AsksAgainOnlyWhereSomethingAnswered) {
    sim::Options slowB;  // a Ternix-B whose reply comes in pieces, the last after 320 ms
    slowB.lineBitRate = 19200;
    slowB.fault = sim::Fault::kSplitReply;
    slowB.splitBytes = 4;
    slowB.splitGapMs = 40;
    sim::Options echoOnly;  // a silent port behind a two-wire RS-485 adapter
    echoOnly.fault = sim::Fault::kSilence;
    echoOnly.echo = true;
    sim::Options garbage;  // bytes at every rate, never a reply
    garbage.fault = sim::Fault::kGarbage;
    sim::Options echoedA;  // a Ternix-A behind the adapter
    echoedA.lineBitRate = 57600;
    echoedA.echo = true;

    const ProbeCase cases[] = {
        {"slow Ternix-B", slowB, 1, 2},
        {"echo only", echoOnly, std::nullopt, 2},
        {"garbage", garbage, std::nullopt, 4},
        {"Ternix-A behind RS-485", echoedA, 0, 1},
    };
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempConfigHome home;
        sim::Options options = c.options;
        options.comPort = 2;
        sim::VirtualConverter converter(options);
        ASSERT_TRUE(converter.Start());
        const ProbeResult result = ProbePort(2);
        converter.Stop();
        EXPECT_TRUE(result.opened) << result.problem;
        EXPECT_EQ(result.model, c.model);
        EXPECT_EQ(converter.stats().readRequests, c.requests);
    }
}

// A converter that answers only after 300 ms looks silent to the short wait; alone, it is found
// by the second look, with the full read time-out.
TEST(FindConverters, ASlowConverterAloneIsFoundByASecondLook) {
    testing::TempConfigHome home;
    sim::Options options;
    options.comPort = 2;
    options.lineBitRate = 57600;
    options.fault = sim::Fault::kLate;
    options.lateMs = 300;
    sim::VirtualConverter converter(options);
    ASSERT_TRUE(converter.Start());
    const std::vector<ProbeResult> results = FindConverters({2});
    converter.Stop();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].model, 0);
}

// A raw TCP port's line runs at the server's rate, whatever a model asks for: it is asked once,
// over one connection, and a converter that answers there has no model to report (a Ternix-B
// behind a server set to 19200 bit/s is no Ternix-A because it answered the first ask).
TEST(ProbePort, ARawTcpPortIsAskedOnceAndNamesNoModel) {
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent" : "answering");
        testing::TempConfigHome home;
        sim::Options options;
        options.lineBitRate = 19200;
        if (silent) options.fault = sim::Fault::kSilence;
        sim::VirtualConverter converter(options);
        ASSERT_TRUE(converter.Start());
        sim::NetListener raw;
        std::string error;
        ASSERT_TRUE(raw.Start("0", false, converter.devicePath(), 19200, &error)) << error;
        ASSERT_TRUE(RegisterComPort(3, raw.address()));
        const ProbeResult result = ProbePort(3);
        EXPECT_TRUE(result.opened) << result.problem;
        EXPECT_EQ(result.model, std::nullopt);
        EXPECT_EQ(result.serverLine, !silent);
        EXPECT_EQ(result.answered(), !silent);
        EXPECT_EQ(converter.stats().readRequests, 1);
    }
}

}  // namespace
}  // namespace linkmate
