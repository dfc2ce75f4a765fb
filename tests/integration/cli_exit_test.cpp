// The command-line tool's exit status tells the truth: a profile it could not save and output it
// could not write are errors, with the reason on standard error.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
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

}  // namespace
}  // namespace linkmate
