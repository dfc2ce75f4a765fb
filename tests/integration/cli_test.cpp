// linkmate-cli against virtual converters on pseudo-terminals: every command and exit status,
// JSON read back with a real parser, configuration files between two converters, several targets
// at once with one of them silent.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "profile/config_file.h"
#include "protocol/frame_codec.h"
#include "protocol/settings_table.h"
#include "pty_harness.h"
#include "run_program.h"
#include "sample_configs.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

using CliRun = testing::ProgramRun;

// Runs linkmate-cli; `stdoutPath` empty: captured; "-": closed.
CliRun Cli(const std::vector<std::string>& args, const std::string& stdoutPath = {}) {
    return testing::RunProgram(LINKMATE_CLI_PATH, args, stdoutPath);
}

std::vector<QJsonObject> JsonLines(const std::string& text) {
    std::vector<QJsonObject> objects;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
        objects.push_back(doc.object());
    }
    return objects;
}

class CliTest : public ::testing::Test {
protected:
    // Converters as COM1, COM2, ...
    sim::VirtualConverter& Converter(sim::Options options = {}) {
        options.comPort = static_cast<int>(converters.size()) + 1;
        converters.push_back(std::make_unique<sim::VirtualConverter>(options));
        EXPECT_TRUE(converters.back()->Start());
        return *converters.back();
    }
    void TearDown() override {
        for (auto& c : converters) c->Stop();
    }
    std::string File(const char* name) const { return home.path() + "/" + name; }

    testing::TempConfigHome home;
    std::vector<std::unique_ptr<sim::VirtualConverter>> converters;
};

TEST_F(CliTest, ReadPrintsAndSavesAFileThatWritesByteExactToAnotherConverter) {
    sim::VirtualConverter& first = Converter();
    sim::VirtualConverter& second = Converter();
    first.SetStoredConfig(testing::DualExtendedEdited());
    const CliRun read = Cli({"read", "-o", File("unit.reg")});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("CanBaudrate     0 (Custom)"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("CanAcptCode2    \"AB CD\""), std::string::npos) << read.out;

    const CliRun write = Cli({"--port", "2", "write", File("unit.reg")});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_NE(write.err.find("verified"), std::string::npos);
    ConfigFrame a = first.storedFrame(), b = second.storedFrame();
    EXPECT_EQ(a, b);

    EXPECT_EQ(Cli({"--port", "2", "diff", File("unit.reg")}).status, 0);
    std::filesystem::copy_file(File("unit.reg"), File("other.reg"));
    { std::ofstream(File("other.reg"), std::ios::app) << "\"TranSpace\"=dword:00000009\n"; }
    const CliRun diff = Cli({"--port", "2", "diff", File("other.reg")});
    EXPECT_EQ(diff.status, 5);
    EXPECT_NE(diff.out.find("TranSpace: file 9, converter 44"), std::string::npos) << diff.out;

    // The same typed values in read and diff: numbers, hex text, list entries with their text.
    const auto readJson = JsonLines(Cli({"--json", "read"}).out);
    ASSERT_EQ(readJson.size(), 1u);
    const QJsonObject config = readJson[0]["config"].toObject();
    EXPECT_EQ(config["CanBaudrate"].toObject(), (QJsonObject{{"index", 0}, {"text", "Custom"}}));
    EXPECT_EQ(config["CanAcptCode2"].toString(), "AB CD");
    EXPECT_EQ(config["TranSpace"].toInt(-1), 44);
    EXPECT_TRUE(readJson[0]["device"].toString().startsWith("/dev/pts/"))
        << readJson[0]["device"].toString().toStdString();
    EXPECT_TRUE(readJson[0]["link"].toString().endsWith("dosdevices/com1"));
    const auto diffJson = JsonLines(Cli({"--json", "--port", "2", "diff", File("other.reg")}).out);
    ASSERT_EQ(diffJson.size(), 1u);
    const QJsonObject difference = diffJson[0]["differences"].toArray()[0].toObject();
    EXPECT_EQ(difference["file"].toInt(-1), 9);
    EXPECT_EQ(difference["converter"].toInt(-1), 44);
}

TEST_F(CliTest, SetTakesIndexesTextsAndRefusesBadValuesBeforeSending) {
    sim::VirtualConverter& c = Converter();
    CliRun ok = Cli({"set", "CanBaudrate=500K", "CanFilterMode=dual",
                     "TranMode= transparent with id", "CanAcptCode1=01 23", "TranSpace=7"});
    ASSERT_EQ(ok.status, 0) << ok.err;
    DeviceConfig held = c.storedConfig();
    EXPECT_EQ(held.can.CanBaudrate, 12);
    EXPECT_EQ(held.can.CanBTR0, "00");  // the preset's timing came with it
    EXPECT_EQ(held.can.CanBTR1, "1C");
    EXPECT_EQ(held.can.CanFiterMode, 0);
    EXPECT_EQ(held.can.CanAcptCode1, "01 23");
    EXPECT_EQ(held.tran.TranMode, 1);
    EXPECT_EQ(held.tran.TranSpace, 7);
    EXPECT_EQ(Cli({"set", "CanBaudrate=\"250 K\""}).status, 2);  // quotes are the shell's business
    EXPECT_EQ(Cli({"set", "CanBaudrate=10"}).status, 0);
    EXPECT_EQ(c.storedConfig().can.CanBaudrate, 10);
    const int frames = c.stats().writeFrames;

    const struct {
        std::vector<std::string> args;
        const char* says;
    } bad[] = {
        {{"set", "Frobnicate=1"}, "SerialBaudrate, SerialParity"},
        {{"set", "CanBaudrate=77"}, "15 \"1000 K\""},
        {{"set", "TranSpace=300"}, "from 0 to 255"},
        {{"set", "CanID=xy"}, "hex digit pairs"},
        {{"set", "CanBTR0=3f"}, "only with CanBaudrate Custom"},
        {{"set", "CanFrameType=0", "CanID=7FF"}, "for the number 7FF write CanID=\"00 00 07 FF\""},
    };
    for (const auto& b : bad) {
        const CliRun run = Cli(b.args);
        EXPECT_EQ(run.status, 2) << b.args.back();
        EXPECT_NE(run.err.find(b.says), std::string::npos) << run.err;
    }
    EXPECT_EQ(c.stats().writeFrames, frames);  // nothing was sent
    EXPECT_EQ(Cli({"set", "CanBaudrate=Custom", "CanBTR0=3f"}).status, 0);
    EXPECT_EQ(c.storedConfig().can.CanBTR0, "3F");
}

TEST_F(CliTest, DefaultVerifyAndTheirFailures) {
    sim::VirtualConverter& c = Converter();
    c.SetStoredConfig(testing::SingleExtendedExample());
    ASSERT_EQ(Cli({"default"}).status, 0);
    DeviceConfig factory;
    ApplyDefaults(factory);
    ApplyBaudPreset(factory.can);
    ApplyMaskRule(factory.can);
    EXPECT_EQ(c.storedFrame(), EncodeConfigFrame(factory));

    c.SetFault(sim::Fault::kForgetful);
    const CliRun forgot = Cli({"set", "TranSpace=5", "--json"});
    EXPECT_EQ(forgot.status, 3);
    const auto objects = JsonLines(forgot.out);
    ASSERT_EQ(objects.size(), 1u);
    const QJsonArray differences = objects[0]["differences"].toArray();
    ASSERT_EQ(differences.size(), 1);
    EXPECT_EQ(differences[0].toObject()["setting"].toString(), "TranSpace");
    EXPECT_EQ(differences[0].toObject()["sent"].toInt(-1), 5);
    EXPECT_EQ(differences[0].toObject()["read_back"].toInt(-1), 2);
}

TEST_F(CliTest, SeveralTargetsAtOnceWithOneSilent) {
    Converter();
    sim::Options silent;
    silent.fault = sim::Fault::kSilence;
    Converter(silent);
    Converter();
    const auto start = testing::Clock::now();
    const CliRun run = Cli({"--port", "1", "--port", "2", "--port", "3", "--json", "read"});
    const double ms = testing::MsSince(start);
    EXPECT_EQ(run.status, 1);
    const auto objects = JsonLines(run.out);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0]["status"].toInt(), 0);
    EXPECT_EQ(objects[1]["status"].toInt(), 1);
    EXPECT_EQ(objects[2]["status"].toInt(), 0);
    EXPECT_EQ(objects[2]["target"].toString(), "COM3");
    EXPECT_EQ(objects[0]["config"].toObject()["CanBaudrate"].toObject()["text"].toString(),
              "250 K");
    // The silent one's 4 s run beside the others, not after them.
    EXPECT_LT(ms, 8000);
}

TEST_F(CliTest, UsageFilesAndOutputErrors) {
    Converter();
    EXPECT_EQ(Cli({"--port", "2x", "read"}).status, 2);
    const CliRun unknown = Cli({"--frobnicate", "read"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--frobnicate"), std::string::npos) << unknown.err;
    const struct {
        std::vector<std::string> args;
        const char* says;
    } misuse[] = {
        {{"read", "--port"}, "option '--port' needs a value"},
        {{"read", "-o"}, "option '-o' needs a value"},
        {{"--help=foo"}, "option '--help' takes no value"},
        {{"-qx", "read"}, "unknown option '-x'"},
        {{"help", "launch"}, "unknown command \"launch\""},
    };
    for (const auto& m : misuse) {
        const CliRun run = Cli(m.args);
        EXPECT_EQ(run.status, 2) << m.says;
        EXPECT_NE(run.err.find(m.says), std::string::npos) << run.err;
    }
    const CliRun help = Cli({"help", "set"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("set KEY=VALUE..."), std::string::npos) << help.out;
    const CliRun notSerial = Cli({"--device", "/dev/null", "read"});
    EXPECT_EQ(notSerial.status, 2);
    EXPECT_EQ(notSerial.err.find("\n\n"), std::string::npos) << notSerial.err;
    EXPECT_EQ(Cli({"launch"}).status, 2);
    EXPECT_EQ(Cli({"write"}).status, 2);
    EXPECT_EQ(Cli({"--version"}).status, 0);

    {
        std::ofstream(File("bad.reg"))
            << "Windows Registry Editor Version "
               "5.00\n\n[HKEY_CURRENT_USER\\x\\LINKMATE]\n\"CanID\"=oops\n";
    }
    const CliRun badFile = Cli({"write", File("bad.reg")});
    EXPECT_EQ(badFile.status, 4);
    EXPECT_NE(badFile.err.find("bad.reg:4:"), std::string::npos) << badFile.err;
    EXPECT_EQ(converters[0]->stats().writeFrames, 0);
    EXPECT_EQ(Cli({"write", File("missing.reg")}).status, 4);

    EXPECT_EQ(Cli({"read"}, "/dev/full").status, 4);
    EXPECT_EQ(Cli({"read"}, "-").status, 4);

    const CliRun ports = Cli({"ports", "--json"});
    ASSERT_EQ(ports.status, 0);
    const auto objects = JsonLines(ports.out);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]["ports"].toArray().size(), 8);
    EXPECT_TRUE(objects[0]["ports"].toArray()[0].toObject()["present"].toBool());
    // The running converter's pseudo-terminal is listed, and the listing says how it was found.
    bool converterListed = false;
    for (const auto& device : objects[0]["devices"].toArray()) {
        converterListed |=
            device.toObject()["description"].toString().contains("virtual converter");
    }
    EXPECT_TRUE(converterListed) << ports.out;
    const bool fellBack = objects[0]["discovery"].toString() == "sysfs";
    EXPECT_EQ(objects[0]["udev_fallback"].toBool(), fellBack);
    const CliRun text = Cli({"ports"});
    EXPECT_NE(text.out.find(fellBack ? "fell back to walking /sys" : "found through udev"),
              std::string::npos)
        << text.out;

    ASSERT_EQ(Cli({"read", "--save-profile", "linkmate"}).status, 0);
    const CliRun profile = Cli({"profile", "--app", "linkmate", "--json"});
    ASSERT_EQ(profile.status, 0);
    const auto saved = JsonLines(profile.out);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0]["config"].toObject()["ConfigPort"].toObject()["text"].toString(), "COM1");
    // A profile that does not exist is no saved settings (its fallbacks are not shown as if they
    // were), and asking leaves nothing behind.
    const CliRun none = Cli({"profile", "--app", "nosuchapp"});
    EXPECT_EQ(none.status, 4);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no saved settings"), std::string::npos) << none.err;
    EXPECT_EQ(Cli({"export", "--app", "nosuchapp"}).status, 4);
    for (const char* leftover : {"nosuchapp.reg", "nosuchapp.reg.lock"}) {
        EXPECT_FALSE(std::filesystem::exists(File("应用程序向导生成的本地应用程序/") + leftover))
            << leftover;
    }
}

TEST_F(CliTest, ExportGivesRegeditsOwnFormAndPortsGoTo255) {
    Converter();
    ASSERT_EQ(Cli({"read", "-o", File("unit.reg"), "--save-profile", "配置工具"}).status, 0);
    // The profile, and a configuration file: UTF-16LE with its byte-order mark, CR LF, the same
    // keys and values as the UTF-8 file.
    ASSERT_EQ(Cli({"export", "--app", "配置工具", "-o", File("profile-win.reg")}).status, 0);
    const CliRun unit = Cli({"export", File("unit.reg")});
    ASSERT_EQ(unit.status, 0) << unit.err;
    std::ifstream in(File("profile-win.reg"), std::ios::binary);
    const std::string profile((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    const std::string section =
        "[HKEY_CURRENT_USER\\Software\\应用程序向导生成的本地应用程序\\配置工具\\LINKMATE]";
    for (const std::string* text : {&profile, &unit.out}) {
        ASSERT_EQ(text->substr(0, 4), std::string("\xFF\xFEW\0", 4));
        EXPECT_NE(text->find(std::string("\r\0\n\0", 4)), std::string::npos);
        std::string narrow;  // the ASCII and the key's Chinese characters back from UTF-16LE
        for (size_t i = 2; i + 1 < text->size(); i += 2) {
            const unsigned unit16 = static_cast<unsigned char>((*text)[i]) |
                                    static_cast<unsigned char>((*text)[i + 1]) << 8;
            if (unit16 < 0x80) {
                if (unit16 != '\r') narrow.push_back(static_cast<char>(unit16));
            } else {
                narrow += {static_cast<char>(0xE0 | unit16 >> 12),
                           static_cast<char>(0x80 | (unit16 >> 6 & 0x3F)),
                           static_cast<char>(0x80 | (unit16 & 0x3F))};
            }
        }
        if (text == &profile) {
            EXPECT_NE(narrow.find(section), std::string::npos) << narrow;
            EXPECT_NE(narrow.find("\"ConfigPort\"=dword:00000000"), std::string::npos) << narrow;
        } else {
            std::ifstream utf8(File("unit.reg"));
            EXPECT_EQ(narrow, std::string((std::istreambuf_iterator<char>(utf8)),
                                          std::istreambuf_iterator<char>()));
        }
    }
    {
        std::ofstream(File("bad.reg"))
            << "REGEDIT4\n\n[HKEY_CURRENT_USER\\x\\LINKMATE]\n\"CanID\"=oops\n";
    }
    const CliRun bad = Cli({"export", File("bad.reg")});
    EXPECT_EQ(bad.status, 4);
    EXPECT_NE(bad.err.find("bad.reg:4:"), std::string::npos) << bad.err;

    // A number above 8 names a port (here /dev/ttyS199, absent); 0 and 256 do not.
    const CliRun high = Cli({"--port", "200", "read"});
    EXPECT_EQ(high.status, 2);
    EXPECT_NE(high.err.find("ttyS199"), std::string::npos) << high.err;
    for (const char* n : {"0", "256"}) {
        const CliRun out = Cli({"--port", n, "read"});
        EXPECT_EQ(out.status, 2);
        EXPECT_NE(out.err.find("1..255"), std::string::npos) << out.err;
    }
}

TEST_F(CliTest, OutputFileIsARegularFileALinksTargetOrStandardOutput) {
    namespace fs = std::filesystem;
    Converter().SetStoredConfig(testing::DualExtendedEdited());
    const std::string fifo = File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(File("folder"));
    for (const std::string& path : {fifo, std::string("/dev/null"), File("folder")}) {
        const CliRun run = Cli({"read", "-o", path});
        EXPECT_EQ(run.status, 4) << path;
        EXPECT_NE(run.err.find(path + " is not a regular file"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    // A link stays a link; the file it points to, in another folder, is replaced or created.
    fs::create_directory(File("real"));
    std::ofstream(File("real/unit.reg")) << "old";
    fs::create_symlink("real/unit.reg", File("unit.reg"));
    fs::create_symlink(File("real/new.reg"), File("new.reg"));
    for (const char* link : {"unit.reg", "new.reg"}) {
        ASSERT_EQ(Cli({"read", "-o", File(link)}).status, 0) << link;
        EXPECT_TRUE(fs::is_symlink(File(link)));
        DeviceConfig saved;
        std::string error;
        ASSERT_TRUE(ReadConfigFile(File(link), saved, &error)) << error;
        EXPECT_TRUE(FrameSettingDifferences(saved, converters[0]->storedConfig()).empty()) << link;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(File("real")), fs::directory_iterator()), 2);

    const CliRun out = Cli({"read", "-o", "-"});
    ASSERT_EQ(out.status, 0) << out.err;
    EXPECT_FALSE(fs::exists("-"));
    std::ofstream(File("stdout.reg")) << out.out;
    DeviceConfig printed;
    ASSERT_TRUE(ReadConfigFile(File("stdout.reg"), printed, nullptr)) << out.out;
    EXPECT_TRUE(FrameSettingDifferences(printed, converters[0]->storedConfig()).empty());
    EXPECT_EQ(Cli({"--json", "read", "-o", "-"}).status, 2);
}

TEST_F(CliTest, AFailedExchangeCarriesItsDiagnosisAndTrace) {
    sim::Options garbage;
    garbage.fault = sim::Fault::kGarbage;
    Converter(garbage);
    const CliRun json = Cli({"--json", "read"});
    EXPECT_EQ(json.status, 1);
    const auto objects = JsonLines(json.out);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_TRUE(objects[0]["diagnosis"].toString().contains("check the converter model"));
    const QJsonArray trace = objects[0]["trace"].toArray();
    ASSERT_FALSE(trace.isEmpty());
    EXPECT_EQ(trace[0].toObject()["sent"].toString(), "F7 F8 03 01 AA A7");
    EXPECT_EQ(trace[0].toObject()["ended"].toString(), "wrong header");
    EXPECT_FALSE(trace[0].toObject()["received"].toArray().isEmpty());
    // Each attempt has its time since the first (a garbled reply is answered at once, so the
    // second may come within the printed precision of the first).
    ASSERT_GT(trace.size(), 1);
    EXPECT_EQ(trace[0].toObject()["atMs"].toDouble(-1), 0.0);
    EXPECT_GE(trace[1].toObject()["atMs"].toDouble(-1), 0.0);
    EXPECT_GE(trace.last().toObject()["atMs"].toDouble(), trace[1].toObject()["atMs"].toDouble());

    const CliRun verbose = Cli({"-v", "read"});
    EXPECT_EQ(verbose.status, 1);
    EXPECT_NE(verbose.err.find("COM1: [+0.0 ms] read, attempt 1: sent F7 F8 03 01 AA A7"),
              std::string::npos)
        << verbose.err;
    EXPECT_NE(verbose.err.find("check the converter model"), std::string::npos) << verbose.err;
}

TEST(CliBitTimingTest, ListsAndDecodesWithoutAPort) {
    const CliRun list = Cli({"btr", "83.333k", "--json"});
    ASSERT_EQ(list.status, 0) << list.err;
    const auto objects = JsonLines(list.out);
    ASSERT_EQ(objects.size(), 1u);
    const QJsonObject first = objects[0]["candidates"].toArray()[0].toObject();
    EXPECT_NEAR(first["bit_rate"].toDouble(), 83333.333, 0.01);
    EXPECT_NEAR(first["sample_point_percent"].toDouble(), 87.5, 1e-6);
    const CliRun decode = Cli({"btr", "--decode", "01", "1c"});
    ASSERT_EQ(decode.status, 0);
    EXPECT_NE(decode.out.find("250.000 kbit/s, sample point 87.5 %, 16 quanta, SJW 1"),
              std::string::npos)
        << decode.out;
    EXPECT_EQ(Cli({"btr", "fast"}).status, 2);
    EXPECT_EQ(Cli({"btr", "--decode", "1G", "00"}).status, 2);
    EXPECT_EQ(Cli({"btr", "1000"}).status, 1);  // no pair that slow: no result, not a usage error
}

TEST(CliBitTimingTest, SpeaksSocketCanAndWarns) {
    const CliRun k500 = Cli({"btr", "500K"});
    ASSERT_EQ(k500.status, 0) << k500.err;
    const size_t header = k500.out.find('\n');
    EXPECT_EQ(k500.out.compare(header + 1, 11, "  00   1C  "), 0) << k500.out;
    EXPECT_NE(
        k500.out.find(
            "  ip link set can0 type can bitrate 500000 sample-point 0.875\n"
            "  ip link set can0 type can tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1\n"),
        std::string::npos)
        << k500.out;
    for (const char* same : {"0.875", "87.5 %", "875"}) {
        EXPECT_EQ(Cli({"btr", "500K", "--sample-point", same}).out, k500.out) << same;
    }
    const CliRun low = Cli({"btr", "500K", "--sample-point", "0.3"});
    EXPECT_EQ(low.status, 2);
    EXPECT_NE(low.err.find("30.0 %"), std::string::npos) << low.err;
    EXPECT_EQ(Cli({"btr", "500K", "--sample-point", "96"}).status, 2);

    const CliRun bad = Cli({"btr", "--decode", "40", "00"});
    EXPECT_EQ(bad.status, 0);
    EXPECT_NE(bad.out.find("warning: SJW 2 is longer than TSEG2 1"), std::string::npos) << bad.out;
    const auto json = JsonLines(Cli({"btr", "--decode", "40", "00", "--json"}).out);
    ASSERT_EQ(json.size(), 1u);
    EXPECT_EQ(json[0]["warnings"].toArray().size(), 2);
    EXPECT_TRUE(json[0]["ip_link_tq"].isNull());  // Linux refuses an SJW longer than phase-seg2
    // A preset the kernel would not choose is named beside the kernel's answer.
    const CliRun k40 = Cli({"btr", "40K"});
    EXPECT_NE(k40.out.find("preset 40 K is 87 FF"), std::string::npos) << k40.out;
}

}  // namespace
}  // namespace linkmate
