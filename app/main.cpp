#include <getopt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "app/display.h"
#include "app/linkmate_app.h"
#include "profile/program_args.h"

namespace {

linkmate::CLINKMATEApp theApp;

constexpr const char* kUsage = R"(Usage: linkmate [--model A|B] [--port N] [--lang en|zh_CN]

Opens the LINKMATE window, which configures Ternix-A and Ternix-B serial-to-CAN converters.

Options:
  --model A|B   choose the converter model for this start (A: Ternix-A, 57600 bit/s;
                B: Ternix-B, 19200 bit/s) instead of the one saved last time
  --port N      choose COM port N (1..8) for this start
  --lang L      the window's language: en (English) or zh_CN (Simplified Chinese); by default
                the locale's (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)
  -h, --help    show this text and exit
  --version     show the version and exit
)";

int Usage(const char* message) {
    linkmate::TellOperator("linkmate: " + std::string(message) + "\nTry 'linkmate --help'.\n",
                           true);
    return 2;
}

// A whole decimal number in [low, high], nothing after it.
bool ParseNumber(const char* text, int low, int high, int& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    linkmate::ProgramArgs args(argc, argv);
    argc = args.argc();
    argv = args.argv();
    static const option kOptions[] = {
        {"model", required_argument, nullptr, 'm'}, {"port", required_argument, nullptr, 'p'},
        {"lang", required_argument, nullptr, 'l'},  {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},     {nullptr, 0, nullptr, 0},
    };
    linkmate::StartChoice choice;
    opterr = 0;
    int c = 0;
    while ((c = getopt_long(argc, argv, "h", kOptions, nullptr)) != -1) {
        switch (c) {
            case 'm':
                if (std::strcmp(optarg, "A") != 0 && std::strcmp(optarg, "B") != 0) {
                    return Usage("--model takes A or B");
                }
                choice.model = optarg[0] == 'A' ? 0 : 1;
                break;
            case 'p': {
                int port = 0;
                if (!ParseNumber(optarg, 1, 8, port)) return Usage("--port takes a number 1..8");
                choice.port = port - 1;
                break;
            }
            case 'l':
                if (std::strcmp(optarg, "en") != 0 && std::strcmp(optarg, "zh_CN") != 0) {
                    return Usage("--lang takes en or zh_CN");
                }
                choice.language = optarg;
                break;
            case 'h': linkmate::TellOperator(kUsage, false); return 0;
            case 'V': linkmate::TellOperator("linkmate 2.0.0.1\n", false); return 0;
            default: {
                static char message[96];
                std::snprintf(message, sizeof message, "unknown or incomplete option '%s'",
                              argv[optind - 1]);
                return Usage(message);
            }
        }
    }
    if (optind < argc) return Usage("no arguments are taken besides the options");
    if (!linkmate::HaveDisplay()) {
        std::fprintf(stderr,
                     "linkmate: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Run it in a desktop session, or on a virtual display with\n"
                     "  xvfb-run -a %s\n",
                     argc > 0 ? argv[0] : "linkmate");
        return 1;
    }
    // Qt sees only the program's file, which names the profile: the options are ours.
    std::string executable = args.executable();
    char* programOnly[] = {executable.data(), nullptr};
    return theApp.InitInstance(1, programOnly, choice);
}
