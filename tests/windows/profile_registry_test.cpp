// The profile in the registry: first start, the 22 values and their types as reg.exe lists them,
// and each fallback. Every test has an application name of its own and removes its key after.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "protocol/win32_text.h"
#include "sample_configs.h"

namespace linkmate {
namespace {

const std::wstring kSoftware = L"Software";

class RegistryProfileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        application = std::string("linkmate-test-") + info->name() + "-" +
                      std::to_string(GetCurrentProcessId());
        SetProfileRegistryKey(kProfileRegistryKey);
        SetProfileApplicationName(application);
        RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey().c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey().c_str()); }

    std::wstring ApplicationKey() const {
        return kSoftware + L"\\" + Widen(kProfileRegistryKey) + L"\\" + Widen(application);
    }
    std::wstring SectionKey() const { return ApplicationKey() + L"\\" + Widen(kProfileSection); }

    bool SectionExists() const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey().c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) const {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SectionKey().c_str(), name, type, data, size),
                  ERROR_SUCCESS);
    }
    void DeleteValue(const wchar_t* name) const {
        ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, SectionKey().c_str(), name), ERROR_SUCCESS);
    }

    std::string application;
};

// What `reg query <key>` prints, through a pipe: "    CanBTR0    REG_SZ    3F".
std::string RegQuery(const std::wstring& key) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "no pipe";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring command = L"reg.exe query \"HKEY_CURRENT_USER\\" + key + L"\"";
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string out;
    if (started) {
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
            out.append(buffer, n);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        out = "reg.exe could not be started";
    }
    CloseHandle(readEnd);
    return out;
}

// Value name -> type word of reg.exe's listing.
std::map<std::string, std::string> ListedTypes(const std::string& listing) {
    std::map<std::string, std::string> types;
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos) end = listing.size();
        const std::string line = listing.substr(start, end - start);
        start = end + 1;
        const size_t type = line.find("REG_");
        if (line.rfind("    ", 0) != 0 || type == std::string::npos) continue;
        const size_t nameEnd = line.find_last_not_of(' ', type - 1);
        const size_t typeEnd = line.find(' ', type);
        types[line.substr(4, nameEnd - 3)] = line.substr(type, typeEnd - type);
    }
    return types;
}

DeviceConfig Edited() {
    DeviceConfig c = testing::SingleExtendedExample();
    c.can.CanAcptMask = "关于 -1";  // kept as typed, whatever it is
    c.can.CanAcptCode1 = "AA AA";   // not persisted
    c.connection = {1, 5};
    return c;
}

// What a load over Edited() gives when every persisted value falls back: the one field that is not
// persisted stays as it was.
DeviceConfig FallbackOverEdited() {
    DeviceConfig expected = ProfileFallbackConfig();
    expected.can.CanAcptCode1 = Edited().can.CanAcptCode1;
    return expected;
}

TEST_F(RegistryProfileTest, FirstStartGivesTheDefaultsAndLeavesTheEmptySectionBehind) {
    DeviceConfig loaded = Edited();
    LoadProfile(loaded);
    EXPECT_EQ(loaded, FallbackOverEdited());
    EXPECT_TRUE(SectionExists());
    EXPECT_EQ(ListedTypes(RegQuery(SectionKey())).size(), 0u);
}

TEST_F(RegistryProfileTest, SaveWritesSeventeenDwordsAndFiveTextsUnderTheChineseKey) {
    std::string error;
    ASSERT_TRUE(SaveProfile(Edited(), &error)) << error;
    const std::string listing = RegQuery(SectionKey());
    const auto types = ListedTypes(listing);
    ASSERT_EQ(types.size(), 22u) << listing;
    int dwords = 0;
    for (const auto& [name, type] : types) {
        const bool text = name == "CanBTR0" || name == "CanBTR1" || name == "CanID" ||
                          name == "CanAcptCode" || name == "CanAcptMask";
        EXPECT_EQ(type, text ? "REG_SZ" : "REG_DWORD") << name;
        dwords += type == "REG_DWORD";
    }
    EXPECT_EQ(dwords, 17);
    EXPECT_EQ(types.count("CanFiterMode"), 1u);
    EXPECT_NE(listing.find("0xc"), std::string::npos) << listing;  // CanBaudrate 12

    DeviceConfig loaded;
    LoadProfile(loaded);
    DeviceConfig expected = Edited();
    expected.can.CanAcptCode1 = ProfileFallbackConfig().can.CanAcptCode1;  // halves are not kept
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(ProfileFilePath(), "HKEY_CURRENT_USER\\Software\\" +
                                     std::string(kProfileRegistryKey) + "\\" + application);
}

TEST_F(RegistryProfileTest, EachValueFallsBackAloneWhenMissingOrOfTheWrongForm) {
    ASSERT_TRUE(SaveProfile(Edited(), nullptr));
    const DeviceConfig defaults = ProfileFallbackConfig();

    DeleteValue(L"CanBaudrate");
    const uint64_t eightBytes = 3;
    SetRaw(L"TranSpace", REG_QWORD, &eightBytes, sizeof eightBytes);  // more than 4 bytes
    const uint16_t twoBytes = 1;
    SetRaw(L"TranLength", REG_BINARY, &twoBytes, sizeof twoBytes);  // fewer than 4
    const wchar_t number[] = L"9";
    SetRaw(L"SerialParity", REG_SZ, number, sizeof number);  // a text under an integer key
    const DWORD one = 1;
    SetRaw(L"CanID", REG_DWORD, &one, sizeof one);  // an integer under a text key
    const uint32_t asBinary = 3;
    SetRaw(L"DeviceType", REG_BINARY, &asBinary, sizeof asBinary);  // four bytes of another type

    DeviceConfig loaded;
    LoadProfile(loaded);
    DeviceConfig expected = Edited();
    expected.can.CanAcptCode1 = defaults.can.CanAcptCode1;
    expected.can.CanBaudrate = defaults.can.CanBaudrate;
    expected.tran.TranSpace = defaults.tran.TranSpace;
    expected.tran.TranLength = defaults.tran.TranLength;
    expected.serial.SerialParity = defaults.serial.SerialParity;
    expected.can.CanID = defaults.can.CanID;
    expected.connection.DeviceType = 3;
    EXPECT_EQ(loaded, expected);
}

TEST_F(RegistryProfileTest, AnotherApplicationNameStartsFromTheDefaults) {
    ASSERT_TRUE(SaveProfile(Edited(), nullptr));
    SetProfileApplicationName(application + "-copy");
    DeviceConfig loaded = Edited();
    LoadProfile(loaded);
    RegDeleteTreeW(HKEY_CURRENT_USER, (ApplicationKey() + L"-copy").c_str());
    EXPECT_EQ(loaded, FallbackOverEdited());
}

TEST_F(RegistryProfileTest, ANameThatCannotBeAKeyIsRefusedWithItsReason) {
    SetProfileApplicationName("a\\b");
    std::string error;
    EXPECT_FALSE(SaveProfile(Edited(), &error));
    EXPECT_NE(error.find("application name"), std::string::npos) << error;
    DeviceConfig loaded = Edited();
    LoadProfile(loaded);
    EXPECT_EQ(loaded, FallbackOverEdited());
    EXPECT_EQ(RegQuery(kSoftware + L"\\" + Widen(kProfileRegistryKey) + L"\\a").find("REG_"),
              std::string::npos);
}

TEST_F(RegistryProfileTest, SinglePrimitivesReadTheirOwnWritesAndReportSuccess) {
    EXPECT_TRUE(ProfileWriteInt("Other", "Count", -2));
    EXPECT_TRUE(ProfileWriteText("Other", "Name", "COM3 线路"));
    EXPECT_EQ(ProfileReadInt("Other", "Count", 0), -2);
    EXPECT_EQ(ProfileReadText("Other", "Name", ""), "COM3 线路");
    EXPECT_EQ(ProfileReadInt("Other", "Missing", 42), 42);
    ProfileTransaction transaction;
    transaction.WriteInt("Other", "Count", 5);
    EXPECT_EQ(transaction.ReadInt("Other", "count", 0), 5);  // names without regard to case
    EXPECT_EQ(ProfileReadInt("Other", "Count", 0), -2);      // not stored before the commit
    EXPECT_TRUE(transaction.Commit());
    EXPECT_EQ(ProfileReadInt("Other", "Count", 0), 5);
}

}  // namespace
}  // namespace linkmate
