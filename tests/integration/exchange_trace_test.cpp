// The trace of an exchange against each way a converter can misbehave, on a pseudo-terminal: the
// reason each attempt ended and the diagnosis an engineer acts on.
#include <gtest/gtest.h>

#include "protocol/config_exchange.h"
#include "pty_harness.h"
#include "serial/serial_comm.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

struct TraceCase {
    const char* name;
    sim::Fault fault;
    bool write;
    AttemptEnd firstEnd;
    const char* diagnosis;  // a phrase of it
};

void PrintTo(const TraceCase& c, std::ostream* os) { *os << c.name; }

class ExchangeTraceTest : public ::testing::TestWithParam<TraceCase> {};

TEST_P(ExchangeTraceTest, NamesTheCause) {
    const TraceCase& c = GetParam();
    sim::Options options;
    options.fault = c.fault;
    options.shortReplyBytes = 20;
    options.lateMs = 1100;
    options.faultCount = c.fault == sim::Fault::kLate ? 1 : -1;
    sim::VirtualConverter converter(options);
    ASSERT_TRUE(converter.Start());
    CSerialComm port;
    ASSERT_TRUE(port.Open(converter.devicePath(), 57600, 8, 0, 0));
    SerialPortIo io(port);
    ExchangeTrace trace;
    DeviceConfig config;
    const bool ok = c.write ? WriteConfig(io, config, &trace) : ReadConfig(io, config, &trace);
    EXPECT_EQ(ok, c.fault == sim::Fault::kLate);
    ASSERT_FALSE(trace.attempts.empty());
    EXPECT_EQ(trace.exchange, c.write ? "write" : "read");
    EXPECT_EQ(trace.attempts.front().end, c.firstEnd) << trace.Format();
    EXPECT_NE(trace.Diagnosis().find(c.diagnosis), std::string::npos) << trace.Diagnosis();
    EXPECT_LE(trace.attempts.size(), 4u);
    EXPECT_EQ(trace.attempts.front().sent.size(), c.write ? 33u : 6u);
    if (c.firstEnd != AttemptEnd::kNoAnswer) {
        ASSERT_FALSE(trace.Format().empty());
        EXPECT_NE(trace.Format().find("  +"), std::string::npos) << trace.Format();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ExchangeTraceTest,
    ::testing::Values(
        TraceCase{"silence", sim::Fault::kSilence, false, AttemptEnd::kNoAnswer,
                  "No answer at all"},
        TraceCase{"wrong_header", sim::Fault::kWrongHeader, false,
                  AttemptEnd::kWrongCommandOrLength, "wrong command or length"},
        TraceCase{"wrong_check", sim::Fault::kWrongCheck, false, AttemptEnd::kWrongCheck, "noise"},
        TraceCase{"short", sim::Fault::kShortReply, false, AttemptEnd::kShortFrame,
                  "stopped short"},
        TraceCase{"late", sim::Fault::kLate, false, AttemptEnd::kNoAnswer, "after a time-out"},
        TraceCase{"garbage", sim::Fault::kGarbage, false, AttemptEnd::kWrongHeader,
                  "check the converter model"},
        TraceCase{"garbage_write", sim::Fault::kGarbage, true, AttemptEnd::kWrongAck,
                  "check the converter model"},
        TraceCase{"no_ack", sim::Fault::kNoAck, true, AttemptEnd::kNoAnswer, "No answer at all"}),
    [](const ::testing::TestParamInfo<TraceCase>& p) { return std::string(p.param.name); });

TEST(ExchangeTraceCleanTest, ASuccessWithoutAFailedAttemptNeedsNoDiagnosis) {
    sim::VirtualConverter converter;
    ASSERT_TRUE(converter.Start());
    CSerialComm port;
    ASSERT_TRUE(port.Open(converter.devicePath(), 57600, 8, 0, 0));
    SerialPortIo io(port);
    ExchangeTrace trace;
    DeviceConfig config;
    ASSERT_TRUE(ReadConfig(io, config, &trace));
    ASSERT_EQ(trace.attempts.size(), 2u);  // the reply and the one that confirms it
    EXPECT_EQ(trace.attempts[0].end, AttemptEnd::kOk);
    EXPECT_EQ(trace.attempts[1].end, AttemptEnd::kOk);
    EXPECT_TRUE(trace.succeeded());
    EXPECT_EQ(trace.Diagnosis(), "");
    size_t bytes = 0;
    for (const TraceChunk& c : trace.attempts[0].received) bytes += c.bytes.size();
    EXPECT_EQ(bytes, 33u);
}

}  // namespace
}  // namespace linkmate
