#include "serial/telnet_codec.h"

namespace linkmate::telnet {

void Decoder::Feed(const uint8_t* bytes, size_t count, std::vector<uint8_t>& data,
                   std::vector<Command>& commands) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        switch (m_state) {
            case State::kData:
                if (b == kIac) {
                    m_state = State::kCommand;
                } else {
                    data.push_back(b);
                }
                break;
            case State::kCommand:
                if (b == kIac) {
                    data.push_back(kIac);
                    m_state = State::kData;
                } else if (b == kDo || b == kDont || b == kWill || b == kWont) {
                    m_command = Command{b, 0, {}};
                    m_state = State::kOption;
                } else if (b == kSb) {
                    m_command = Command{kSb, 0, {}};
                    m_state = State::kSbOption;
                } else {
                    // NOP, GA, AYT and the like carry nothing for a serial line.
                    m_state = State::kData;
                }
                break;
            case State::kOption:
                m_command.option = b;
                commands.push_back(std::move(m_command));
                m_state = State::kData;
                break;
            case State::kSbOption:
                m_command.option = b;
                m_state = b == kIac ? State::kSbCommand : State::kSbData;
                break;
            case State::kSbData:
                if (b == kIac) {
                    m_state = State::kSbCommand;
                } else if (m_command.payload.size() < kMaxSubnegotiation) {
                    m_command.payload.push_back(b);
                }
                break;
            case State::kSbCommand:
                if (b == kIac) {
                    if (m_command.payload.size() < kMaxSubnegotiation)
                        m_command.payload.push_back(kIac);
                    m_state = State::kSbData;
                } else {
                    // IAC SE ends it; any other command after IAC also does, as a peer that
                    // forgot the SE would otherwise swallow the rest of the stream.
                    commands.push_back(std::move(m_command));
                    m_state = State::kData;
                }
                break;
        }
    }
}

void AppendData(std::vector<uint8_t>& out, const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == kIac) out.push_back(kIac);
    }
}

std::vector<uint8_t> Negotiation(uint8_t verb, uint8_t option) { return {kIac, verb, option}; }

std::vector<uint8_t> ComPortRequest(uint8_t command, const std::vector<uint8_t>& value) {
    std::vector<uint8_t> out = {kIac, kSb, kComPortOption, command};
    AppendData(out, value.data(), value.size());
    out.push_back(kIac);
    out.push_back(kSe);
    return out;
}

}  // namespace linkmate::telnet
