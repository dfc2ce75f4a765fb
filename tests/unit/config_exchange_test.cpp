// The transactions over a scripted port: every split of the replies and every time-out is decided
// by the test, not by a clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <optional>
#include <vector>

#include "protocol/config_exchange.h"
#include "protocol/frame_codec.h"

namespace linkmate {
namespace {

using Bytes = std::vector<uint8_t>;

// One read call's worth of input: the bytes a read may return, or a time-out.
struct Chunk {
    std::optional<Bytes> bytes;  // nullopt: the read times out
};

Chunk Data(Bytes b) { return Chunk{std::move(b)}; }
Chunk Timeout() { return Chunk{std::nullopt}; }

// A port whose input queue is filled by a script, one entry per write: whatever the converter
// "answers" to that write is appended to the queue, and nothing is ever purged. A read returns
// the front chunk (at most `count` bytes of it, the rest stays), and an empty queue times out.
class ScriptedPort : public PortIo {
public:
    struct ReadCall {
        uint32_t count;
        uint32_t timeoutMs;
    };
    struct WriteCall {
        Bytes bytes;
        uint32_t timeoutMs;
    };

    void AnswerNextWrite(std::vector<Chunk> chunks) { m_answers.push_back(std::move(chunks)); }
    void QueueNow(std::vector<Chunk> chunks) {
        m_queue.insert(m_queue.end(), chunks.begin(), chunks.end());
    }

    uint32_t Read(void* buffer, uint32_t count, uint32_t timeoutMs) override {
        reads.push_back({count, timeoutMs});
        if (count == 0 || m_queue.empty() || m_removed) return 0;
        Chunk& front = m_queue.front();
        if (!front.bytes) {
            m_queue.pop_front();
            return 0;
        }
        Bytes& bytes = *front.bytes;
        const uint32_t n = std::min<uint32_t>(count, static_cast<uint32_t>(bytes.size()));
        std::memcpy(buffer, bytes.data(), n);
        bytes.erase(bytes.begin(), bytes.begin() + n);
        if (bytes.empty()) m_queue.pop_front();
        return n;
    }

    void Write(const void* buffer, uint32_t count, uint32_t timeoutMs) override {
        const auto* p = static_cast<const uint8_t*>(buffer);
        writes.push_back({Bytes(p, p + count), timeoutMs});
        if (static_cast<int>(writes.size()) - 1 == removeAtWrite) m_removed = true;
        if (echo) QueueNow({Data(Bytes(p, p + count))});
        if (!m_answers.empty()) {
            QueueNow(std::move(m_answers.front()));
            m_answers.pop_front();
        }
    }

    bool DeviceRemoved() const override { return m_removed; }

    std::vector<ReadCall> reads;
    std::vector<WriteCall> writes;
    bool echo = false;       // every write comes back before its answer, as on two-wire RS-485
    int removeAtWrite = -1;  // the device goes away at this write (0: the first)

private:
    bool m_removed = false;
    std::deque<std::vector<Chunk>> m_answers;
    std::deque<Chunk> m_queue;
};

Bytes ReplyFor(const DeviceConfig& config) {
    ConfigFrame frame = EncodeConfigFrame(config);
    frame[2] = kCmdReadConfig;
    frame[32] = XorCheck(frame.data(), 32);
    return Bytes(frame.begin(), frame.end());
}

DeviceConfig ConverterConfig() {
    DeviceConfig c;
    c.serial.SerialBaudrate = 8;
    c.can.CanBaudrate = 12;
    c.can.CanBTR0 = "00";
    c.can.CanBTR1 = "1C";
    c.can.CanID = "00 00 01 23";
    c.tran.TranMode = 2;
    return c;
}

Bytes Slice(const Bytes& b, size_t from, size_t to) {
    return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(to));
}

Bytes Ack() {
    const auto a = ConfigAck(kCmdWriteConfig);
    return Bytes(a.begin(), a.end());
}

const Bytes kRequest(ReadRequest.begin(), ReadRequest.end());

class ReadConfigTest : public ::testing::Test {
protected:
    ScriptedPort port;
    DeviceConfig config;  // what the pages hold before the read
    const Bytes reply = ReplyFor(ConverterConfig());

    void ExpectRequests(size_t count) {
        ASSERT_EQ(port.writes.size(), count);
        for (const auto& w : port.writes) {
            EXPECT_EQ(w.bytes, kRequest);
            EXPECT_EQ(w.timeoutMs, 100u);
        }
    }
    void ExpectUnchanged() {
        const DeviceConfig fresh;
        EXPECT_EQ(config.serial.SerialBaudrate, fresh.serial.SerialBaudrate);
        EXPECT_EQ(config.can.CanID, fresh.can.CanID);
        EXPECT_EQ(config.can.CanBTR0, fresh.can.CanBTR0);
        EXPECT_EQ(config.tran.TranMode, fresh.tran.TranMode);
    }
};

TEST_F(ReadConfigTest, TwoEqualRepliesMakeARead) {
    port.AnswerNextWrite({Data(reply)});
    port.AnswerNextWrite({Data(reply)});
    ASSERT_TRUE(ReadConfig(port, config));
    ExpectRequests(2);
    EXPECT_EQ(config.serial.SerialBaudrate, 8);
    EXPECT_EQ(config.can.CanID, "00 00 01 23");
    EXPECT_EQ(config.tran.TranMode, 2);
    ASSERT_EQ(port.reads.size(), 2u);
    EXPECT_EQ(port.reads[0].count, 64u);
    EXPECT_EQ(port.reads[0].timeoutMs, 1000u);
}

TEST_F(ReadConfigTest, FragmentedReplyIsJoined) {
    port.AnswerNextWrite(
        {Data(Slice(reply, 0, 10)), Data(Slice(reply, 10, 20)), Data(Slice(reply, 20, 33))});
    port.AnswerNextWrite({Data(reply)});
    ASSERT_TRUE(ReadConfig(port, config));
    ExpectRequests(2);
    EXPECT_EQ(port.reads.size(), 4u);
    EXPECT_EQ(config.can.CanBaudrate, 12);
}

TEST_F(ReadConfigTest, BytesBeyondTheReplyStayQueuedAndSpoilTheNextHeader) {
    port.AnswerNextWrite({Data(reply), Data(Bytes(7, 0xEE))});
    // No purge: the seven stale bytes lead the next collection, which fails its header once.
    port.AnswerNextWrite({Data(reply)});
    port.AnswerNextWrite({Data(reply)});
    ASSERT_TRUE(ReadConfig(port, config));
    ExpectRequests(3);
}

TEST_F(ReadConfigTest, WrongHeaderIsRetriedUpToFourRequests) {
    for (const auto& [offset, value] : {std::pair{0, 0xF6}, {1, 0x00}, {2, 0x01}, {3, 0x1B}}) {
        ScriptedPort p;
        Bytes bad = reply;
        bad[static_cast<size_t>(offset)] = static_cast<uint8_t>(value);
        for (int i = 0; i < 5; ++i) p.AnswerNextWrite({Data(bad)});
        DeviceConfig c;
        EXPECT_FALSE(ReadConfig(p, c)) << "offset " << offset;
        EXPECT_EQ(p.writes.size(), 4u) << "offset " << offset;
        EXPECT_EQ(c.can.CanID, DeviceConfig{}.can.CanID);
    }
}

TEST_F(ReadConfigTest, EveryKindOfFailedAttemptIsRetried) {
    Bytes wrongCommand = reply;
    wrongCommand[2] = 0x01;
    Bytes wrongCheck = reply;
    wrongCheck[32] ^= 0x5A;
    Bytes outsideItsList = reply;  // TranMode 254: a byte 20 of FF
    outsideItsList[20] = 0xFF;
    outsideItsList[32] = XorCheck(outsideItsList.data(), 32);
    port.AnswerNextWrite({Data(wrongCheck)});
    port.AnswerNextWrite({Data(outsideItsList)});
    port.AnswerNextWrite({Data(reply)});
    port.AnswerNextWrite({Data(Slice(reply, 0, 20)), Timeout()});
    port.AnswerNextWrite({Data(reply)});
    ExchangeTrace trace;
    ASSERT_TRUE(ReadConfig(port, config, &trace));
    ExpectRequests(5);
    ASSERT_EQ(trace.attempts.size(), 5u);
    EXPECT_EQ(trace.attempts[1].end, AttemptEnd::kImplausible);
    EXPECT_EQ(trace.attempts[3].end, AttemptEnd::kShortFrame);

    ScriptedPort other;
    other.AnswerNextWrite({Data(wrongCommand)});
    other.AnswerNextWrite({Data(reply)});
    other.AnswerNextWrite({Data(reply)});
    EXPECT_TRUE(ReadConfig(other, config));
    EXPECT_EQ(other.writes.size(), 3u);
    EXPECT_EQ(config.tran.TranMode, 2);
}

TEST_F(ReadConfigTest, FourFailuresEndTheReadWhateverCameBetween) {
    Bytes wrongCheck = reply;
    wrongCheck[32] ^= 0x5A;
    port.AnswerNextWrite({Data(wrongCheck)});
    port.AnswerNextWrite({Data(reply)});  // never confirmed
    for (int i = 0; i < 4; ++i) port.AnswerNextWrite({Data(wrongCheck)});
    EXPECT_FALSE(ReadConfig(port, config));
    ExpectRequests(5);
    ExpectUnchanged();
}

TEST_F(ReadConfigTest, DifferingRepliesAreDecidedOnceByAThird) {
    const Bytes other = ReplyFor(DeviceConfig{});
    port.AnswerNextWrite({Data(other)});
    port.AnswerNextWrite({Data(reply)});
    port.AnswerNextWrite({Data(reply)});
    ASSERT_TRUE(ReadConfig(port, config));
    ExpectRequests(3);
    EXPECT_EQ(config.tran.TranMode, 2);

    ScriptedPort p;
    DeviceConfig third;
    third.tran.TranSpace = 9;
    p.AnswerNextWrite({Data(other)});
    p.AnswerNextWrite({Data(reply)});
    p.AnswerNextWrite({Data(ReplyFor(third))});
    p.AnswerNextWrite({Data(reply)});
    DeviceConfig c;
    ExchangeTrace trace;
    EXPECT_FALSE(ReadConfig(p, c, &trace));
    EXPECT_EQ(p.writes.size(), 3u);
    EXPECT_EQ(c.tran.TranMode, DeviceConfig{}.tran.TranMode);
    EXPECT_NE(trace.Diagnosis().find("The replies differ: the line is noisy"), std::string::npos);
}

TEST_F(ReadConfigTest, AShiftedFrameWhoseCheckHoldsIsNeverTaken) {
    // A duplicated byte equal to the check byte shifts the frame and leaves its XOR intact.
    DeviceConfig factory;
    ApplyDefaults(factory);
    Bytes good;
    size_t at = 32;
    for (int space = 9; at == 32 && space < 256; ++space) {
        factory.tran.TranSpace = space;
        good = ReplyFor(factory);
        for (at = 4; at < 32 && good[at] != good[32];) ++at;
    }
    ASSERT_LT(at, 32u);
    Bytes shifted = Slice(good, 0, at + 1);
    shifted.insert(shifted.end(), good.begin() + static_cast<long>(at), good.end());
    ASSERT_EQ(XorCheck(shifted.data(), 32), shifted[32]);
    ASSERT_NE(Slice(shifted, 0, 33), good);
    port.AnswerNextWrite({Data(shifted)});  // its 34th byte stays queued and spoils the next header
    port.AnswerNextWrite({Data(good)});
    port.AnswerNextWrite({Data(good)});
    port.AnswerNextWrite({Data(good)});
    ASSERT_TRUE(ReadConfig(port, config));
    EXPECT_EQ(EncodeConfigFrame(config), EncodeConfigFrame(factory));
}

TEST_F(ReadConfigTest, SilenceGivesFourRequestsThenFalse) {
    EXPECT_FALSE(ReadConfig(port, config));
    ExpectRequests(4);
    EXPECT_EQ(port.reads.size(), 4u);
    ExpectUnchanged();
}

class WriteConfigTest : public ::testing::Test {
protected:
    ScriptedPort port;
    const DeviceConfig config = ConverterConfig();
    const ConfigFrame frame = EncodeConfigFrame(ConverterConfig());

    void ExpectFrames(size_t count) {
        ASSERT_EQ(port.writes.size(), count);
        for (const auto& w : port.writes) {
            EXPECT_EQ(w.bytes, Bytes(frame.begin(), frame.end()));
            EXPECT_EQ(w.timeoutMs, 500u);
        }
    }
};

TEST_F(WriteConfigTest, AcknowledgedAtOnce) {
    port.AnswerNextWrite({Data(Ack())});
    ASSERT_TRUE(WriteConfig(port, config));
    ExpectFrames(1);
    ASSERT_EQ(port.reads.size(), 1u);
    EXPECT_EQ(port.reads[0].count, 32u);
    EXPECT_EQ(port.reads[0].timeoutMs, 500u);
}

TEST_F(WriteConfigTest, AcknowledgementInTwoPieces) {
    const Bytes ack = Ack();
    port.AnswerNextWrite({Data(Slice(ack, 0, 2)), Data(Slice(ack, 2, 5))});
    ASSERT_TRUE(WriteConfig(port, config));
    ExpectFrames(1);
}

TEST_F(WriteConfigTest, AcknowledgementWithTrailingBytesCounts) {
    Bytes ack = Ack();
    ack.insert(ack.end(), {0x01, 0x02, 0x03});
    port.AnswerNextWrite({Data(ack)});
    ASSERT_TRUE(WriteConfig(port, config));
    ExpectFrames(1);
}

TEST_F(WriteConfigTest, WrongAcknowledgementSendsTheSameFrameAgain) {
    Bytes command03 = Ack();
    command03[2] = 0x03;
    command03[4] = 0x03 ^ 0x1C;
    Bytes code = Ack();
    code[3] = 0x14;
    Bytes check = Ack();
    check[4] = 0x1E;
    port.AnswerNextWrite({Data(command03)});
    port.AnswerNextWrite({Data(code)});
    port.AnswerNextWrite({Data(check)});
    port.AnswerNextWrite({Data(Ack())});
    ASSERT_TRUE(WriteConfig(port, config));
    ExpectFrames(4);
}

TEST_F(WriteConfigTest, FourByteAcknowledgementThenSilenceIsNotAccepted) {
    for (int i = 0; i < 4; ++i) port.AnswerNextWrite({Data(Slice(Ack(), 0, 4)), Timeout()});
    EXPECT_FALSE(WriteConfig(port, config));
    ExpectFrames(4);
}

TEST_F(WriteConfigTest, SilenceGivesFourFramesThenFalse) {
    EXPECT_FALSE(WriteConfig(port, config));
    ExpectFrames(4);
}

TEST(WaitAckTest, ReadsNeverAskForMoreThanTheBufferHasLeft) {
    ScriptedPort port;
    Bytes stream = {0x01, 0x13, 0x1D};
    stream.insert(stream.end(), 200, 0xAB);
    port.QueueNow({Data({0xF7}), Data({0xF8}), Data(stream)});
    EXPECT_TRUE(WaitAck(port, kCmdWriteConfig));
    ASSERT_EQ(port.reads.size(), 3u);
    EXPECT_EQ(port.reads[0].count, 32u);
    EXPECT_EQ(port.reads[1].count, 31u);
    EXPECT_EQ(port.reads[2].count, 30u);
}

TEST(WaitAckTest, OneByteAtATimeStopsAtFive) {
    ScriptedPort port;
    const Bytes ack = Ack();
    std::vector<Chunk> chunks;
    for (uint8_t b : ack) chunks.push_back(Data({b}));
    chunks.push_back(Data(Bytes(100, 0x00)));
    port.QueueNow(chunks);
    EXPECT_TRUE(WaitAck(port, kCmdWriteConfig));
    EXPECT_EQ(port.reads.size(), 5u);
    EXPECT_FALSE(WaitAck(port, kCmdWriteConfig));  // the stream that follows is no acknowledgement
}

TEST(EchoTest, TheEchoOfWhatWasSentIsSkipped) {
    const Bytes reply = ReplyFor(ConverterConfig());
    const ConfigFrame frame = EncodeConfigFrame(ConverterConfig());
    ScriptedPort port;
    port.echo = true;
    port.AnswerNextWrite({Data(reply)});
    port.AnswerNextWrite({Data(reply)});
    DeviceConfig config;
    ExchangeTrace trace;
    ASSERT_TRUE(ReadConfig(port, config, &trace));
    EXPECT_EQ(port.writes.size(), 2u);
    EXPECT_EQ(trace.attempts[0].echoBytes, kReadRequestSize);
    EXPECT_NE(trace.Format().find("echo of our own bytes"), std::string::npos);
    port.AnswerNextWrite({Data(Ack())});
    EXPECT_TRUE(WriteConfig(port, ConverterConfig()));
    EXPECT_EQ(port.writes.size(), 3u);

    // The echo in pieces, the answer run into its tail.
    ScriptedPort pieces;
    Bytes tail = Slice(kRequest, 3, 6);
    tail.insert(tail.end(), reply.begin(), reply.begin() + 10);
    for (int i = 0; i < 2; ++i) {
        pieces.AnswerNextWrite(
            {Data(Slice(kRequest, 0, 3)), Data(tail), Data(Slice(reply, 10, 33))});
    }
    ASSERT_TRUE(ReadConfig(pieces, config));
    EXPECT_EQ(pieces.writes.size(), 2u);
    Bytes frameThenAck(frame.begin(), frame.end());
    const Bytes ack = Ack();
    frameThenAck.insert(frameThenAck.end(), ack.begin(), ack.end());
    pieces.AnswerNextWrite({Data(Slice(frameThenAck, 0, 20)), Data(Slice(frameThenAck, 20, 38))});
    EXPECT_TRUE(WriteConfig(pieces, ConverterConfig()));
}

TEST(EchoTest, AnEchoAloneIsNamedInTheDiagnosis) {
    ScriptedPort port;
    port.echo = true;
    DeviceConfig config;
    ExchangeTrace trace;
    EXPECT_FALSE(ReadConfig(port, config, &trace));
    EXPECT_EQ(port.writes.size(), 4u);
    EXPECT_EQ(trace.attempts.back().end, AttemptEnd::kEchoOnly);
    EXPECT_NE(trace.Diagnosis().find("Only the echo of our own bytes came back"),
              std::string::npos);
}

TEST(DeviceRemovedTest, TheExchangeEndsAtOnce) {
    const Bytes reply = ReplyFor(ConverterConfig());
    ScriptedPort port;
    port.removeAtWrite = 1;
    port.AnswerNextWrite({Data(reply)});
    DeviceConfig config;
    ExchangeTrace trace;
    EXPECT_FALSE(ReadConfig(port, config, &trace));
    EXPECT_EQ(port.writes.size(), 2u);
    EXPECT_TRUE(trace.deviceRemoved());
    EXPECT_NE(trace.Diagnosis().find("The device was removed"), std::string::npos);

    ScriptedPort writePort;
    writePort.removeAtWrite = 0;
    const VerifiedWrite v = WriteAndVerify(writePort, ConverterConfig());
    EXPECT_EQ(v.outcome, VerifiedWrite::Outcome::kNotAcknowledged);
    EXPECT_TRUE(v.deviceRemoved);
    EXPECT_EQ(writePort.writes.size(), 1u);
}

TEST(WriteAndVerifyTest, EveryByteTheDecoderReadsIsCompared) {
    const DeviceConfig config = ConverterConfig();
    const Bytes reply = ReplyFor(config);
    ScriptedPort port;
    port.AnswerNextWrite({Data(Ack())});
    port.AnswerNextWrite({Data(reply)});
    port.AnswerNextWrite({Data(reply)});
    EXPECT_TRUE(WriteAndVerify(port, config).verified());

    // A mask bit below the standard identifier: the settings read the same, the converter
    // filters otherwise.
    Bytes held = reply;
    held[19] ^= 0x01;
    held[32] = XorCheck(held.data(), 32);
    ScriptedPort other;
    other.AnswerNextWrite({Data(Ack())});
    other.AnswerNextWrite({Data(held)});
    other.AnswerNextWrite({Data(held)});
    const VerifiedWrite v = WriteAndVerify(other, config);
    EXPECT_EQ(v.outcome, VerifiedWrite::Outcome::kDiffers);
    ASSERT_EQ(v.differences.size(), 1u);
    EXPECT_EQ(v.differences[0].name, "CanAcptMask");
    EXPECT_NE(v.differences[0].wrote, v.differences[0].holds);
    EXPECT_NE(v.differences[0].holds.find("FF FF FF FE"), std::string::npos);

    // Silence: four frames, then one request to see whether one was taken unanswered.
    ScriptedPort silent;
    EXPECT_EQ(WriteAndVerify(silent, config).outcome, VerifiedWrite::Outcome::kNotAcknowledged);
    ASSERT_EQ(silent.writes.size(), 5u);
    EXPECT_EQ(silent.writes[4].bytes, kRequest);
    ScriptedPort unanswered;
    for (int i = 0; i < kExchangeAttempts; ++i) unanswered.AnswerNextWrite({});
    unanswered.AnswerNextWrite({Data(reply)});
    EXPECT_TRUE(WriteAndVerify(unanswered, config).verified());
}

// Whether the converter took the frame decides, not whether its acknowledgement came through.
TEST(WriteAndVerifyTest, AWriteThatTookIsNeverCalledFailed) {
    const DeviceConfig config = ConverterConfig();
    const ConfigFrame frame = EncodeConfigFrame(config);
    const Bytes sent(frame.begin(), frame.end());
    const Bytes reply = ReplyFor(config);
    DeviceConfig old = config;
    old.tran.TranSpace = 9;
    const Bytes oldReply = ReplyFor(old);
    Bytes damagedAck = Ack();
    damagedAck[4] ^= 0x40;
    Bytes damagedEcho = sent;
    damagedEcho[20] ^= 0x08;
    const Bytes ack = Ack();
    damagedEcho.insert(damagedEcho.end(), ack.begin(), ack.end());

    const struct {
        const char* name;
        std::vector<std::vector<Chunk>> answers;  // to the frame, then to each request, in order
        size_t frames;
        size_t requests;
    } cases[] = {
        // A read-back equal to what was written needs no second reply.
        {"acknowledged", {{Data(Ack())}, {Data(reply)}}, 1, 1},
        // Read back before sending again: the converter took it.
        {"damaged acknowledgement", {{Data(damagedAck)}, {Data(reply)}}, 1, 1},
        // The acknowledgement behind an echo with a damaged byte.
        {"damaged echo",
         {{Data(Slice(damagedEcho, 0, 12)), Data(Slice(damagedEcho, 12, 38))}, {Data(reply)}},
         1,
         1},
        // The read-back shows the old values, twice: the frame goes again.
        {"frame lost",
         {{Data(damagedAck)}, {Data(oldReply)}, {Data(oldReply)}, {Data(Ack())}, {Data(reply)}},
         2,
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort port;
        for (const auto& a : c.answers) port.AnswerNextWrite(a);
        const VerifiedWrite v = WriteAndVerify(port, config);
        EXPECT_TRUE(v.verified());
        const auto frames =
            std::count_if(port.writes.begin(), port.writes.end(),
                          [&](const ScriptedPort::WriteCall& w) { return w.bytes == sent; });
        EXPECT_EQ(static_cast<size_t>(frames), c.frames);
        EXPECT_EQ(port.writes.size() - static_cast<size_t>(frames), c.requests);
    }
}

TEST(DiagnosisTest, AValueOutsideItsListIsNamedNotCalledNoise) {
    DeviceConfig impossible = ConverterConfig();
    impossible.serial.SerialBaudrate = -89;  // bit-rate code 0x63, the check byte right
    ScriptedPort port;
    for (int i = 0; i < kExchangeAttempts; ++i) port.AnswerNextWrite({Data(ReplyFor(impossible))});
    DeviceConfig config;
    ExchangeTrace trace;
    EXPECT_FALSE(ReadConfig(port, config, &trace));
    EXPECT_NE(trace.Diagnosis().find("outside its list"), std::string::npos) << trace.Diagnosis();
    EXPECT_EQ(trace.Diagnosis().find("noise"), std::string::npos);
}

// A converter that trickles its answer, one byte per `gap` of a scripted clock: every read
// returns one more byte, `gap` after the one before (or times out when its wait is shorter).
class TricklingPort : public PortIo {
public:
    TricklingPort(std::vector<uint8_t> answer, std::chrono::milliseconds gap)
        : m_answer(std::move(answer)), m_gap(gap) {}

    uint32_t Read(void* buffer, uint32_t count, uint32_t timeoutMs) override {
        maxWaitMs = std::max(maxWaitMs, timeoutMs);
        if (count == 0 || m_next >= m_answer.size()) {
            m_now += std::chrono::milliseconds(timeoutMs);
            return 0;
        }
        if (std::chrono::milliseconds(timeoutMs) < m_gap) {
            m_now += std::chrono::milliseconds(timeoutMs);
            return 0;
        }
        m_now += m_gap;
        static_cast<uint8_t*>(buffer)[0] = m_answer[m_next++];
        return 1;
    }
    void Write(const void*, uint32_t, uint32_t) override {
        ++writes;
        m_next = 0;  // every request is answered afresh
    }
    std::chrono::steady_clock::time_point Now() const override { return m_now; }

    std::chrono::milliseconds Elapsed() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(m_now - m_start);
    }
    int writes = 0;
    uint32_t maxWaitMs = 0;

private:
    std::vector<uint8_t> m_answer;
    std::chrono::milliseconds m_gap;
    std::chrono::steady_clock::time_point m_start =
        std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    std::chrono::steady_clock::time_point m_now = m_start;
    size_t m_next = 0;
};

TEST(TricklingConverterTest, ReadAndWriteEndWithinTheirBoundsWhateverArrives) {
    ConfigFrame reply = EncodeConfigFrame(DeviceConfig{});
    reply[2] = kCmdReadConfig;
    reply[32] = XorCheck(reply.data(), 32);
    const std::vector<uint8_t> frame(reply.begin(), reply.end());
    const auto ackBytes = ConfigAck(kCmdWriteConfig);
    const std::vector<uint8_t> ack(ackBytes.begin(), ackBytes.end());
    // Line time of the awaited bytes at 19200 bit/s: 33 bytes 17.2 ms, 5 bytes 2.6 ms.
    for (const int gapMs : {100, 900}) {
        SCOPED_TRACE(gapMs);
        TricklingPort readPort(frame, std::chrono::milliseconds(gapMs));
        DeviceConfig config;
        EXPECT_FALSE(ReadConfig(readPort, config));  // 33 bytes never arrive in time
        EXPECT_LE(readPort.Elapsed(), std::chrono::milliseconds(4 * (1000 + 18)));
        EXPECT_LE(readPort.maxWaitMs, kReplyReadTimeoutMs);

        TricklingPort writePort(std::vector<uint8_t>(40, 0x55), std::chrono::milliseconds(gapMs));
        EXPECT_FALSE(WriteConfig(writePort, DeviceConfig{}));
        EXPECT_EQ(writePort.writes, kExchangeAttempts);
        EXPECT_LE(writePort.Elapsed(), std::chrono::milliseconds(4 * (500 + 3)));
    }
    // A whole reply, only slower than the line allows: nothing was lost.
    TricklingPort slow(frame, std::chrono::milliseconds(31));
    DeviceConfig config;
    ExchangeTrace trace;
    EXPECT_FALSE(ReadConfig(slow, config, &trace));
    EXPECT_TRUE(trace.attempts[0].stillArriving);
    EXPECT_NE(trace.Diagnosis().find("answers slowly"), std::string::npos) << trace.Diagnosis();
    // An acknowledgement that trickles in within the bound still counts.
    TricklingPort slowAck(ack, std::chrono::milliseconds(100));
    EXPECT_TRUE(WriteConfig(slowAck, DeviceConfig{}));
    EXPECT_EQ(slowAck.writes, 1);
}

}  // namespace
}  // namespace linkmate
