// The RFC 2217 client: Telnet with the COM-PORT option. The client offers the option and binary
// transmission both ways, sets bit rate, data size, parity and stop size and waits for the
// server to confirm each, and empties the server's buffers before the port is used.
#include <array>
#include <optional>

#include "protocol/text.h"
#include "serial/file_exception.h"
#include "serial/network_port.h"
#include "serial/serial_comm.h"
#include "serial/telnet_codec.h"

namespace linkmate {
namespace {

using namespace std::chrono;
using namespace telnet;

// The server answers the option offers as soon as it has the connection.
constexpr milliseconds kNegotiationTimeout{2000};
// A line setting is confirmed once the server has applied it to its serial device.
constexpr milliseconds kConfirmTimeout{1000};
// The options this client takes part in; every other is declined.
constexpr std::array<uint8_t, 3> kOwnOptions = {kBinary, kSuppressGoAhead, kComPortOption};

bool IsOwnOption(uint8_t option) {
    for (uint8_t own : kOwnOptions) {
        if (own == option) return true;
    }
    return false;
}

// Parity and stop bits in the option's codes, from the Windows codes LineSettings keeps.
uint8_t ParityCode(uint8_t parity) { return parity <= LineSettings::kSpaceParity ? parity + 1 : 1; }
uint8_t StopSizeCode(uint8_t stopBits) {
    switch (stopBits) {
        case LineSettings::kOne5StopBits: return 3;
        case LineSettings::kTwoStopBits: return 2;
        default: return 1;
    }
}

std::string ParityText(uint8_t parity) {
    switch (parity) {
        case LineSettings::kNoParity: return text::translate("NetworkPort", "no parity");
        case LineSettings::kOddParity: return text::translate("NetworkPort", "odd parity");
        case LineSettings::kEvenParity: return text::translate("NetworkPort", "even parity");
        case LineSettings::kMarkParity: return text::translate("NetworkPort", "mark parity");
        default: return text::translate("NetworkPort", "space parity");
    }
}

std::string StopBitsText(uint8_t stopBits) {
    switch (stopBits) {
        case LineSettings::kOne5StopBits: return text::translate("NetworkPort", "1.5 stop bits");
        case LineSettings::kTwoStopBits: return text::translate("NetworkPort", "2 stop bits");
        default: return text::translate("NetworkPort", "1 stop bit");
    }
}

std::vector<uint8_t> BigEndian(uint32_t value) {
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

class Rfc2217Port final : public NetworkPort {
public:
    explicit Rfc2217Port(PortAddress address) : NetworkPort(std::move(address)) {}

    bool SetBaudRate(uint32_t baudRate) override {
        m_replies[kSetBaudRate].reset();
        if (!SendRaw(ComPortRequest(kSetBaudRate, BigEndian(baudRate)), kConfirmTimeout))
            return false;
        Await([&] { return m_replies[kSetBaudRate].has_value(); }, kConfirmTimeout);
        return m_replies[kSetBaudRate] == BigEndian(baudRate);
    }

private:
    Failure SetUp(const LineSettings& line) override {
        std::vector<uint8_t> offer;
        for (uint8_t option : kOwnOptions) {
            for (uint8_t verb : {kWill, kDo}) {
                // The COM-PORT option is the client's to offer, the server's to accept.
                if (option == kComPortOption && verb == kDo) continue;
                const auto bytes = Negotiation(verb, option);
                offer.insert(offer.end(), bytes.begin(), bytes.end());
                Sent(verb, option) = true;
            }
        }
        if (!SendRaw(offer, kNegotiationTimeout)) return Lost();
        Await([&] { return m_comPort.has_value(); }, kNegotiationTimeout);
        if (lost()) return Lost();
        if (m_comPort != true) {
            const std::string pattern =
                m_comPort == false
                    ? text::translate(
                          "NetworkPort",
                          "the server at %1 refused the COM-PORT option: it is no RFC 2217 "
                          "port (for a raw TCP port use socket://%1)")
                    : text::translate(
                          "NetworkPort",
                          "the server at %1 did not answer the Telnet negotiation: it is no "
                          "RFC 2217 port (for a raw TCP port use socket://%1)");
            return {CFileException::ProtocolError(), text::Arg(pattern, {m_address.HostPort()})};
        }

        // SET-CONTROL goes first: the server handles the requests in order, so whatever it says
        // to it has come by the time the last line setting is confirmed.
        const std::vector<std::pair<uint8_t, std::vector<uint8_t>>> requests = {
            {kSetControl, {kControlNoFlowControl}},
            {kSetBaudRate, BigEndian(line.baudRate)},
            {kSetDataSize, {line.byteSize}},
            {kSetParity, {ParityCode(line.parity)}},
            {kSetStopSize, {StopSizeCode(line.stopBits)}},
        };
        std::vector<uint8_t> bytes;
        for (const auto& [command, value] : requests) {
            const auto request = ComPortRequest(command, value);
            bytes.insert(bytes.end(), request.begin(), request.end());
        }
        if (!SendRaw(bytes, kConfirmTimeout)) return Lost();
        const auto confirmed = [&] {
            for (uint8_t command : {kSetBaudRate, kSetDataSize, kSetParity, kSetStopSize}) {
                if (!m_replies[command]) return false;
            }
            return true;
        };
        Await(confirmed, kConfirmTimeout);
        if (lost()) return Lost();
        const std::string what[] = {
            text::Arg(text::translate("NetworkPort", "%1 bit/s"), {std::to_string(line.baudRate)}),
            text::Arg(text::translate("NetworkPort", "%1 data bits"),
                      {std::to_string(line.byteSize)}),
            ParityText(line.parity),
            StopBitsText(line.stopBits),
        };
        for (size_t i = 1; i < requests.size(); ++i) {
            const auto& [command, value] = requests[i];
            if (m_replies[command] != value) {
                return {
                    CFileException::ProtocolError(),
                    text::Arg(text::translate("NetworkPort", "the server at %1 did not take %2"),
                              {m_address.HostPort(), what[i - 1]})};
            }
        }
        if (m_replies[kSetControl] != requests[0].second) {
            // ser2net never confirms it with a pseudo-terminal behind it; the line works.
            m_notes.push_back(
                text::Arg(text::translate("NetworkPort",
                                          "the server at %1 did not confirm that flow "
                                          "control is off (SET-CONTROL)"),
                          {m_address.HostPort()}));
        }

        // What the server's buffers held belongs to no exchange of ours.
        m_replies[kPurgeData].reset();
        if (!SendRaw(ComPortRequest(kPurgeData, {kPurgeBoth}), kConfirmTimeout)) return Lost();
        Await([&] { return m_replies[kPurgeData].has_value(); }, kConfirmTimeout);
        if (lost()) return Lost();
        if (!m_replies[kPurgeData]) {
            m_notes.push_back(text::Arg(text::translate("NetworkPort",
                                                        "the server at %1 did not confirm that it "
                                                        "emptied its buffers (PURGE-DATA)"),
                                        {m_address.HostPort()}));
        }
        m_data.clear();
        return {};
    }

    // The connection ended during the set-up: a server that serves another client lets the
    // negotiation begin and then closes (ser2net with "Port already in use").
    Failure Lost() {
        if (lost()) return TurnedAway(milliseconds(0));
        return {CFileException::ProtocolError(), LostText()};
    }

    void Take(const uint8_t* bytes, size_t count) override {
        std::vector<uint8_t> data;
        std::vector<Command> commands;
        m_decoder.Feed(bytes, count, data, commands);
        m_data.insert(m_data.end(), data.begin(), data.end());
        std::vector<uint8_t> answer;
        for (const Command& c : commands) Handle(c, answer);
        if (!answer.empty()) SendRaw(answer, kConfirmTimeout);
    }

    void Encode(const uint8_t* bytes, size_t count, std::vector<uint8_t>& out) override {
        AppendData(out, bytes, count);
    }

    // A server's request or answer. Only a change of state is answered, so that two peers never
    // answer each other's answers for ever.
    void Handle(const Command& c, std::vector<uint8_t>& answer) {
        const auto reply = [&](uint8_t verb) {
            const auto bytes = Negotiation(verb, c.option);
            answer.insert(answer.end(), bytes.begin(), bytes.end());
        };
        switch (c.verb) {
            case kDo:
                if (c.option == kComPortOption) m_comPort = true;
                if (!IsOwnOption(c.option)) {
                    if (!Sent(kWont, c.option)) reply(kWont);
                    Sent(kWont, c.option) = true;
                } else if (!Sent(kWill, c.option)) {
                    reply(kWill);
                    Sent(kWill, c.option) = true;
                }
                break;
            case kDont:
                if (c.option == kComPortOption) m_comPort = false;
                if (Sent(kWill, c.option)) {
                    reply(kWont);
                    Sent(kWill, c.option) = false;
                }
                break;
            case kWill:
                if (!IsOwnOption(c.option) || c.option == kComPortOption) {
                    if (!Sent(kDont, c.option)) reply(kDont);
                    Sent(kDont, c.option) = true;
                } else if (!Sent(kDo, c.option)) {
                    reply(kDo);
                    Sent(kDo, c.option) = true;
                }
                break;
            case kWont:
                if (Sent(kDo, c.option)) {
                    reply(kDont);
                    Sent(kDo, c.option) = false;
                }
                break;
            case kSb:
                // The server's answers to our requests; NOTIFY-LINESTATE and NOTIFY-MODEMSTATE
                // (and anything else it volunteers) say nothing the exchange needs.
                if (c.option == kComPortOption && !c.payload.empty() &&
                    c.payload[0] > kServerReply &&
                    c.payload[0] - kServerReply < static_cast<int>(m_replies.size())) {
                    m_replies[c.payload[0] - kServerReply] =
                        std::vector<uint8_t>(c.payload.begin() + 1, c.payload.end());
                }
                break;
            default: break;
        }
    }

    template <typename Done>
    void Await(Done done, milliseconds limit) {
        const auto deadline = Clock::now() + limit + ReadAllowance();
        while (!done() && !lost() && Clock::now() < deadline) Pump(deadline);
    }

    // Whether this side has said `verb` about `option` (and not taken it back).
    bool& Sent(uint8_t verb, uint8_t option) { return m_sent[verb - kWill][option]; }

    Decoder m_decoder;
    std::array<std::array<bool, 256>, 4> m_sent{};  // WILL, WONT, DO, DONT by option
    std::optional<bool> m_comPort;  // the server's DO or DONT to the COM-PORT option
    std::array<std::optional<std::vector<uint8_t>>, kPurgeData + 1> m_replies;
};

}  // namespace

std::unique_ptr<NetworkPort> MakeRfc2217Port(const PortAddress& address) {
    return std::make_unique<Rfc2217Port>(address);
}

}  // namespace linkmate
