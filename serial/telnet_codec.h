// The Telnet layer of a COM port on the network: data with every 0xFF byte doubled, option
// negotiation (IAC DO/DONT/WILL/WONT option) and subnegotiation (IAC SB option ... IAC SE), with
// the COM-PORT option's commands. Pure code: bytes in, data and commands out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace linkmate::telnet {

inline constexpr uint8_t kIac = 255;
inline constexpr uint8_t kDont = 254;
inline constexpr uint8_t kDo = 253;
inline constexpr uint8_t kWont = 252;
inline constexpr uint8_t kWill = 251;
inline constexpr uint8_t kSb = 250;
inline constexpr uint8_t kSe = 240;

inline constexpr uint8_t kBinary = 0;
inline constexpr uint8_t kSuppressGoAhead = 3;
inline constexpr uint8_t kComPortOption = 44;

// COM-PORT option commands as the client sends them; the server answers each with the same
// number plus kServerReply.
enum ComPortCommand : uint8_t {
    kSetBaudRate = 1,  // 4 bytes, bit/s, most significant first; 0 asks for the current rate
    kSetDataSize = 2,  // 1 byte: 5..8 bits
    kSetParity = 3,    // 1 byte: 1 none, 2 odd, 3 even, 4 mark, 5 space
    kSetStopSize = 4,  // 1 byte: 1 one, 2 two, 3 one and a half
    kSetControl = 5,   // 1 byte: 1 no flow control, 11 DTR off, 12 RTS off, ...
    kNotifyLineState = 6,
    kNotifyModemState = 7,
    kFlowControlSuspend = 8,
    kFlowControlResume = 9,
    kSetLineStateMask = 10,
    kSetModemStateMask = 11,
    kPurgeData = 12,  // 1 byte: 1 receive buffer, 2 transmit buffer, 3 both
};
inline constexpr uint8_t kServerReply = 100;

inline constexpr uint8_t kControlNoFlowControl = 1;
inline constexpr uint8_t kPurgeBoth = 3;

// A subnegotiation longer than this is cut: the COM-PORT option's longest is 5 bytes.
inline constexpr size_t kMaxSubnegotiation = 64;

struct Command {
    uint8_t verb = 0;  // kDo, kDont, kWill, kWont, or kSb for a subnegotiation
    uint8_t option = 0;
    std::vector<uint8_t> payload;  // a subnegotiation's bytes after the option, undoubled
};

// Splits a received stream into data and commands; a command split over two Feed calls is
// completed by the second.
class Decoder {
public:
    void Feed(const uint8_t* bytes, size_t count, std::vector<uint8_t>& data,
              std::vector<Command>& commands);

private:
    enum class State { kData, kCommand, kOption, kSbOption, kSbData, kSbCommand };
    State m_state = State::kData;
    Command m_command;
};

// `count` bytes of data as they go on the connection: every 0xFF doubled.
void AppendData(std::vector<uint8_t>& out, const uint8_t* bytes, size_t count);
// IAC `verb` `option`.
std::vector<uint8_t> Negotiation(uint8_t verb, uint8_t option);
// IAC SB COM-PORT `command` `value...` IAC SE, with 0xFF bytes in the value doubled.
std::vector<uint8_t> ComPortRequest(uint8_t command, const std::vector<uint8_t>& value);

}  // namespace linkmate::telnet
