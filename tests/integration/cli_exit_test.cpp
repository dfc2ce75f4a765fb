// The command-line tool's exit status tells the truth: a profile it could not save and output it
// could not write are errors, with the reason on standard error.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "profile/profile_store.h"
#include "pty_harness.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

struct CliRun {
    int status = -1;
    std::string err;
};

// Runs linkmate-cli with `args`, its standard output going to `out`.
CliRun RunCli(const std::vector<std::string>& args, const std::string& out) {
    const std::string errPath = std::filesystem::temp_directory_path() / "linkmate-cli-err.txt";
    const pid_t child = ::fork();
    if (child == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(o, 1);
        ::dup2(e, 2);
        std::vector<char*> argv{const_cast<char*>(LINKMATE_CLI_PATH)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(LINKMATE_CLI_PATH, argv.data());
        ::_exit(127);
    }
    int wstatus = 0;
    ::waitpid(child, &wstatus, 0);
    CliRun run;
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    std::ifstream in(errPath);
    std::stringstream text;
    text << in.rdbuf();
    run.err = text.str();
    return run;
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
    CliRun ok = RunCli({"--port", "1", "read", "--save-profile", "linkmate"}, out);
    EXPECT_EQ(ok.status, 0) << ok.err;

    // A directory where the profile file should be.
    const std::string profile = home.path() + "/" + std::string(kProfileRegistryKey) + "/blocked.reg";
    std::filesystem::create_directories(profile);
    CliRun blocked = RunCli({"--port", "1", "read", "--save-profile", "blocked"}, out);
    EXPECT_EQ(blocked.status, 4);
    EXPECT_NE(blocked.err.find("is not a regular file"), std::string::npos) << blocked.err;

    CliRun refused = RunCli({"--port", "1", "read", "--save-profile", "bad\nname"}, out);
    EXPECT_EQ(refused.status, 4);
    EXPECT_NE(refused.err.find("application name"), std::string::npos) << refused.err;
}

TEST_F(CliExitTest, OutputThatCannotBeWrittenIsAnError) {
    CliRun full = RunCli({"--port", "1", "read"}, "/dev/full");
    EXPECT_EQ(full.status, 4);
    EXPECT_NE(full.err.find("cannot write the output"), std::string::npos) << full.err;
    EXPECT_EQ(RunCli({"--help"}, "/dev/full").status, 4);
    EXPECT_EQ(RunCli({"--port", "1", "read"}, out).status, 0);
}

}  // namespace
}  // namespace linkmate
