#include "tools/sim/virtual_converter.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "serial/com_port_names.h"
#include "serial/port_map.h"

namespace linkmate::sim {
namespace {

using Clock = std::chrono::steady_clock;

// A message that stopped half-way is dropped after this much silence, so a cut write frame
// cannot swallow the requests that follow it.
constexpr int kPartialMessageTimeoutMs = 100;
constexpr uint8_t kTrailingByte = 0x55;

struct FaultEntry {
    Fault fault;
    std::string_view name;
};

constexpr std::array<FaultEntry, 12> kFaultNames = {{
    {Fault::kNone, "none"},
    {Fault::kSilence, "silence"},
    {Fault::kSplitReply, "split"},
    {Fault::kWrongHeader, "wrong-header"},
    {Fault::kWrongCheck, "wrong-check"},
    {Fault::kShortReply, "short"},
    {Fault::kTrailingBytes, "trailing"},
    {Fault::kNoAck, "no-ack"},
    {Fault::kWrongAck, "wrong-ack"},
    {Fault::kLate, "late"},
    {Fault::kForgetful, "forgetful"},
    {Fault::kGarbage, "garbage"},
}};

bool AppliesToRead(Fault f) {
    return f != Fault::kNoAck && f != Fault::kWrongAck && f != Fault::kForgetful;
}
bool AppliesToWrite(Fault f) {
    return f == Fault::kSilence || f == Fault::kSplitReply || f == Fault::kTrailingBytes ||
           f == Fault::kNoAck || f == Fault::kWrongAck || f == Fault::kLate || f == Fault::kGarbage;
}

void MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return;
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
}

// The bit rate the tool set on its side of the pseudo-terminal; the master sees the same settings.
uint32_t ToolBitRate(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return 0;
    switch (cfgetospeed(&tio)) {
        case B1200: return 1200;
        case B2400: return 2400;
        case B4800: return 4800;
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B57600: return 57600;
        case B115200: return 115200;
        default: return 0;
    }
}

std::string Timestamp() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%06ld", local.tm_hour, local.tm_min,
                  local.tm_sec, ts.tv_nsec / 1000);
    return text;
}

ConfigFrame WithCommand(ConfigFrame frame, uint8_t command) {
    frame[2] = command;
    frame[32] = XorCheck(frame.data(), kConfigFrameSize - 1);
    return frame;
}

}  // namespace

std::string_view FaultName(Fault fault) {
    for (const auto& entry : kFaultNames) {
        if (entry.fault == fault) return entry.name;
    }
    return "?";
}

bool ParseFault(std::string_view name, Fault& fault) {
    for (const auto& entry : kFaultNames) {
        if (entry.name == name) {
            fault = entry.fault;
            return true;
        }
    }
    return false;
}

DeviceConfig FactoryConfig() {
    DeviceConfig config;
    ApplyDefaults(config);
    ApplyBaudPreset(config.can);
    ApplyMaskRule(config.can);
    return config;
}

VirtualConverter::VirtualConverter(Options options) : m_options(std::move(options)) {
    m_stored = EncodeConfigFrame(FactoryConfig());
    m_fault = m_options.fault;
    m_faultLeft = m_options.faultCount;
    m_noise.seed(m_options.noiseSeed);
}

VirtualConverter::~VirtualConverter() { Stop(); }

bool VirtualConverter::Start(std::string* error) {
    m_linkRefused = false;
    const auto fail = [&](const char* step) {
        if (error != nullptr) *error = std::string(step) + ": " + std::strerror(errno);
        Stop();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_master < 0) return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return fail("grantpt");
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0) return fail("ptsname");
    m_devicePath = name;
    m_keptSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_keptSlave < 0) return fail("open slave");
    // A fresh pty is in cooked mode, which would eat or echo protocol bytes until a client sets
    // the line up; start raw like a real serial port.
    MakeRaw(m_keptSlave);
    m_stopEvent = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopEvent < 0) return fail("eventfd");
    if (m_options.comPort > 0) {
        // A link somebody made by hand (or a running converter's) is not ours to replace.
        const ComPortInfo existing = DescribeComPort(m_options.comPort);
        if (!existing.linkPath.empty() && !m_options.replaceLink &&
            !IsStaleConverterLink(m_options.comPort)) {
            if (error != nullptr) {
                *error = "COM" + std::to_string(m_options.comPort) + " already points to " +
                         existing.devicePath + " (" + existing.description +
                         "); choose another --com number, or --replace to take it over";
            }
            m_linkRefused = true;
            Stop();
            return false;
        }
        if (std::string why; !RegisterComPort(m_options.comPort, m_devicePath, &why)) {
            if (error != nullptr) *error = "port map: " + why;
            Stop();
            return false;
        }
        m_registered = true;
        RecordComPortOwner(m_options.comPort, ::getpid(), m_devicePath);
    }
    m_thread = std::thread(&VirtualConverter::Serve, this);
    return true;
}

void VirtualConverter::Stop() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_stopEvent, &one, sizeof one);
        m_thread.join();
    }
    if (m_registered) {
        // Only while the link is still ours: one made since is left alone.
        UnregisterComPort(m_options.comPort, m_devicePath);
        ForgetComPortOwner(m_options.comPort, ::getpid());
        m_registered = false;
    }
    for (int* fd : {&m_master, &m_keptSlave, &m_stopEvent}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void VirtualConverter::Vanish() { Stop(); }

ConfigFrame VirtualConverter::storedFrame() const {
    std::lock_guard lock(m_mutex);
    return m_stored;
}

DeviceConfig VirtualConverter::storedConfig() const {
    DeviceConfig config;
    DecodeConfigFrame(storedFrame(), config);
    return config;
}

void VirtualConverter::SetStoredConfig(const DeviceConfig& config) {
    std::lock_guard lock(m_mutex);
    m_stored = EncodeConfigFrame(config);
}

void VirtualConverter::SetFault(Fault fault, int count) {
    std::lock_guard lock(m_mutex);
    m_fault = fault;
    m_faultLeft = count;
}

Stats VirtualConverter::stats() const {
    std::lock_guard lock(m_mutex);
    return m_stats;
}

bool VirtualConverter::WaitForStats(const std::function<bool(const Stats&)>& done,
                                    std::chrono::milliseconds limit) const {
    std::unique_lock lock(m_mutex);
    return m_statsChanged.wait_for(lock, limit, [&] { return done(m_stats); });
}

std::vector<std::vector<uint8_t>> VirtualConverter::received() const {
    std::lock_guard lock(m_mutex);
    return {m_received.begin(), m_received.end()};
}

bool VirtualConverter::TakeFault(Fault fault) {
    std::lock_guard lock(m_mutex);
    if (m_fault != fault || m_faultLeft == 0) return false;
    if (m_faultLeft > 0) --m_faultLeft;
    return true;
}

void VirtualConverter::Serve() {
    std::array<uint8_t, 512> chunk{};
    for (;;) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_stopEvent, POLLIN, 0}};
        const int timeout = m_rx.empty() ? -1 : kPartialMessageTimeoutMs;
        const int rc = ::poll(fds, 2, timeout);
        if (rc < 0 && errno == EINTR) continue;
        if (rc < 0 || (fds[1].revents & POLLIN) != 0) return;
        if (rc == 0) {
            Log("RX", m_rx.data(), m_rx.size(), "incomplete, dropped");
            m_rx.clear();
            continue;
        }
        if ((fds[0].revents & POLLIN) == 0) {
            // Hang-up without data cannot happen while the kept slave is open; don't spin on it.
            if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) ::poll(&fds[1], 1, 10);
            continue;
        }
        const ssize_t n = ::read(m_master, chunk.data(), chunk.size());
        if (n <= 0) continue;
        if (m_options.echo) {
            // The echo crosses the same noisy line as any answer.
            Log("TX", chunk.data(), static_cast<size_t>(n), "echo");
            const std::vector<uint8_t> echoed = Noisy(chunk.data(), static_cast<size_t>(n));
            SendBytes(echoed.data(), echoed.size());
        }
        if (m_options.lineBitRate != 0) {
            if (const uint32_t rate = ToolBitRate(m_master); rate != m_options.lineBitRate) {
                Log("RX", chunk.data(), static_cast<size_t>(n),
                    "at " + std::to_string(rate) + " bit/s, not " +
                        std::to_string(m_options.lineBitRate) + ": garbled, no answer");
                continue;
            }
        }
        const std::vector<uint8_t> heard = Noisy(chunk.data(), static_cast<size_t>(n));
        m_rx.insert(m_rx.end(), heard.begin(), heard.end());
        if (m_options.paceBitRate != 0) {
            m_rxLineBusyUntil = std::max(Clock::now(), m_rxLineBusyUntil) + ByteTime() * n;
        }
        Process();
    }
}

void VirtualConverter::Process() {
    for (;;) {
        const auto start = std::find(m_rx.begin(), m_rx.end(), kHeader0);
        if (start != m_rx.begin()) {
            Log("RX", m_rx.data(), static_cast<size_t>(start - m_rx.begin()), "junk, skipped");
            m_rx.erase(m_rx.begin(), start);
        }
        if (m_rx.size() < 3) return;
        const uint8_t command = m_rx[2];
        if (m_rx[1] != kHeader1 || (command != kCmdReadConfig && command != kCmdWriteConfig)) {
            Log("RX", m_rx.data(), 1, "junk, skipped");
            m_rx.erase(m_rx.begin());
            continue;
        }
        const size_t size = command == kCmdReadConfig ? kReadRequestSize : kConfigFrameSize;
        if (m_rx.size() < size) return;
        const std::vector<uint8_t> message(m_rx.begin(), m_rx.begin() + static_cast<long>(size));

        if (command == kCmdReadConfig) {
            if (!std::equal(ReadRequest.begin(), ReadRequest.end(), message.begin())) {
                Log("RX", message.data(), 1, "junk, skipped");
                m_rx.erase(m_rx.begin());
                continue;
            }
            Take(message, "read request", &Stats::readRequests);
            const ConfigFrame reply = WithCommand(storedFrame(), kCmdReadConfig);
            Answer(std::vector<uint8_t>(reply.begin(), reply.end()), true);
            continue;
        }

        const bool valid = message[3] == kConfigDataLength &&
                           XorCheck(message.data(), kConfigFrameSize - 1) == message[32];
        if (!valid) {
            Log("RX", message.data(), message.size(), "write frame rejected (length or check)");
            std::lock_guard lock(m_mutex);
            ++m_stats.rejectedFrames;
            m_statsChanged.notify_all();
            m_rx.erase(m_rx.begin());
            continue;
        }
        Take(message, "write frame", &Stats::writeFrames);
        if (TakeFault(Fault::kSilence)) {
            Log("--", nullptr, 0, "silence: frame ignored");
            continue;
        }
        if (TakeFault(Fault::kForgetful)) {
            Log("--", nullptr, 0, "forgetful: frame acknowledged, not stored");
        } else {
            std::lock_guard lock(m_mutex);
            std::copy(message.begin(), message.end(), m_stored.begin());
        }
        const auto ack = ConfigAck(kCmdWriteConfig);
        Answer(std::vector<uint8_t>(ack.begin(), ack.end()), false);
    }
}

std::chrono::nanoseconds VirtualConverter::ByteTime() const {
    return m_options.paceBitRate == 0
               ? std::chrono::nanoseconds(0)
               : std::chrono::nanoseconds(10'000'000'000LL / m_options.paceBitRate);
}

void VirtualConverter::WaitForLine(Clock::time_point until) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(until.time_since_epoch());
    const timespec at{static_cast<time_t>(ns.count() / 1'000'000'000),
                      static_cast<long>(ns.count() % 1'000'000'000)};
    // steady_clock is CLOCK_MONOTONIC on Linux.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

void VirtualConverter::Take(const std::vector<uint8_t>& message, std::string_view what,
                            int Stats::*counter) {
    m_rx.erase(m_rx.begin(), m_rx.begin() + static_cast<long>(message.size()));
    Log("RX", message.data(), message.size(), what);
    std::lock_guard lock(m_mutex);
    ++(m_stats.*counter);
    m_statsChanged.notify_all();
    // A long-running converter keeps only the latest messages; the counts keep the rest.
    if (m_received.size() == kKeptMessages) m_received.pop_front();
    m_received.push_back(message);
}

void VirtualConverter::Answer(std::vector<uint8_t> bytes, bool isRead) {
    // The request is complete only when its last byte is through the line.
    if (m_options.paceBitRate != 0) WaitForLine(m_rxLineBusyUntil);
    Fault fault;
    {
        std::lock_guard lock(m_mutex);
        fault = m_fault;
    }
    const bool applies = isRead ? AppliesToRead(fault) : AppliesToWrite(fault);
    if (fault == Fault::kNone || !applies || !TakeFault(fault)) fault = Fault::kNone;

    size_t piece = bytes.size();
    switch (fault) {
        case Fault::kSilence: Log("--", nullptr, 0, "silence: no answer"); return;
        case Fault::kNoAck:
            Log("--", nullptr, 0, "no-ack: frame stored, no acknowledgement");
            return;
        case Fault::kWrongHeader:
            bytes[2] = kCmdWriteConfig;
            bytes[32] = XorCheck(bytes.data(), kConfigFrameSize - 1);
            break;
        case Fault::kWrongCheck: bytes.back() ^= 0xFF; break;
        case Fault::kWrongAck: bytes.back() ^= 0x01; break;
        case Fault::kShortReply:
            bytes.resize(std::min<size_t>(bytes.size(), m_options.shortReplyBytes));
            break;
        case Fault::kTrailingBytes:
            bytes.insert(bytes.end(), m_options.trailingBytes, kTrailingByte);
            break;
        case Fault::kSplitReply: piece = std::max<uint32_t>(1, m_options.splitBytes); break;
        case Fault::kLate:
            if (!SleepUnlessStopped(m_options.lateMs)) return;
            break;
        case Fault::kGarbage:
            // What a line at the wrong bit rate makes of an answer: bytes, never a header.
            for (size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = static_cast<uint8_t>(0x30 + (i * 37) % 0x80);
            break;
        case Fault::kForgetful:  // taken when the frame came in; the answer is a plain one
        case Fault::kNone: break;
    }

    for (size_t offset = 0; offset < bytes.size(); offset += piece) {
        if (offset != 0 && !SleepUnlessStopped(m_options.splitGapMs)) return;
        const size_t count = std::min(piece, bytes.size() - offset);
        Log("TX", bytes.data() + offset, count,
            fault == Fault::kNone ? std::string_view{} : FaultName(fault));
        const std::vector<uint8_t> line = Noisy(bytes.data() + offset, count);
        SendBytes(line.data(), line.size());
    }
    std::lock_guard lock(m_mutex);
    ++m_stats.answersSent;
    m_statsChanged.notify_all();
}

bool VirtualConverter::SleepUnlessStopped(uint32_t ms) {
    pollfd stop{m_stopEvent, POLLIN, 0};
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - Clock::now() + std::chrono::microseconds(999));
        if (left.count() <= 0) return true;
        const int rc = ::poll(&stop, 1, static_cast<int>(left.count()));
        if (rc > 0) return false;
        if (rc < 0 && errno != EINTR) return false;
    }
}

std::vector<uint8_t> VirtualConverter::Noisy(const uint8_t* bytes, size_t count) {
    if (m_options.noiseRate <= 0) return std::vector<uint8_t>(bytes, bytes + count);
    std::bernoulli_distribution hit(m_options.noiseRate);
    std::uniform_int_distribution<int> kind(0, 3), bit(0, 7), value(0, 255);
    std::vector<uint8_t> out;
    int damaged = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!hit(m_noise)) {
            out.push_back(bytes[i]);
            continue;
        }
        ++damaged;
        switch (kind(m_noise)) {
            case 0: out.push_back(static_cast<uint8_t>(bytes[i] ^ (1u << bit(m_noise)))); break;
            case 1: break;  // dropped
            case 2: out.insert(out.end(), 2, bytes[i]); break;
            default:
                out.push_back(bytes[i]);
                out.push_back(static_cast<uint8_t>(value(m_noise)));
                break;
        }
    }
    if (damaged != 0) {
        std::lock_guard lock(m_mutex);
        m_stats.bytesDamaged += damaged;
    }
    return out;
}

void VirtualConverter::SendBytes(const uint8_t* bytes, size_t count) {
    // Pacing: no byte leaves before its time on the line, 10 bits per byte (start, 8 data, stop),
    // on absolute times so that the delays don't add up. After the first byte the bytes go in
    // batches of about a millisecond of line, as a UART's receive FIFO hands them on, each batch
    // when its last byte is through: a message begins and ends exactly when it would byte by
    // byte, at a wakeup per millisecond instead of one per byte (32 converters paced byte by byte
    // kept a 2-core machine busy).
    const bool paced = m_options.paceBitRate != 0;
    const size_t batch = paced ? std::max<size_t>(1, m_options.paceBitRate / 10 / 1000) : count;
    const auto start = Clock::now();
    size_t sent = 0;
    while (sent < count) {
        const size_t want = paced && sent == 0 ? 1 : std::min(batch, count - sent);
        if (paced) WaitForLine(start + ByteTime() * static_cast<long>(sent + want));
        const ssize_t n = ::write(m_master, bytes + sent, want);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd out{m_master, POLLOUT, 0};
            if (::poll(&out, 1, 1000) <= 0) return;  // the other side stopped reading
        } else if (!(n < 0 && errno == EINTR)) {
            return;
        }
    }
}

void VirtualConverter::Log(std::string_view direction, const uint8_t* bytes, size_t count,
                           std::string_view what) {
    if (!m_options.log) return;
    std::string line = Timestamp();
    line += ' ';
    line += direction;
    char hex[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        line += hex;
    }
    if (!what.empty()) {
        line += "  (";
        line += what;
        line += ')';
    }
    m_options.log(line);
}

}  // namespace linkmate::sim
