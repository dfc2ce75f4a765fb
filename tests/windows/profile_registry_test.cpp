// The profile in the registry: loads that create nothing, the 22 values and their types as reg.exe
// lists them, each fallback, a key that may only be read, names in Chinese (the program's own and
// its arguments), and both directions between regedit's files and the profile's file form. Every
// test has an application name of its own and removes its key after.
#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <map>
#include <string>

#include <sddl.h>

#include "profile/profile_store.h"
#include "profile/program_args.h"
#include "profile/reg_text.h"
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

// Runs `command` and gives what it printed (standard output and error) and its exit status.
DWORD RunProgram(std::wstring command, std::string& out) {
    out.clear();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return ~DWORD{0};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    DWORD status = ~DWORD{0};
    if (started) {
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
            out.append(buffer, n);
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        out = "could not be started: " + Narrow(command);
    }
    CloseHandle(readEnd);
    return status;
}

// What `reg query <key>` prints: "    CanBTR0    REG_SZ    3F".
std::string RegQuery(const std::wstring& key) {
    std::string out;
    RunProgram(L"reg.exe query \"HKEY_CURRENT_USER\\" + key + L"\"", out);
    return out;
}

std::wstring TempPath(const std::wstring& name) {
    wchar_t dir[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, dir);
    return dir + name;
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
    CloseHandle(file);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
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

TEST_F(RegistryProfileTest, LoadsGiveTheDefaultsAndCreateNothing) {
    DeviceConfig loaded = Edited();
    LoadProfile(loaded);
    EXPECT_EQ(ProfileReadInt("LINKMATE", "CanBaudrate", -1), -1);
    EXPECT_EQ(loaded, FallbackOverEdited());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ApplicationKey().c_str(), 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
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

TEST_F(RegistryProfileTest, ASaveKeepsItsTimeBesideTheFolderNotAmongTheSettings) {
    EXPECT_EQ(ProfileSavedTime(), 0);
    const auto before = static_cast<int64_t>(std::time(nullptr));
    ASSERT_TRUE(SaveProfile(Edited(), nullptr));
    const int64_t saved = ProfileSavedTime();
    EXPECT_GE(saved, before);
    EXPECT_LE(saved, static_cast<int64_t>(std::time(nullptr)));
    EXPECT_EQ(ListedTypes(RegQuery(SectionKey())).size(), 22u);
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

// Only reading is allowed on the section, as a policy may set it.
void SetKeyAccess(const std::wstring& path, const wchar_t* sddl) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    LocalFree(descriptor);
    RegCloseKey(key);
}

TEST_F(RegistryProfileTest, AKeyThatMayOnlyBeReadStillReadsAndASaveSaysWhy) {
    ASSERT_TRUE(SaveProfile(Edited(), nullptr));
    SetKeyAccess(SectionKey(), L"D:P(A;;KR;;;WD)");
    HKEY probe = nullptr;
    const LSTATUS writable =
        RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey().c_str(), 0, KEY_SET_VALUE, &probe);
    if (probe != nullptr) RegCloseKey(probe);

    DeviceConfig loaded;
    LoadProfile(loaded);
    std::string error;
    const bool saved = SaveProfile(ProfileFallbackConfig(), &error);
    SetKeyAccess(SectionKey(), L"D:P(A;;KA;;;WD)");  // so that TearDown can remove it

    ASSERT_EQ(writable, ERROR_ACCESS_DENIED) << "the key's security was not applied";
    DeviceConfig expected = Edited();
    expected.can.CanAcptCode1 = ProfileFallbackConfig().can.CanAcptCode1;
    EXPECT_EQ(loaded, expected);
    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("LINKMATE"), std::string::npos) << error;
}

// A copy of this program under a Chinese name runs the (otherwise disabled) test below, which
// checks its own name and an argument against the expected UTF-8.
constexpr char kChineseName[] = "配置工具";

TEST(ProgramArgsTest, DISABLED_RunByACopyUnderAChineseName) {
    ProgramArgs args(0, nullptr);
    ASSERT_GE(args.argc(), 2);
    EXPECT_EQ(std::string(args.argv()[args.argc() - 1]), "--expect=" + std::string(kChineseName));
    EXPECT_EQ(ApplicationNameFromPath(args.executable()), kChineseName) << args.executable();
    EXPECT_EQ(args.argv()[args.argc()], nullptr);
}

TEST(ProgramArgsTest, ACopyUnderAChineseName) {
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    const std::wstring copy = TempPath(Widen(kChineseName) + L".exe");
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
    std::string out;
    const DWORD status = RunProgram(L"\"" + copy +
                                        L"\" --gtest_also_run_disabled_tests "
                                        L"--gtest_filter=ProgramArgsTest.DISABLED_* --expect=" +
                                        Widen(kChineseName),
                                    out);
    DeleteFileW(copy.c_str());
    EXPECT_EQ(status, 0u) << out;
    EXPECT_NE(out.find("[  PASSED  ] 1 test"), std::string::npos) << out;
}

TEST(ProgramArgsTest, TheManifestMakesTheAnsiCodePageUtf8) {
    // Wine names itself through ntdll; a Wine that does not apply activeCodePage is said so.
    const auto wineVersion = reinterpret_cast<const char* (*)()>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    if (GetACP() != CP_UTF8 && wineVersion != nullptr) {
        GTEST_SKIP() << "Wine " << wineVersion() << " does not apply the manifest's activeCodePage";
    }
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
}

// Both directions between regedit and the profile's file form, under a Chinese application name:
// 22 values, 17 REG_DWORD and 5 REG_SZ.
class RegeditRoundTripTest : public RegistryProfileTest {
protected:
    void SetUp() override {
        RegistryProfileTest::SetUp();
        application = std::string(kChineseName) + "-" + std::to_string(GetCurrentProcessId());
        SetProfileApplicationName(application);
        RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey().c_str());
        file = TempPath(L"linkmate-" + std::to_wstring(GetCurrentProcessId()) + L".reg");
    }
    void TearDown() override {
        DeleteFileW(file.c_str());
        RegistryProfileTest::TearDown();
    }
    std::wstring file;
};

TEST_F(RegeditRoundTripTest, AnExportOfRegeditIsReadAsTheProfileFile) {
    ASSERT_TRUE(SaveProfile(Edited(), nullptr));
    std::string out;
    ASSERT_EQ(RunProgram(L"regedit.exe /E \"" + file + L"\" \"HKEY_CURRENT_USER\\" +
                             ApplicationKey() + L"\"",
                         out),
              0u)
        << out;
    const RegDocument exported = RegDocument::Parse(ReadBytes(file));
    EXPECT_FALSE(exported.damaged()) << exported.firstBadLine() << ": " << exported.firstBadText();
    const RegDocument expected = ProfileDocument(Edited());
    ASSERT_EQ(expected.keys().size(), 3u);
    const RegKey& section = expected.keys().back();
    ASSERT_EQ(section.values.size(), 22u);
    for (const auto& [name, value] : section.values) {
        const RegValue* got = exported.Find(section.path, name);
        ASSERT_NE(got, nullptr) << name << " under " << section.path;
        EXPECT_EQ(got->type, value.type) << name;
        EXPECT_EQ(got->data, value.data) << name;
    }
}

TEST_F(RegeditRoundTripTest, AFileWrittenHereIsImportedByRegedit) {
    const std::string text = PlatformRegFileText(ProfileDocument(Edited()).Serialize());
    ASSERT_EQ(text.substr(0, 2), "\xFF\xFE");  // regedit's own form, so a double-click imports it
    ASSERT_TRUE(WriteBytes(file, text));
    std::string out;
    ASSERT_EQ(RunProgram(L"regedit.exe /S \"" + file + L"\"", out), 0u) << out;
    const auto types = ListedTypes(RegQuery(SectionKey()));
    ASSERT_EQ(types.size(), 22u);
    int dwords = 0;
    for (const auto& [name, type] : types) dwords += type == "REG_DWORD";
    EXPECT_EQ(dwords, 17);
    DeviceConfig loaded;
    LoadProfile(loaded);
    DeviceConfig expected = Edited();
    expected.can.CanAcptCode1 = ProfileFallbackConfig().can.CanAcptCode1;
    EXPECT_EQ(loaded, expected);
}

}  // namespace
}  // namespace linkmate
