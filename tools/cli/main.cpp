// linkmate-cli: reads a converter's configuration from the command line and, if asked, writes it
// back. Uses the same port naming, transactions and profile as the window.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "protocol/config_exchange.h"
#include "protocol/config_lists.h"
#include "protocol/frame_codec.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/open_failure.h"
#include "serial/serial_comm.h"

namespace {

constexpr const char* kUsage = R"(Usage: linkmate-cli [options] COMMAND

Commands:
  read         read the converter's configuration and print it
  copy         read the configuration, then write it back unchanged

Options:
  --model A|B  converter model: A = Ternix-A (57600 bit/s, default), B = Ternix-B (19200 bit/s)
  --port N     COM port number 1..8 (default 1); COMN resolves through the port map
               ~/.config/linkmate/dosdevices/comN, else /dev/ttyS<N-1>
  --save-profile NAME
               after success, save the settings to the profile of application NAME (the GUI's
               is "linkmate"), as the window does
  -h, --help   show this text

Exit status: 0 success, 1 communication error, 2 usage error or port that cannot be opened,
4 profile that cannot be saved or output that cannot be written.
)";

constexpr int kExitFileError = 4;

void Print(const linkmate::DeviceConfig& c) {
    using namespace linkmate;
    const auto item = [](const char* key, int32_t value, std::string_view text) {
        std::printf("%-15s %d%s%.*s%s\n", key, value, text.empty() ? "" : " (",
                    static_cast<int>(text.size()), text.data(), text.empty() ? "" : ")");
    };
    const auto hex = [](const char* key, const std::string& text) {
        std::printf("%-15s \"%s\"\n", key, text.c_str());
    };
    item("SerialBaudrate", c.serial.SerialBaudrate,
         lists::EntryOrEmpty(lists::SerialBaudrate, c.serial.SerialBaudrate));
    item("SerialParity", c.serial.SerialParity,
         lists::EntryOrEmpty(lists::SerialParity, c.serial.SerialParity));
    item("CanBaudrate", c.can.CanBaudrate,
         lists::EntryOrEmpty(lists::CanBaudrate, c.can.CanBaudrate));
    hex("CanBTR0", c.can.CanBTR0);
    hex("CanBTR1", c.can.CanBTR1);
    item("CanFrameType", c.can.CanFrameType,
         lists::EntryOrEmpty(lists::CanFrameType, c.can.CanFrameType));
    item("CanFiterMode", c.can.CanFiterMode,
         lists::EntryOrEmpty(lists::CanFiterMode, c.can.CanFiterMode));
    hex("CanID", c.can.CanID);
    hex("CanAcptCode", c.can.CanAcptCode);
    hex("CanAcptMask", c.can.CanAcptMask);
    item("TranMode", c.tran.TranMode, lists::EntryOrEmpty(lists::TranMode, c.tran.TranMode));
    item("TranDir", c.tran.TranDir, lists::EntryOrEmpty(lists::TranDir, c.tran.TranDir));
    item("TranSpace", c.tran.TranSpace, {});
    item("TranID", c.tran.TranID, {});
    item("TranInfo", c.tran.TranInfo, {});
    item("TranIdBase", c.tran.TranIdBase, {});
    item("TranLength", c.tran.TranLength, {});
}

// Everything printed must have reached its destination (a full disk, a closed pipe).
int Finish(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "linkmate-cli: cannot write the output: %s\n", std::strerror(errno));
        return status == 0 ? kExitFileError : status;
    }
    return status;
}

int Usage(const char* message) {
    std::fprintf(stderr, "linkmate-cli: %s\nTry 'linkmate-cli --help'.\n", message);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace linkmate;
    DeviceConfig config;
    std::string command;
    std::string profileApp;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return Finish(0);
        } else if (arg == "--model" && i + 1 < argc) {
            const std::string_view model = argv[++i];
            if (model != "A" && model != "B") return Usage("--model takes A or B");
            config.connection.DeviceType = model == "A" ? 0 : 1;
        } else if (arg == "--port" && i + 1 < argc) {
            const int port = std::atoi(argv[++i]);
            if (port < 1 || port > 8) return Usage("--port takes 1..8");
            config.connection.ConfigPort = port - 1;
        } else if (arg == "--save-profile" && i + 1 < argc) {
            profileApp = argv[++i];
        } else if (command.empty() && (arg == "read" || arg == "copy")) {
            command = arg;
        } else {
            return Usage("unknown argument");
        }
    }
    if (command.empty()) return Usage("no command given");

    CSerialComm port;
    CFileException openError;
    if (!OpenConfigPort(port, config.connection.DeviceType, config.connection.ConfigPort,
                        &openError)) {
        const int number = config.connection.ConfigPort + 1;
        std::fprintf(stderr, "linkmate-cli: Invalid serial port!\n%s\n",
                     DescribeOpenFailure(FormatComPortName(number), openError.m_lOsError).c_str());
        return 2;
    }
    SerialPortIo io(port);
    if (!ReadConfig(io, config)) {
        std::fprintf(stderr, "linkmate-cli: Communication Error! (read)\n");
        return Finish(1);
    }
    std::printf("Read Configration Successfully!\n");
    Print(config);
    if (command == "copy") {
        if (!WriteConfig(io, config)) {
            std::fprintf(stderr, "linkmate-cli: Communication Error! (write)\n");
            return Finish(1);
        }
        std::printf("Write Configration Successfully!\n");
    }
    if (!profileApp.empty()) {
        SetProfileRegistryKey(kProfileRegistryKey);
        SetProfileApplicationName(profileApp);
        std::string error;
        if (!SaveProfile(config, &error)) {
            std::fprintf(stderr, "linkmate-cli: the profile \"%s\" could not be saved: %s\n",
                         profileApp.c_str(), error.c_str());
            return Finish(kExitFileError);
        }
        std::printf("profile saved to %s\n", ProfileFilePath().c_str());
    }
    return Finish(0);
}
