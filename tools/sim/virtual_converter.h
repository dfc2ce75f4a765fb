// A converter that lives on a pseudo-terminal: it answers read requests with its configuration and
// stores and acknowledges valid write frames, optionally at the pace of a real line and with
// faults injected on purpose. The linkmate-sim program and the tests both run this engine.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "protocol/device_config.h"
#include "protocol/frame_codec.h"

namespace linkmate::sim {

enum class Fault {
    kNone,
    kSilence,        // no answer at all; a write frame is not stored either
    kSplitReply,     // the answer goes out in pieces of `splitBytes` with `splitGapMs` between them
    kWrongHeader,    // the read reply carries command 01 instead of 03
    kWrongCheck,     // the read reply's check byte is wrong
    kShortReply,     // the read reply stops after `shortReplyBytes`
    kTrailingBytes,  // `trailingBytes` extra bytes follow the answer
    kNoAck,          // a write frame is stored but not acknowledged
    kWrongAck,       // a write frame is stored and answered with a bad check byte
    kLate,           // the answer goes out `lateMs` after the request
    kForgetful,      // a write frame is acknowledged but not stored
    kGarbage,        // every answer replaced by as many bytes that never form a header
};

// Names as the command line spells them ("split", "wrong-header", ...).
std::string_view FaultName(Fault fault);
bool ParseFault(std::string_view name, Fault& fault);

struct Options {
    // 0: as fast as the pseudo-terminal takes them. Otherwise 10 bits per byte at this rate, both
    // ways: answers go out byte by byte on the line's clock, and a message counts as received only
    // once its last byte would have arrived.
    uint32_t paceBitRate = 0;
    Fault fault = Fault::kNone;
    int faultCount = -1;  // answers the fault applies to; -1: all of them
    uint32_t splitBytes = 10;
    uint32_t splitGapMs = 2;
    uint32_t shortReplyBytes = 20;
    uint32_t trailingBytes = 7;
    uint32_t lateMs = 1200;
    // A two-wire RS-485 adapter: every byte the tool sends comes back to it, before the answer
    // (through the noise, when there is noise).
    bool echo = false;
    // A noisy line: each byte, both ways, is damaged with this probability: a bit flipped, the
    // byte dropped, duplicated, or followed by a random one (each a quarter of the cases).
    double noiseRate = 0;
    uint64_t noiseSeed = 1;
    int comPort = 0;  // register the device as COMn while running; 0: don't
    // Understand the tool only while its side of the line is set to this bit rate, as a converter
    // behind a UART hears only garbage at another rate (and answers nothing); 0: at any rate.
    uint32_t lineBitRate = 0;
    bool replaceLink = false;  // take COMn over even when it points somewhere else
    std::function<void(const std::string&)> log;  // every frame in and out, when set
};

struct Stats {
    int readRequests = 0;
    int writeFrames = 0;     // valid frames stored (or dropped by kSilence)
    int rejectedFrames = 0;  // frames with command 01 that failed the length or check test
    int answersSent = 0;
    int bytesDamaged = 0;  // by the noise, both ways
};

// The configuration a converter leaves the factory with.
DeviceConfig FactoryConfig();

class VirtualConverter {
public:
    explicit VirtualConverter(Options options = {});
    ~VirtualConverter();
    VirtualConverter(const VirtualConverter&) = delete;
    VirtualConverter& operator=(const VirtualConverter&) = delete;

    // Opens the pseudo-terminal, registers COMn when asked and starts serving. A COMn link that
    // points elsewhere (other than at a dead converter's device) is refused unless replaceLink.
    bool Start(std::string* error = nullptr);
    // The last Start failed because COMn belongs to something else.
    bool linkRefused() const { return m_linkRefused; }
    // Stops serving, removes the COMn link and closes the pseudo-terminal.
    void Stop();
    // The device is unplugged: the pseudo-terminal goes away under its user.
    void Vanish();

    const std::string& devicePath() const { return m_devicePath; }

    // The configuration the converter holds, as the last valid write frame carried it.
    ConfigFrame storedFrame() const;
    DeviceConfig storedConfig() const;
    void SetStoredConfig(const DeviceConfig& config);
    void SetFault(Fault fault, int count = -1);
    Stats stats() const;
    // Waits until `done` holds for the counts (checked at every change), at most `limit`; false
    // when the time ran out.
    bool WaitForStats(const std::function<bool(const Stats&)>& done,
                      std::chrono::milliseconds limit) const;
    // The last kKeptMessages complete messages received, oldest first (stats() counts them all).
    static constexpr size_t kKeptMessages = 64;
    std::vector<std::vector<uint8_t>> received() const;

private:
    void Serve();
    void Process();
    // Takes a complete message off the input, logs and counts it.
    void Take(const std::vector<uint8_t>& message, std::string_view what, int Stats::*counter);
    void Answer(std::vector<uint8_t> bytes, bool isRead);
    bool TakeFault(Fault fault);
    bool SleepUnlessStopped(uint32_t ms);
    std::chrono::nanoseconds ByteTime() const;
    void WaitForLine(std::chrono::steady_clock::time_point until);
    void SendBytes(const uint8_t* bytes, size_t count);
    // The bytes as a noisy line delivers them.
    std::vector<uint8_t> Noisy(const uint8_t* bytes, size_t count);
    void Log(std::string_view direction, const uint8_t* bytes, size_t count, std::string_view what);

    Options m_options;
    std::string m_devicePath;
    int m_master = -1;
    int m_keptSlave = -1;  // keeps the line up while no client has the port open
    bool m_registered = false;
    bool m_linkRefused = false;
    int m_stopEvent = -1;
    std::thread m_thread;
    std::vector<uint8_t> m_rx;
    // With pacing: when the last byte received so far has finished arriving on the line.
    std::chrono::steady_clock::time_point m_rxLineBusyUntil{};
    std::mt19937_64 m_noise;  // used by the serving thread only

    mutable std::mutex m_mutex;  // guards what follows
    mutable std::condition_variable m_statsChanged;
    ConfigFrame m_stored{};
    Fault m_fault = Fault::kNone;
    int m_faultLeft = -1;
    Stats m_stats;
    std::deque<std::vector<uint8_t>> m_received;
};

}  // namespace linkmate::sim
