// linkmate-sim: a virtual converter on a pseudo-terminal, for trying the tool without hardware.
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <tuple>

#include "tools/sim/net_listener.h"
#include "tools/sim/virtual_converter.h"

namespace {

constexpr const char* kUsage = R"(Usage: linkmate-sim [options]

Starts a virtual Ternix converter on a pseudo-terminal and prints the device's path. It answers
read requests with the configuration it holds (factory values at start) and stores and
acknowledges every valid write frame. Stop it with Ctrl+C.

Options:
  --com N            register the device as COMN (1..8) in the per-user port map
                     (~/.config/linkmate/dosdevices/comN) while running; refused (exit
                     status 2) when comN points somewhere else, unless at a converter that
                     no longer runs
  --replace          with --com: take comN over whatever it points to
  --listen [HOST:]PORT
                     also serve the converter on a TCP port, raw (socket://HOST:PORT), as a
                     serial device server does; its line runs at the --model's bit rate
                     (57600 without --model). HOST defaults to 127.0.0.1; PORT 0 takes a
                     free port. One client at a time
  --listen-rfc2217 [HOST:]PORT
                     the same with RFC 2217 (rfc2217://HOST:PORT): the client sets bit rate,
                     data size, parity and stop bits; the line starts at 9600 bit/s
  --model A|B        answer only while the tool's line is at that model's bit rate (57600 for
                     Ternix-A, 19200 for Ternix-B), as a real converter; default: at any rate
  --pace BITRATE     send answers at the pace of a line at BITRATE bit/s (10 bits per byte),
                     e.g. 57600 for a Ternix-A, 19200 for a Ternix-B; default: unpaced
  --fault KIND[:N]   misbehave on the first N answers the fault applies to (default: all):
                       silence       no answer; a write frame is not stored
                       split         answers in pieces (see --split-bytes, --split-gap-ms)
                       wrong-header  read reply with command 01 instead of 03
                       wrong-check   read reply with a wrong check byte
                       short         read reply cut short (see --short-bytes)
                       trailing      extra bytes after the answer (see --trailing-bytes)
                       no-ack        write frame stored, not acknowledged
                       wrong-ack     write frame stored, acknowledgement with a wrong check byte
                       late          answer after --late-ms milliseconds
                       forgetful     write frame acknowledged, not stored
                       garbage       answers replaced by bytes that never form a header
  --echo             return every byte received before answering, as a two-wire RS-485
                     adapter does
  --noise RATE[:SEED]
                     damage each byte, both ways, with probability RATE (e.g. 1e-3): a bit
                     flipped, the byte dropped, duplicated, or followed by a random byte;
                     SEED (default 1) makes a run repeatable
  --split-bytes N    piece size for 'split' (default 10)
  --split-gap-ms N   pause between pieces for 'split' (default 2)
  --short-bytes N    bytes sent for 'short' (default 20)
  --trailing-bytes N extra bytes for 'trailing' (default 7)
  --late-ms N        delay for 'late' (default 1200)
  -v, --verbose      print every frame received and sent, in hex, with a timestamp
  -h, --help         show this text
)";

bool ParseNumber(std::string_view text, uint32_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// "1e-3" or "0.01:42".
bool ParseNoise(std::string_view text, double& rate, uint64_t& seed) {
    const size_t colon = text.find(':');
    const std::string number(text.substr(0, colon));
    char* end = nullptr;
    rate = std::strtod(number.c_str(), &end);
    if (number.empty() || end != number.c_str() + number.size() || !(rate >= 0 && rate <= 1))
        return false;
    if (colon == std::string_view::npos) return true;
    const std::string_view seedText = text.substr(colon + 1);
    const auto [seedEnd, ec] =
        std::from_chars(seedText.data(), seedText.data() + seedText.size(), seed);
    return ec == std::errc() && seedEnd == seedText.data() + seedText.size();
}

int Fail(const std::string& message) {
    std::cerr << "linkmate-sim: " << message << "\nTry 'linkmate-sim --help'.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace linkmate::sim;
    Options options;
    bool verbose = false;
    std::string listenRaw, listenRfc2217;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&](uint32_t& out) {
            if (i + 1 >= argc || !ParseNumber(argv[i + 1], out)) return false;
            ++i;
            return true;
        };
        uint32_t number = 0;
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "-v" || arg == "--verbose") {
            verbose = true;
        } else if (arg == "--listen" || arg == "--listen-rfc2217") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return Fail(std::string(arg) + " needs [HOST:]PORT");
            (arg == "--listen" ? listenRaw : listenRfc2217) = argv[++i];
        } else if (arg == "--replace") {
            options.replaceLink = true;
        } else if (arg == "--com") {
            if (!value(number) || number < 1 || number > 8) return Fail("--com needs 1..8");
            options.comPort = static_cast<int>(number);
        } else if (arg == "--model") {
            const std::string_view model = i + 1 < argc ? argv[++i] : "";
            if (model == "A" || model == "a") {
                options.lineBitRate = 57600;
            } else if (model == "B" || model == "b") {
                options.lineBitRate = 19200;
            } else {
                return Fail("--model needs A or B");
            }
        } else if (arg == "--pace") {
            if (!value(options.paceBitRate) || options.paceBitRate == 0) {
                return Fail("--pace needs a bit rate");
            }
        } else if (arg == "--fault") {
            if (i + 1 >= argc) return Fail("--fault needs a kind");
            std::string_view spec = argv[++i];
            const size_t colon = spec.find(':');
            if (colon != std::string_view::npos) {
                if (!ParseNumber(spec.substr(colon + 1), number)) return Fail("bad fault count");
                options.faultCount = static_cast<int>(number);
                spec = spec.substr(0, colon);
            }
            if (!ParseFault(spec, options.fault))
                return Fail("unknown fault '" + std::string(spec) + "'");
        } else if (arg == "--echo") {
            options.echo = true;
        } else if (arg == "--noise") {
            if (i + 1 >= argc || !ParseNoise(argv[i + 1], options.noiseRate, options.noiseSeed)) {
                return Fail("--noise needs RATE[:SEED], a rate from 0 to 1");
            }
            ++i;
        } else if (arg == "--split-bytes") {
            if (!value(options.splitBytes) || options.splitBytes == 0)
                return Fail("bad --split-bytes");
        } else if (arg == "--split-gap-ms") {
            if (!value(options.splitGapMs)) return Fail("bad --split-gap-ms");
        } else if (arg == "--short-bytes") {
            if (!value(options.shortReplyBytes)) return Fail("bad --short-bytes");
        } else if (arg == "--trailing-bytes") {
            if (!value(options.trailingBytes)) return Fail("bad --trailing-bytes");
        } else if (arg == "--late-ms") {
            if (!value(options.lateMs)) return Fail("bad --late-ms");
        } else {
            return Fail("unknown option '" + std::string(arg) + "'");
        }
    }
    if (verbose) {
        options.log = [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        };
    }

    // Take the stop signals synchronously so the port-map link is always removed.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stopSignals, sig);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const int comPort = options.comPort;
    const uint32_t lineBitRate = options.lineBitRate;
    VirtualConverter converter(std::move(options));
    std::string error;
    if (!converter.Start(&error)) {
        std::cerr << "linkmate-sim: " << error << '\n';
        return converter.linkRefused() ? 2 : 1;
    }
    std::printf("%s\n", converter.devicePath().c_str());
    if (comPort > 0) std::printf("registered as COM%d\n", comPort);
    NetListener raw, rfc2217;
    // The rate a real converter's server would be set up with; an RFC 2217 client sets its own.
    const uint32_t rawRate = lineBitRate != 0 ? lineBitRate : 57600;
    for (auto [listener, where, isRfc2217, rate] :
         {std::tuple{&raw, &listenRaw, false, rawRate},
          std::tuple{&rfc2217, &listenRfc2217, true, 9600u}}) {
        if (where->empty()) continue;
        if (!listener->Start(*where, isRfc2217, converter.devicePath(), rate, &error)) {
            std::cerr << "linkmate-sim: cannot listen on " << error << '\n';
            converter.Stop();
            return 1;
        }
        std::printf("listening on %s\n", listener->address().c_str());
    }
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    raw.Stop();
    rfc2217.Stop();
    converter.Stop();
    return 0;
}
