// The command-line tool's exit status tells the truth: a profile it could not save, output it
// could not write and a file it would not send are errors, with the reason on standard error.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include <filesystem>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "profile/profile_store.h"
#include "protocol/frame_codec.h"
#include "pty_harness.h"
#include "run_program.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

testing::ProgramRun RunCli(const std::vector<std::string>& args, const std::string& out) {
    return testing::RunProgram(LINKMATE_CLI_PATH, args, out);
}

class CliExitTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Options options;
        options.comPort = 1;
        converter = std::make_unique<sim::VirtualConverter>(options);
        ASSERT_TRUE(converter->Start());
        out = home.path() + "/out.txt";
    }
    void TearDown() override { converter->Stop(); }

    testing::TempConfigHome home;
    std::unique_ptr<sim::VirtualConverter> converter;
    std::string out;
};

TEST_F(CliExitTest, AProfileThatCannotBeSavedIsAnError) {
    testing::ProgramRun ok = RunCli({"--port", "1", "read", "--save-profile", "linkmate"}, out);
    EXPECT_EQ(ok.status, 0) << ok.err;

    // A directory where the profile file should be.
    const std::string profile =
        home.path() + "/" + std::string(kProfileRegistryKey) + "/blocked.reg";
    std::filesystem::create_directories(profile);
    testing::ProgramRun blocked = RunCli({"--port", "1", "read", "--save-profile", "blocked"}, out);
    EXPECT_EQ(blocked.status, 4);
    EXPECT_NE(blocked.err.find("is not a regular file"), std::string::npos) << blocked.err;

    testing::ProgramRun refused =
        RunCli({"--port", "1", "read", "--save-profile", "bad\nname"}, out);
    EXPECT_EQ(refused.status, 4);
    EXPECT_NE(refused.err.find("application name"), std::string::npos) << refused.err;
}

TEST_F(CliExitTest, OutputThatCannotBeWrittenIsAnError) {
    testing::ProgramRun full = RunCli({"--port", "1", "read"}, "/dev/full");
    EXPECT_EQ(full.status, 4);
    EXPECT_NE(full.err.find("cannot write the output"), std::string::npos) << full.err;
    EXPECT_EQ(RunCli({"--help"}, "/dev/full").status, 4);
    EXPECT_EQ(RunCli({"--port", "1", "read"}, out).status, 0);
}

// Reads `path` and adds `line` at its end; returns the new line's number.
size_t AppendLine(const std::string& path, const std::string& line) {
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(path, std::ios::app) << line << "\n";
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

TEST_F(CliExitTest, AFileIsCheckedAsSetChecksItAndNothingIsSentBeforeItPasses) {
    namespace fs = std::filesystem;
    const std::string good = home.path() + "/good.reg";
    ASSERT_EQ(RunCli({"read", "-o", good}, out).status, 0);
    const struct {
        const char* line;  // added to a good file (a later value replaces an earlier one)
        const char* says;
    } bad[] = {
        {"\"SerialBaudrate\"=dword:00000063",
         "SerialBaudrate: \"99\" is not allowed; it takes an index or a text: 0 \"600\""},
        {"\"TranSpace\"=dword:00001000",
         "TranSpace: \"4096\" is not allowed; it takes a whole number from 0 to 255"},
        {"\"TranSpce\"=dword:00000004", "\"TranSpce\" is not a setting"},
        {"\"SerialDataBit\"=dword:00000000", "SerialDataBit: the converter does not keep it"},
    };
    for (const auto& b : bad) {
        const std::string path = home.path() + "/bad.reg";
        fs::copy_file(good, path, fs::copy_options::overwrite_existing);
        const size_t line = AppendLine(path, b.line);
        for (const char* command : {"write", "diff"}) {
            const testing::ProgramRun run = RunCli({command, path}, out);
            EXPECT_EQ(run.status, 4) << b.line;
            EXPECT_NE(run.err.find(path + ":" + std::to_string(line) + ": " + b.says),
                      std::string::npos)
                << run.err;
        }
    }
    // Only the section: every setting the converter keeps is missing, and the file says so.
    const std::string section = home.path() + "/section.reg";
    std::ofstream(section)
        << "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\x\\LINKMATE]\n";
    const testing::ProgramRun empty = RunCli({"write", section}, out);
    EXPECT_EQ(empty.status, 4);
    EXPECT_NE(empty.err.find("settings missing: SerialBaudrate, SerialParity, CanBaudrate"),
              std::string::npos)
        << empty.err;
    EXPECT_NE(empty.err.find("--partial"), std::string::npos);
    EXPECT_EQ(RunCli({"export", section}, out).status, 4);
    // Never opened in a way that waits: a FIFO without a writer, a folder.
    const std::string fifo = home.path() + "/fifo.reg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const char* command : {"write", "diff", "export"}) {
        const testing::ProgramRun run = RunCli({command, fifo}, out);
        EXPECT_EQ(run.status, 4) << command;
        EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
    }
    EXPECT_NE(RunCli({"export", home.path()}, out).err.find("a folder, not a file"),
              std::string::npos);
    EXPECT_EQ(converter->stats().writeFrames, 0);

    // --partial: the converter is read first and only what the file names changes.
    AppendLine(section, "\"TranSpace\"=dword:00000009");
    const ConfigFrame before = converter->storedFrame();
    const testing::ProgramRun partial = RunCli({"write", "--partial", section}, out);
    ASSERT_EQ(partial.status, 0) << partial.err;
    ConfigFrame expected = before;
    expected[22] = 9;
    expected[32] = XorCheck(expected.data(), 32);
    EXPECT_EQ(converter->storedFrame(), expected);
}

TEST_F(CliExitTest, ExitZeroOnlyForWhatWasDone) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } usage[] = {
        {{"read", "-o", ""}, "-o takes a file name"},
        {{"read", "--save-profile", ""}, "--save-profile takes an application name"},
        {{"profile", "--app", ""}, "--app takes an application name"},
        {{"set", "SerialStopBit=2"},
         "SerialStopBit: the converter does not keep it; it always works with 0 \"1\""},
        {{"read", "--partial"}, "--partial goes with write"},
    };
    for (const auto& u : usage) {
        const testing::ProgramRun run = RunCli(u.args, out);
        EXPECT_EQ(run.status, 2) << u.says;
        EXPECT_NE(run.err.find(u.says), std::string::npos) << run.err;
    }
    EXPECT_EQ(converter->stats().writeFrames, 0);
    // One port named twice is one target, not two threads that refuse each other.
    EXPECT_EQ(RunCli({"--port", "1", "--port", "1", "read"}, out).status, 0);

    // Standard output a pipe whose reader has gone: an error, not death by SIGPIPE.
    const std::string file = home.path() + "/unit.reg";
    ASSERT_EQ(RunCli({"read", "-o", file}, out).status, 0);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {LINKMATE_CLI_PATH, "export", file.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(
        posix_spawn(&pid, LINKMATE_CLI_PATH, &actions, nullptr, const_cast<char**>(argv), environ),
        0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 4);

    // A converter that holds a value outside its list: the diagnosis says so, and default and a
    // good file still put it right.
    DeviceConfig impossible = converter->storedConfig();
    impossible.serial.SerialBaudrate = -89;  // bit-rate code 0x63
    converter->SetStoredConfig(impossible);
    const testing::ProgramRun read = RunCli({"read"}, out);
    EXPECT_EQ(read.status, 1);
    EXPECT_NE(read.err.find("holds a value outside its list"), std::string::npos) << read.err;
    EXPECT_EQ(RunCli({"default"}, out).status, 0);
    converter->SetStoredConfig(impossible);
    EXPECT_EQ(RunCli({"write", file}, out).status, 0);
    EXPECT_EQ(RunCli({"read"}, out).status, 0);
}

// Finding converters: each answers only at its own model's bit rate, and `find` names port and
// model for each; with none, the exit status says so.
TEST(CliFind, NamesEachConvertersPortAndModel) {
    testing::TempConfigHome home;
    std::vector<std::unique_ptr<sim::VirtualConverter>> converters;
    for (auto [port, rate] : {std::pair{3, 19200u}, std::pair{5, 57600u}}) {
        sim::Options options;
        options.comPort = port;
        options.lineBitRate = rate;
        options.echo = port == 5;  // behind a two-wire RS-485 adapter that returns every byte
        converters.push_back(std::make_unique<sim::VirtualConverter>(options));
        ASSERT_TRUE(converters.back()->Start());
    }
    const testing::ProgramRun text = RunCli({"find"}, {});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("COM3"), std::string::npos);
    const auto line = [&](const std::string& com) {
        const size_t at = text.out.find(com + " ");
        return at == std::string::npos ? std::string()
                                       : text.out.substr(at, text.out.find('\n', at) - at);
    };
    EXPECT_NE(line("COM3").find("Ternix-B (19200 bit/s): serial 9600 bit/s"), std::string::npos)
        << text.out;
    EXPECT_NE(line("COM5").find("Ternix-A (57600 bit/s)"), std::string::npos) << text.out;
    EXPECT_EQ(line("COM4").find("Ternix"), std::string::npos) << text.out;
    // Every other port in the words of the command line: its device path, never a Windows name.
    EXPECT_EQ(text.out.find("\\\\.\\"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("skipped"), std::string::npos) << text.out;
    EXPECT_NE(text.err.find("2 converters found"), std::string::npos) << text.err;
    // Only read requests went out: nothing was written to either converter.
    for (auto& c : converters) EXPECT_EQ(c->stats().writeFrames + c->stats().rejectedFrames, 0);

    const testing::ProgramRun json = RunCli({"find", "--json"}, {});
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find(R"("model":"Ternix-B")"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find(R"("model":"Ternix-A")"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find(R"("state":"answered")"), std::string::npos) << json.out;
    EXPECT_EQ(json.out.find("\\\\\\\\.\\\\"), std::string::npos) << json.out;

    for (auto& c : converters) c->Stop();
    EXPECT_EQ(RunCli({"find"}, {}).status, 1);
}

// Read as Ternix-A, a Ternix-B stays silent; one request at 19200 bit/s tells which model it is.
// A converter that is silent at every rate gets no hint.
TEST(CliModelHint, SilenceAtOneRateNamesTheModelThatAnswersAtTheOther) {
    testing::TempConfigHome home;
    sim::Options options;
    options.comPort = 1;
    options.lineBitRate = 19200;
    sim::VirtualConverter ternixB(options);
    ASSERT_TRUE(ternixB.Start());
    const testing::ProgramRun text = RunCli({"--port", "1", "--model", "A", "read"}, {});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.err.find("No answer at all"), std::string::npos) << text.err;
    EXPECT_NE(text.err.find("COM1: a converter answered at 19200 bit/s: use --model B (Ternix-B)"),
              std::string::npos)
        << text.err;
    const testing::ProgramRun json = RunCli({"--port", "1", "--json", "read"}, {});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find(
                  R"j("hint":"a converter answered at 19200 bit/s: use --model B (Ternix-B)")j"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"("context":{"program":"linkmate-cli 2.0.0.1","system":"Linux )"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"("model":"Ternix-A","bitRate":57600})"), std::string::npos)
        << json.out;
    // Only read requests went to the other rate.
    EXPECT_EQ(ternixB.stats().writeFrames + ternixB.stats().rejectedFrames, 0);
    ternixB.Stop();

    options.lineBitRate = 0;
    options.fault = sim::Fault::kSilence;
    sim::VirtualConverter silent(options);
    ASSERT_TRUE(silent.Start());
    const testing::ProgramRun none = RunCli({"--port", "1", "--json", "read"}, {});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.out.find(R"("hint":null)"), std::string::npos) << none.out;
    silent.Stop();
}

}  // namespace
}  // namespace linkmate
