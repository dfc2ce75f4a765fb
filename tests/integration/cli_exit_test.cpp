// The command-line tool's exit status tells the truth: a profile it could not save and output it
// could not write are errors, with the reason on standard error.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "profile/profile_store.h"
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
    const std::string profile = home.path() + "/" + std::string(kProfileRegistryKey) + "/blocked.reg";
    std::filesystem::create_directories(profile);
    testing::ProgramRun blocked = RunCli({"--port", "1", "read", "--save-profile", "blocked"}, out);
    EXPECT_EQ(blocked.status, 4);
    EXPECT_NE(blocked.err.find("is not a regular file"), std::string::npos) << blocked.err;

    testing::ProgramRun refused = RunCli({"--port", "1", "read", "--save-profile", "bad\nname"}, out);
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
        return at == std::string::npos ? std::string() : text.out.substr(at, text.out.find('\n', at) - at);
    };
    EXPECT_NE(line("COM3").find("Ternix-B (19200 bit/s): serial 9600 bit/s"), std::string::npos) << text.out;
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
    EXPECT_NE(json.out.find(R"j("hint":"a converter answered at 19200 bit/s: use --model B (Ternix-B)")j"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"("context":{"program":"linkmate-cli 2.0.0.1","system":"Linux )"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"("model":"Ternix-A","bitRate":57600})"), std::string::npos) << json.out;
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
