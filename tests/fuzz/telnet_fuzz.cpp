// Whatever a server sends, the Telnet layer splits it into data and commands without a crash, and
// the same whichever way the network cut it; data escaped for sending comes back unchanged.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "serial/telnet_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace linkmate::telnet;
    if (size == 0) return 0;
    const size_t cut = data[0] % size;
    std::vector<uint8_t> whole, parts;
    std::vector<Command> wholeCommands, partCommands;
    Decoder one;
    one.Feed(data, size, whole, wholeCommands);
    Decoder two;
    two.Feed(data, cut, parts, partCommands);
    two.Feed(data + cut, size - cut, parts, partCommands);
    if (whole != parts || wholeCommands.size() != partCommands.size()) __builtin_trap();
    for (size_t i = 0; i < wholeCommands.size(); ++i) {
        if (wholeCommands[i].payload.size() > kMaxSubnegotiation ||
            wholeCommands[i].payload != partCommands[i].payload) {
            __builtin_trap();
        }
    }
    std::vector<uint8_t> escaped, back;
    std::vector<Command> none;
    AppendData(escaped, data, size);
    Decoder fresh;
    fresh.Feed(escaped.data(), escaped.size(), back, none);
    if (back != std::vector<uint8_t>(data, data + size) || !none.empty()) __builtin_trap();
    return 0;
}
