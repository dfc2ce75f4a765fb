// Raw TCP: the bytes go on the connection as they are, and the server's own line settings hold.
#include "protocol/text.h"
#include "serial/network_port.h"

namespace linkmate {
namespace {

using namespace std::chrono;

// A server that serves another client closes a new connection at once (ser2net first says so
// in a line of text). Without a protocol of its own, a raw port learns of it only by waiting.
constexpr milliseconds kTurnAwayWait{100};

class RawTcpPort final : public NetworkPort {
public:
    explicit RawTcpPort(PortAddress address) : NetworkPort(std::move(address)) {}

    bool SetBaudRate(uint32_t) override { return false; }

private:
    Failure SetUp(const LineSettings&) override {
        if (Failure f = TurnedAway(kTurnAwayWait + ReadAllowance()); f.osError != 0) return f;
        // What came before the port was ours belongs to no exchange, as after a purge.
        m_data.clear();
        m_notes.push_back(text::Arg(text::translate("NetworkPort",
                                                    "raw TCP: the line runs at the settings of the "
                                                    "server at %1, not at the model's bit rate"),
                                    {m_address.HostPort()}));
        return {};
    }

    void Take(const uint8_t* bytes, size_t count) override {
        m_data.insert(m_data.end(), bytes, bytes + count);
    }

    void Encode(const uint8_t* bytes, size_t count, std::vector<uint8_t>& out) override {
        out.assign(bytes, bytes + count);
    }
};

}  // namespace

std::unique_ptr<NetworkPort> MakeRawTcpPort(const PortAddress& address) {
    return std::make_unique<RawTcpPort>(address);
}

}  // namespace linkmate
