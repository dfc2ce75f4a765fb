// The profile store says when it could not save and why, never waits long for another holder,
// cleans up after saves that died, refuses names that are not names, stays linear on any file,
// and reads what the registry editor exports.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "pty_harness.h"

namespace linkmate {
namespace {

namespace fs = std::filesystem;

class ProfileHardeningTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetProfileRegistryKey(kProfileRegistryKey);
        SetProfileApplicationName("linkmate");
        path = ProfileFilePath();
        fs::create_directories(fs::path(path).parent_path());
    }
    void WriteBytes(const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    size_t Unreadables() const {
        size_t n = 0;
        for (const auto& e : fs::directory_iterator(fs::path(path).parent_path())) {
            n += e.path().filename().string().find(".unreadable-") != std::string::npos;
        }
        return n;
    }

    testing::TempConfigHome home;
    std::string path;
};

DeviceConfig Sample() {
    DeviceConfig c;
    c.can.CanID = "00 00 07 FF";
    c.tran.TranIdBase = 5;
    return c;
}

TEST_F(ProfileHardeningTest, AFailedSaveSaysWhy) {
    const struct {
        const char* what;
        void (*make)(const std::string& path);
        const char* reason;
    } cases[] = {
        {"directory", [](const std::string& p) { fs::create_directory(p); },
         "is not a regular file"},
        {"fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "is not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(path);
        c.make(path);
        std::string error;
        EXPECT_FALSE(SaveProfile(Sample(), &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    fs::remove_all(path);
    std::string error;
    EXPECT_TRUE(SaveProfile(Sample(), &error)) << error;
    EXPECT_TRUE(error.empty());
}

TEST_F(ProfileHardeningTest, NamesWithControlCharactersAreRefused) {
    for (const char* name :
         {"link\nmate", "link\rmate", "tab\there", "del\x7f", "", "..", "a/b", "a\\b"}) {
        SCOPED_TRACE(name);
        SetProfileApplicationName(name);
        std::string problem;
        EXPECT_EQ(ProfileFilePath(&problem), "");
        EXPECT_FALSE(problem.empty());
        std::string error;
        EXPECT_FALSE(SaveProfile(Sample(), &error));
        EXPECT_NE(error.find("application name"), std::string::npos) << error;
    }
    // Nothing was written anywhere under the configuration folder but the folder itself.
    EXPECT_FALSE(fs::exists(fs::path(path).parent_path() / "link\nmate.reg"));
}

TEST_F(ProfileHardeningTest, ALockHeldElsewhereIsWaitedForAtMostAWhile) {
    ASSERT_TRUE(SaveProfile(Sample()));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        // Another program takes the lock and never lets go (a stopped process).
        const int fd = ::open((path + ".lock").c_str(), O_RDWR);
        ::flock(fd, LOCK_EX);
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);

    const auto start = std::chrono::steady_clock::now();
    DeviceConfig loaded;
    LoadProfile(loaded);
    std::string error;
    const bool saved = SaveProfile(Sample(), &error);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);

    EXPECT_EQ(loaded.tran.TranIdBase, ProfileFallbackConfig().tran.TranIdBase);
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, "the profile is locked by another program");
    EXPECT_LT(elapsed, std::chrono::seconds(15));  // two bounded waits, not a hang
    // Once the holder is gone, everything works again.
    EXPECT_TRUE(SaveProfile(Sample(), &error)) << error;
}

TEST_F(ProfileHardeningTest, ASaveRemovesTheTemporariesOfSavesThatDied) {
    const fs::path dir = fs::path(path).parent_path();
    for (const char* name : {"linkmate.reg.Ab12Cd", "linkmate.reg.zzzzzz"})
        std::ofstream(dir / name) << "x";
    // Not of that pattern: kept.
    for (const char* name : {"linkmate.reg.unreadable-20260101-000000", "other.reg.Ab12Cd",
                             "linkmate.reg.Ab12C", "linkmate.reg.Ab-2Cd"}) {
        std::ofstream(dir / name) << "x";
    }
    ASSERT_TRUE(SaveProfile(Sample()));
    EXPECT_FALSE(fs::exists(dir / "linkmate.reg.Ab12Cd"));
    EXPECT_FALSE(fs::exists(dir / "linkmate.reg.zzzzzz"));
    for (const char* name : {"linkmate.reg.unreadable-20260101-000000", "other.reg.Ab12Cd",
                             "linkmate.reg.Ab12C", "linkmate.reg.Ab-2Cd", "linkmate.reg"}) {
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
}

TEST_F(ProfileHardeningTest, AFileOverOneMebibyteIsSetAsideLikeADamagedOne) {
    std::string big = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\x]\n";
    while (big.size() <= (1u << 20))
        big += "\"v" + std::to_string(big.size()) + "\"=dword:00000001\n";
    WriteBytes(big);
    DeviceConfig loaded;
    LoadProfile(loaded);
    EXPECT_EQ(loaded.can.CanID, ProfileFallbackConfig().can.CanID);
    ASSERT_TRUE(SaveProfile(Sample()));
    EXPECT_EQ(Unreadables(), 1u);
    EXPECT_LT(fs::file_size(path), 4096u);
    LoadProfile(loaded);
    EXPECT_EQ(loaded.tran.TranIdBase, 5);
}

TEST_F(ProfileHardeningTest, ReadsWhatTheRegistryEditorExports) {
    // UTF-16LE with its byte-order mark and CR LF line ends, DWORD in capitals, a comment line.
    const std::u16string text =
        u"Windows Registry Editor Version 5.00\r\n\r\n; exported\r\n"
        u"[HKEY_CURRENT_USER\\Software\\应用程序向导生成的本地应用程序\\linkmate\\LINKMATE]\r\n"
        u"\"TranIdBase\"=DWORD:00000006\r\n\"CanID\"=\"00 00 01 23\"\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    WriteBytes(bytes);
    DeviceConfig loaded;
    LoadProfile(loaded);
    EXPECT_EQ(loaded.tran.TranIdBase, 6);
    EXPECT_EQ(loaded.can.CanID, "00 00 01 23");
    // Written back as UTF-8, nothing set aside.
    ASSERT_TRUE(SaveProfile(loaded));
    EXPECT_EQ(Unreadables(), 0u);
    std::ifstream in(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    EXPECT_EQ(written.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
}

}  // namespace
}  // namespace linkmate
