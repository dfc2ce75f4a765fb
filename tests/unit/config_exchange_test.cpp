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
        if (count == 0 || m_queue.empty()) return 0;
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
        if (!m_answers.empty()) {
            QueueNow(std::move(m_answers.front()));
            m_answers.pop_front();
        }
    }

    std::vector<ReadCall> reads;
    std::vector<WriteCall> writes;

private:
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

TEST_F(ReadConfigTest, WholeReplyInOneAttempt) {
    port.AnswerNextWrite({Data(reply)});
    ASSERT_TRUE(ReadConfig(port, config));
    ExpectRequests(1);
    EXPECT_EQ(config.serial.SerialBaudrate, 8);
    EXPECT_EQ(config.can.CanID, "00 00 01 23");
    EXPECT_EQ(config.tran.TranMode, 2);
    ASSERT_EQ(port.reads.size(), 1u);
    EXPECT_EQ(port.reads[0].count, 64u);
    EXPECT_EQ(port.reads[0].timeoutMs, 1000u);
}

TEST_F(ReadConfigTest, FragmentedReplyIsJoined) {
    port.AnswerNextWrite({Data(Slice(reply, 0, 10)), Data(Slice(reply, 10, 20)),
                          Data(Slice(reply, 20, 33))});
    ASSERT_TRUE(ReadConfig(port, config));
    ExpectRequests(1);
    EXPECT_EQ(port.reads.size(), 3u);
    EXPECT_EQ(config.can.CanBaudrate, 12);
}

TEST_F(ReadConfigTest, FortyBytesAtOnceUseTheFirstThirtyThree) {
    Bytes forty = reply;
    forty.insert(forty.end(), 7, 0xEE);
    port.AnswerNextWrite({Data(forty)});
    ASSERT_TRUE(ReadConfig(port, config));
    ExpectRequests(1);
}

TEST_F(ReadConfigTest, BytesStillArrivingAfterTheCollectionSpoilTheNextHeader) {
    port.AnswerNextWrite({Data(reply), Data(Bytes(7, 0xEE))});
    ASSERT_TRUE(ReadConfig(port, config));
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

TEST_F(ReadConfigTest, RightHeaderOnTheThirdAttemptSucceeds) {
    Bytes wrongCommand = reply;
    wrongCommand[2] = 0x01;
    port.AnswerNextWrite({Data(wrongCommand)});
    port.AnswerNextWrite({Data(Slice(reply, 0, 3)), Timeout()});  // too short for a header
    port.AnswerNextWrite({Data(reply)});
    ASSERT_TRUE(ReadConfig(port, config));
    ExpectRequests(3);
}

TEST_F(ReadConfigTest, WrongCheckByteEndsTheReadWithoutAnotherRequest) {
    Bytes bad = reply;
    bad[32] ^= 0x5A;
    port.AnswerNextWrite({Data(bad)});
    port.AnswerNextWrite({Data(reply)});
    EXPECT_FALSE(ReadConfig(port, config));
    ExpectRequests(1);
    ExpectUnchanged();
}

TEST_F(ReadConfigTest, ReplyCutAtTwentyBytesEndsTheRead) {
    port.AnswerNextWrite({Data(Slice(reply, 0, 20)), Timeout()});
    port.AnswerNextWrite({Data(reply)});
    EXPECT_FALSE(ReadConfig(port, config));
    ExpectRequests(1);
    ExpectUnchanged();
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
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::time_point{} +
                                                    std::chrono::hours(1);
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
    // An acknowledgement that trickles in within the bound still counts.
    TricklingPort slowAck(ack, std::chrono::milliseconds(100));
    EXPECT_TRUE(WriteConfig(slowAck, DeviceConfig{}));
    EXPECT_EQ(slowAck.writes, 1);
}

}  // namespace
}  // namespace linkmate
