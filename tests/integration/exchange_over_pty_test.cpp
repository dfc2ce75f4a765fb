// Whole transactions against the virtual converter on a pseudo-terminal, clean and with faults.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "protocol/config_exchange.h"
#include "protocol/frame_codec.h"
#include "pty_harness.h"
#include "sample_configs.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/serial_comm.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

using namespace linkmate::testing;
using sim::Fault;
using sim::VirtualConverter;

DeviceConfig EditedConfig() { return DualExtendedEdited(); }

class ConverterExchangeTest : public ::testing::Test {
protected:
    void Start(sim::Options options = {}) {
        converter = std::make_unique<VirtualConverter>(std::move(options));
        std::string error;
        ASSERT_TRUE(converter->Start(&error)) << error;
        MakeLineDirty(converter->devicePath());
        ASSERT_TRUE(port.Open(converter->devicePath(), 57600, 8, 0, 0));
    }
    // The converter counts a request when it takes it off the line; a late answer can let the
    // tool finish before the converter has taken the request that followed. Wait for it, boundedly.
    int Requests(int expected = -1) const {
        converter->WaitForStats([&](const sim::Stats& s) { return s.readRequests >= expected; },
                                std::chrono::seconds(1));
        return converter->stats().readRequests;
    }
    int Frames() const { return converter->stats().writeFrames; }

    std::unique_ptr<VirtualConverter> converter;
    CSerialComm port;
    SerialPortIo io{port};
};

TEST_F(ConverterExchangeTest, CleanReadThenWriteStoresExactlyTheEncodedFrame) {
    Start();
    DeviceConfig config;
    ASSERT_TRUE(ReadConfig(io, config));
    EXPECT_EQ(Requests(), 2);  // the second reply confirms the first
    const DeviceConfig factory = sim::FactoryConfig();
    EXPECT_EQ(config.can.CanBTR0, factory.can.CanBTR0);
    // The factory's all-ones mask comes back through standard frames as the 11 identifier bits.
    EXPECT_EQ(config.can.CanAcptMask, "00 00 07 FF");
    EXPECT_EQ(config.serial.SerialBaudrate, factory.serial.SerialBaudrate);

    const DeviceConfig edited = EditedConfig();
    ASSERT_TRUE(WriteConfig(io, edited));
    EXPECT_EQ(Frames(), 1);
    EXPECT_EQ(converter->storedFrame(), EncodeConfigFrame(edited));

    DeviceConfig readBack;
    ASSERT_TRUE(ReadConfig(io, readBack));
    EXPECT_EQ(readBack.can.CanAcptCode, "12 34 AB CD");
    EXPECT_EQ(readBack.can.CanAcptMask, "00 FF FF 00");
    EXPECT_EQ(readBack.can.CanBTR0, "3F");
    EXPECT_EQ(readBack.tran.TranSpace, 44);
    EXPECT_EQ(converter->received().size(), 5u);
}

TEST_F(ConverterExchangeTest, ALongRunningConverterKeepsOnlyItsLatestMessages) {
    Start();
    const int reads = static_cast<int>(sim::VirtualConverter::kKeptMessages) + 6;
    DeviceConfig config;
    for (int i = 0; i < reads; ++i) ASSERT_TRUE(ReadConfig(io, config));
    ASSERT_TRUE(WriteConfig(io, EditedConfig()));
    EXPECT_EQ(converter->stats().readRequests, 2 * reads);
    const auto kept = converter->received();
    ASSERT_EQ(kept.size(), sim::VirtualConverter::kKeptMessages);
    const ConfigFrame frame = EncodeConfigFrame(EditedConfig());
    EXPECT_TRUE(std::equal(kept.back().begin(), kept.back().end(), frame.begin()));
    EXPECT_EQ(kept.front().size(), ReadRequest.size());
}

struct ReadFaultCase {
    const char* name;
    Fault fault;
    int count;
    bool succeeds;
    int requests;
    // Where bytes of one answer can arrive in the same read as the next, or apart, a further
    // request may be needed.
    int maxRequests = 0;
};

void PrintTo(const ReadFaultCase& c, std::ostream* os) { *os << c.name; }

class ReadFaultTest : public ConverterExchangeTest,
                      public ::testing::WithParamInterface<ReadFaultCase> {};

TEST_P(ReadFaultTest, ReadAgainstAMisbehavingConverter) {
    const ReadFaultCase& c = GetParam();
    sim::Options options;
    options.fault = c.fault;
    options.faultCount = c.count;
    options.splitBytes = 10;
    options.splitGapMs = 5;
    Start(options);
    DeviceConfig config;
    config.can.CanID = "untouched";
    EXPECT_EQ(ReadConfig(io, config), c.succeeds);
    const int requests = Requests(c.requests);
    EXPECT_GE(requests, c.requests);
    EXPECT_LE(requests, std::max(c.requests, c.maxRequests));
    if (!c.succeeds) {
        EXPECT_EQ(config.can.CanID, "untouched");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReadFaultTest,
    ::testing::Values(ReadFaultCase{"split", Fault::kSplitReply, -1, true, 2},
                      ReadFaultCase{"trailing", Fault::kTrailingBytes, 1, true, 2, 3},
                      ReadFaultCase{"wrong_header_twice", Fault::kWrongHeader, 2, true, 4},
                      ReadFaultCase{"wrong_header_always", Fault::kWrongHeader, -1, false, 4},
                      ReadFaultCase{"wrong_check_once", Fault::kWrongCheck, 1, true, 3},
                      ReadFaultCase{"wrong_check_always", Fault::kWrongCheck, -1, false, 4},
                      ReadFaultCase{"short_once", Fault::kShortReply, 1, true, 3},
                      ReadFaultCase{"late_once", Fault::kLate, 1, true, 3, 4},
                      ReadFaultCase{"silence", Fault::kSilence, -1, false, 4}),
    [](const ::testing::TestParamInfo<ReadFaultCase>& param) { return param.param.name; });

struct WriteFaultCase {
    const char* name;
    Fault fault;
    int count;
    bool succeeds;
    int frames;
    bool stored;
};

void PrintTo(const WriteFaultCase& c, std::ostream* os) { *os << c.name; }

class WriteFaultTest : public ConverterExchangeTest,
                       public ::testing::WithParamInterface<WriteFaultCase> {};

TEST_P(WriteFaultTest, WriteAgainstAMisbehavingConverter) {
    const WriteFaultCase& c = GetParam();
    sim::Options options;
    options.fault = c.fault;
    options.faultCount = c.count;
    options.splitBytes = 2;
    Start(options);
    const DeviceConfig edited = EditedConfig();
    EXPECT_EQ(WriteConfig(io, edited), c.succeeds);
    EXPECT_EQ(Frames(), c.frames);
    for (const auto& message : converter->received()) {
        ASSERT_EQ(message.size(), kConfigFrameSize);
        EXPECT_TRUE(std::equal(message.begin(), message.end(), EncodeConfigFrame(edited).begin()));
    }
    EXPECT_EQ(converter->storedFrame() == EncodeConfigFrame(edited), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WriteFaultTest,
    ::testing::Values(WriteFaultCase{"split_ack", Fault::kSplitReply, -1, true, 1, true},
                      WriteFaultCase{"trailing", Fault::kTrailingBytes, -1, true, 1, true},
                      WriteFaultCase{"no_ack_once", Fault::kNoAck, 1, true, 2, true},
                      WriteFaultCase{"wrong_ack_twice", Fault::kWrongAck, 2, true, 3, true},
                      WriteFaultCase{"no_ack_always", Fault::kNoAck, -1, false, 4, true},
                      WriteFaultCase{"silence", Fault::kSilence, -1, false, 4, false}),
    [](const ::testing::TestParamInfo<WriteFaultCase>& param) { return param.param.name; });

TEST_F(ConverterExchangeTest, ConverterThatVanishesMidTransactionEndsItQuickly) {
    sim::Options options;
    options.fault = Fault::kLate;
    options.lateMs = 3000;
    Start(options);
    ExchangeTrace trace;
    auto reading = std::async(std::launch::async, [&] {
        DeviceConfig config;
        const auto start = Clock::now();
        const bool ok = ReadConfig(io, config, &trace);
        return std::pair{ok, MsSince(start)};
    });
    ASSERT_TRUE(converter->WaitForStats([](const sim::Stats& s) { return s.readRequests == 1; },
                                        std::chrono::seconds(2)));
    converter->Vanish();
    ASSERT_EQ(reading.wait_for(std::chrono::seconds(6)), std::future_status::ready);
    const auto [ok, elapsed] = reading.get();
    EXPECT_FALSE(ok);
    EXPECT_LT(elapsed, 1500.0);  // no attempt waits out its second once the device is gone
    EXPECT_TRUE(trace.deviceRemoved());
    EXPECT_TRUE(port.deviceRemoved());
    EXPECT_EQ(trace.attempts.size(), 1u);
    EXPECT_NE(trace.Diagnosis().find("The device was removed"), std::string::npos);
    ExchangeTrace writeTrace;
    EXPECT_FALSE(WriteConfig(io, EditedConfig(), &writeTrace));
    EXPECT_EQ(writeTrace.attempts.size(), 1u);
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.deviceRemoved());
}

TEST_F(ConverterExchangeTest, EchoingAdapterReadsAndWrites) {
    sim::Options options;
    options.echo = true;
    Start(options);
    DeviceConfig config;
    ExchangeTrace trace;
    ASSERT_TRUE(ReadConfig(io, config, &trace));
    EXPECT_EQ(trace.attempts[0].echoBytes, ReadRequest.size());
    const VerifiedWrite v = WriteAndVerify(io, EditedConfig());
    EXPECT_TRUE(v.verified());
    EXPECT_EQ(converter->storedFrame(), EncodeConfigFrame(EditedConfig()));
    EXPECT_EQ(Frames(), 1);
}

// What matters on a noisy line: nothing wrong is ever taken for the converter's configuration.
TEST_F(ConverterExchangeTest, NoisyLineGivesCorrectValuesOrACleanFailure) {
    sim::Options options;
    options.noiseRate = 0.02;
    options.noiseSeed = 7;
    Start(options);
    const ConfigFrame factory = converter->storedFrame();
    int ok = 0;
    for (int i = 0; i < 8; ++i) {
        ConfigFrame frame;
        if (!ReadConfigFrame(io, frame)) continue;
        ++ok;
        EXPECT_TRUE(std::equal(frame.begin() + 3, frame.begin() + 32, factory.begin() + 3));
    }
    EXPECT_GT(ok, 0);
    EXPECT_GT(converter->stats().bytesDamaged, 0);
}

TEST(ConfigPortTest, OpensComPortThroughThePortMapAtTheModelsBitRate) {
    TempConfigHome home;
    sim::Options options;
    options.comPort = 3;
    VirtualConverter converter(options);
    ASSERT_TRUE(converter.Start());
    EXPECT_EQ(ComPortDevicePath(3), PortMapDir() + "/com3");

    CSerialComm port;
    ASSERT_TRUE(OpenConfigPort(port, 1, 2));  // Ternix-B on COM3
    EXPECT_EQ(port.lineSettings().baudRate, 19200u);
    EXPECT_EQ(port.lineSettings().byteSize, 8);
    EXPECT_EQ(port.lineSettings().parity, LineSettings::kNoParity);
    EXPECT_EQ(port.lineSettings().stopBits, LineSettings::kOneStopBit);
    SerialPortIo io(port);
    DeviceConfig config;
    EXPECT_TRUE(ReadConfig(io, config));
    EXPECT_TRUE(WriteConfig(io, config));
    port.Close();

    ASSERT_TRUE(OpenConfigPort(port, 0, 2));
    EXPECT_EQ(port.lineSettings().baudRate, 57600u);
    port.Close();

    // Models the table lacks and port indexes that name no port open nothing.
    EXPECT_FALSE(OpenConfigPort(port, 2, 2));
    EXPECT_FALSE(OpenConfigPort(port, -1, 2));
    EXPECT_FALSE(OpenConfigPort(port, 0, -1));
    EXPECT_FALSE(port.IsOpen());

    converter.Stop();
    EXPECT_EQ(ComPortDevicePath(3), "/dev/ttyS2");  // link removed with the converter
}

}  // namespace
}  // namespace linkmate
