// The profile on disk: first start, round trips, fallbacks, damaged files, and saves that are
// killed or race with another process.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "profile/profile_store.h"
#include "profile/reg_file.h"
#include "profile/settings_profile.h"
#include "pty_harness.h"

namespace linkmate {
namespace {

namespace fs = std::filesystem;
using testing::TempConfigHome;

constexpr const char* kSectionKey =
    "HKEY_CURRENT_USER\\Software\\应用程序向导生成的本地应用程序\\linkmate\\LINKMATE";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetProfileRegistryKey(kProfileRegistryKey);
        SetProfileApplicationName("linkmate");
    }
    RegDocument ReadFile() const {
        std::ifstream in(ProfileFilePath());
        std::stringstream text;
        text << in.rdbuf();
        return RegDocument::Parse(text.str());
    }
    void WriteFile(const std::string& text) const {
        fs::create_directories(fs::path(ProfileFilePath()).parent_path());
        std::ofstream(ProfileFilePath()) << text;
    }

    TempConfigHome home;
};

DeviceConfig Edited(int variant) {
    DeviceConfig c;
    c.serial = {variant, 3 - variant % 4, 1, 2, 0};
    c.can.CanBaudrate = variant;
    c.can.CanBTR0 = "  3f";
    c.can.CanBTR1 = "C0 \\ \"x\"";
    c.can.CanFrameType = 1;
    c.can.CanFiterMode = 0;
    c.can.CanID = "1f ff ff ff 00 11";
    c.can.CanAcptCode = "12 34 56 78";
    c.can.CanAcptMask = "关于 " + std::to_string(variant);
    c.can.CanAcptCode1 = "AA AA";  // not persisted
    c.can.CanCustomMask = 1;       // not persisted
    c.tran = {2, 1, 300 + variant, 1, 1, -7, 4};
    c.connection = {1, 7};
    return c;
}

void ExpectPersistedEqual(const DeviceConfig& a, const DeviceConfig& b) {
    EXPECT_EQ(a.serial.SerialBaudrate, b.serial.SerialBaudrate);
    EXPECT_EQ(a.serial.SerialParity, b.serial.SerialParity);
    EXPECT_EQ(a.serial.SerialDataBit, b.serial.SerialDataBit);
    EXPECT_EQ(a.serial.SerialStopBit, b.serial.SerialStopBit);
    EXPECT_EQ(a.serial.SerialFlowCtrl, b.serial.SerialFlowCtrl);
    EXPECT_EQ(a.can.CanBaudrate, b.can.CanBaudrate);
    EXPECT_EQ(a.can.CanBTR0, b.can.CanBTR0);
    EXPECT_EQ(a.can.CanBTR1, b.can.CanBTR1);
    EXPECT_EQ(a.can.CanFrameType, b.can.CanFrameType);
    EXPECT_EQ(a.can.CanFiterMode, b.can.CanFiterMode);
    EXPECT_EQ(a.can.CanID, b.can.CanID);
    EXPECT_EQ(a.can.CanAcptCode, b.can.CanAcptCode);
    EXPECT_EQ(a.can.CanAcptMask, b.can.CanAcptMask);
    EXPECT_EQ(a.tran.TranMode, b.tran.TranMode);
    EXPECT_EQ(a.tran.TranDir, b.tran.TranDir);
    EXPECT_EQ(a.tran.TranSpace, b.tran.TranSpace);
    EXPECT_EQ(a.tran.TranID, b.tran.TranID);
    EXPECT_EQ(a.tran.TranInfo, b.tran.TranInfo);
    EXPECT_EQ(a.tran.TranIdBase, b.tran.TranIdBase);
    EXPECT_EQ(a.tran.TranLength, b.tran.TranLength);
    EXPECT_EQ(a.connection.DeviceType, b.connection.DeviceType);
    EXPECT_EQ(a.connection.ConfigPort, b.connection.ConfigPort);
}

TEST_F(ProfileTest, LoadsGiveTheFallbacksAndNeverWrite) {
    EXPECT_EQ(ProfileFilePath(), home.path() + "/应用程序向导生成的本地应用程序/linkmate.reg");
    DeviceConfig loaded = Edited(1);
    LoadProfile(loaded);
    EXPECT_EQ(ProfileReadInt("LINKMATE", "CanBaudrate", -1), -1);
    ExpectPersistedEqual(loaded, ProfileFallbackConfig());
    EXPECT_EQ(loaded.can.CanAcptCode1, "AA AA");  // not the profile's to touch
    // Not even the folder or the lock file.
    EXPECT_TRUE(fs::is_empty(home.path()));

    // A profile of another section only, as large as is read: left byte for byte as it was.
    std::string other =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\x]\n";
    while (other.size() < (1u << 20) - 64)
        other += "\"v" + std::to_string(other.size()) + "\"=dword:1\n";
    WriteFile(other);
    const auto written = fs::last_write_time(ProfileFilePath());
    for (int i = 0; i < 2; ++i) LoadProfile(loaded);
    EXPECT_EQ(fs::file_size(ProfileFilePath()), other.size());
    EXPECT_EQ(fs::last_write_time(ProfileFilePath()), written);
    EXPECT_FALSE(ReadFile().damaged());
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(ProfileFilePath()).parent_path()),
                            fs::directory_iterator()),
              1);  // nothing set aside, no lock file
}

TEST_F(ProfileTest, SaveThenLoadKeepsTheTwentyTwoValuesExactly) {
    const DeviceConfig saved = Edited(5);
    SaveProfile(saved);

    const RegDocument doc = ReadFile();
    const RegKey* section = doc.FindKey(kSectionKey);
    ASSERT_NE(section, nullptr);
    ASSERT_EQ(section->values.size(), 22u);
    int dwords = 0, texts = 0;
    for (const auto& [name, value] : section->values) {
        if (value.type == kRegDword && value.data.size() == 4) ++dwords;
        if (value.type == kRegSz) ++texts;
        EXPECT_NE(name, "CanFilterMode");
    }
    EXPECT_EQ(dwords, 17);
    EXPECT_EQ(texts, 5);
    EXPECT_EQ(section->values[4].first, "CanFiterMode");
    EXPECT_EQ(section->values[0].first, "CanBaudrate");
    EXPECT_EQ(section->values[21].first, "ConfigPort");

    DeviceConfig loaded;
    LoadProfile(loaded);
    ExpectPersistedEqual(loaded, saved);
    EXPECT_EQ(loaded.can.CanAcptCode1, "00 00");
    EXPECT_EQ(loaded.can.CanCustomMask, 0);
}

TEST_F(ProfileTest, BadValuesFallBackOneByOne) {
    SaveProfile(Edited(2));
    {
        ProfileTransaction edit;
        edit.WriteText("LINKMATE", "TranSpace", "abc");  // a text under an integer key: 4 bytes
        edit.WriteInt("LINKMATE", "CanID", 7);           // an integer under a text key
        ASSERT_TRUE(edit.Commit());
    }
    std::string text;
    {
        std::ifstream in(ProfileFilePath());
        std::stringstream all;
        all << in.rdbuf();
        text = all.str();
    }
    // Delete one value, widen one to 8 bytes, narrow one to 2.
    const auto replace = [&](const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    };
    replace("\"SerialParity\"=dword:00000001\n", "");
    replace("\"TranDir\"=dword:00000001", "\"TranDir\"=hex(b):01,00,00,00,00,00,00,00");
    replace("\"TranLength\"=dword:00000004", "\"TranLength\"=hex(4):04,00");
    WriteFile(text);

    DeviceConfig loaded;
    LoadProfile(loaded);
    const DeviceConfig fallback = ProfileFallbackConfig();
    EXPECT_EQ(loaded.serial.SerialParity, fallback.serial.SerialParity);
    EXPECT_EQ(loaded.tran.TranDir, fallback.tran.TranDir);
    EXPECT_EQ(loaded.tran.TranLength, fallback.tran.TranLength);
    EXPECT_EQ(loaded.tran.TranSpace, fallback.tran.TranSpace);
    EXPECT_EQ(loaded.can.CanID, fallback.can.CanID);
    // Everything else as saved.
    EXPECT_EQ(loaded.serial.SerialBaudrate, 2);
    EXPECT_EQ(loaded.tran.TranIdBase, -7);
    EXPECT_EQ(loaded.can.CanAcptMask, "关于 2");
}

TEST_F(ProfileTest, AnotherApplicationNameStartsFromTheDefaults) {
    SaveProfile(Edited(3));
    SetProfileApplicationName(ApplicationNameFromPath("/opt/bin/linkmate-copy.bin"));
    EXPECT_EQ(ProfileApplicationName(), "linkmate-copy");
    DeviceConfig loaded = Edited(4);
    LoadProfile(loaded);
    ExpectPersistedEqual(loaded, ProfileFallbackConfig());
    SetProfileApplicationName("linkmate");
    LoadProfile(loaded);
    ExpectPersistedEqual(loaded, Edited(3));
}

TEST_F(ProfileTest, PrimitivesReadWhatTheyWrote) {
    EXPECT_EQ(ProfileReadInt("Other", "Missing", -5), -5);
    EXPECT_EQ(ProfileReadText("Other", "Missing", "dflt"), "dflt");
    EXPECT_TRUE(ProfileWriteInt("Other", "Number", INT32_MIN));
    EXPECT_TRUE(ProfileWriteText("Other", "Text", "x\\\"y"));
    EXPECT_EQ(ProfileReadInt("other", "number", 0), INT32_MIN);  // names ignore case
    EXPECT_EQ(ProfileReadText("Other", "Text", ""), "x\\\"y");
}

TEST_F(ProfileTest, UnusableStoreGivesDefaultsAndWritesNothing) {
    ::setenv("XDG_CONFIG_HOME", "/proc/linkmate-cannot-exist", 1);
    EXPECT_EQ(ProfileReadInt("LINKMATE", "CanBaudrate", 10), 10);
    EXPECT_FALSE(ProfileWriteInt("LINKMATE", "CanBaudrate", 3));
    DeviceConfig loaded = Edited(1);
    LoadProfile(loaded);
    ExpectPersistedEqual(loaded, ProfileFallbackConfig());
    SaveProfile(Edited(1));  // silently nothing
}

TEST_F(ProfileTest, AProfileThatCannotBeReadIsNeitherWaitedOnNorReplaced) {
    fs::create_directories(fs::path(ProfileFilePath()).parent_path());
    ASSERT_EQ(::mkfifo(ProfileFilePath().c_str(), 0600), 0);  // would block a plain open
    EXPECT_EQ(ProfileReadInt("LINKMATE", "CanBaudrate", 10), 10);
    EXPECT_FALSE(ProfileWriteInt("LINKMATE", "CanBaudrate", 3));
    EXPECT_TRUE(fs::is_fifo(ProfileFilePath()));
}

TEST_F(ProfileTest, CorruptFileIsKeptAsideAndReadableValuesSurvive) {
    WriteFile(
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Software\\应用程序向导生成的本地应用程序\\linkmate\\LINKMATE]\n"
        "\"CanBaudrate\"=dword:00000007\n"
        "\"SerialBaudrate\"=dword:zz\n"
        "\x01\x02 binary junk \xFF\n"
        "\"CanID\"=\"00 00 01 23\"\n");
    DeviceConfig loaded;
    LoadProfile(loaded);
    EXPECT_EQ(loaded.can.CanBaudrate, 7);
    EXPECT_EQ(loaded.serial.SerialBaudrate, ProfileFallbackConfig().serial.SerialBaudrate);
    EXPECT_EQ(loaded.can.CanID, "00 00 01 23");

    size_t kept = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(ProfileFilePath()).parent_path())) {
        if (entry.path().filename().string().find("linkmate.reg.unreadable-") == 0) ++kept;
    }
    EXPECT_EQ(kept, 0u);  // the load found the section and wrote nothing

    SaveProfile(Edited(6));
    for (const auto& entry : fs::directory_iterator(fs::path(ProfileFilePath()).parent_path())) {
        if (entry.path().filename().string().find("linkmate.reg.unreadable-") == 0) {
            ++kept;
            std::ifstream in(entry.path());
            std::stringstream old;
            old << in.rdbuf();
            EXPECT_NE(old.str().find("binary junk"), std::string::npos);
        }
    }
    EXPECT_EQ(kept, 1u);
    EXPECT_FALSE(ReadFile().damaged());
    DeviceConfig after;
    LoadProfile(after);
    ExpectPersistedEqual(after, Edited(6));
}

TEST_F(ProfileTest, SaveKilledAtAnyMomentLeavesAWholeProfile) {
    SaveProfile(Edited(0));
    std::mt19937 random(12345);
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) SaveProfile(Edited(i % 2));
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(200, 8000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        ASSERT_FALSE(ReadFile().damaged()) << "round " << round;
        DeviceConfig loaded;
        LoadProfile(loaded);
        // One save or the other, never a mixture.
        const int variant = loaded.serial.SerialBaudrate;
        ASSERT_TRUE(variant == 0 || variant == 1) << variant;
        ExpectPersistedEqual(loaded, Edited(variant));
    }
}

TEST_F(ProfileTest, ConcurrentSavesLoseNothingOfEachOther) {
    constexpr int kWrites = 40;
    pid_t children[2];
    for (int who = 0; who < 2; ++who) {
        children[who] = ::fork();
        ASSERT_GE(children[who], 0);
        if (children[who] == 0) {
            for (int i = 0; i < kWrites; ++i) {
                ProfileWriteInt("Race", (who == 0 ? "A" : "B") + std::to_string(i), i);
                if (who == 1 && i % 8 == 0) SaveProfile(Edited(i));
            }
            ::_exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(ProfileReadInt("Race", "A" + std::to_string(i), -1), i);
        EXPECT_EQ(ProfileReadInt("Race", "B" + std::to_string(i), -1), i);
    }
    DeviceConfig loaded;
    LoadProfile(loaded);
    ExpectPersistedEqual(loaded, Edited(32));
}

}  // namespace
}  // namespace linkmate
