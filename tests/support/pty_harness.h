// Pseudo-terminals for the port tests: each test makes its own pair, keeps a slave descriptor open
// so the line stays up while the code under test has the port closed, and can leave the line
// dirty (cooked, echo, flow control, parity, 7 bits) so that a raw-mode bug shows.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace linkmate::testing {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& path() const { return m_path; }
    int master() const { return m_master; }
    // The device side's own descriptor, kept open: its line settings are the ones the program on
    // the port has set.
    int keptSlave() const { return m_keptSlave; }

    void WriteFromDevice(const std::vector<uint8_t>& bytes);
    // Whatever the code under test sent, waiting up to `timeout` for `count` bytes.
    std::vector<uint8_t> ReadAtDevice(size_t count, std::chrono::milliseconds timeout);
    // Waits until the line's input queue holds at least `count` bytes; false after `limit`.
    bool WaitUntilQueued(size_t count, std::chrono::milliseconds limit) const;
    // The adapter is unplugged.
    void Vanish();

private:
    std::string m_path;
    int m_master = -1;
    int m_keptSlave = -1;
};

// Cooked mode, echo, CR/LF mapping, XON/XOFF and RTS/CTS, 7 bits, odd parity, HUPCL, 9600 bit/s.
void MakeLineDirty(const std::string& devicePath);

// The exclusive-use flag of the line, read through a descriptor of its own.
bool IsExclusive(const std::string& devicePath);

// A private XDG_CONFIG_HOME for the test, removed afterwards.
class TempConfigHome {
public:
    TempConfigHome();
    ~TempConfigHome();
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
    bool m_hadPrevious = false;
};

using Clock = std::chrono::steady_clock;
inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace linkmate::testing
