// The per-user profile: values kept under (registry key, application name, section, key), each an
// integer or a text. On Windows this is HKEY_CURRENT_USER\Software\<registry key>\<application>;
// elsewhere a file in the registry's export format under the user's configuration folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace linkmate {

// The registry key the application's profile lives under, set once at start-up.
inline constexpr std::string_view kProfileRegistryKey = "应用程序向导生成的本地应用程序";

void SetProfileRegistryKey(std::string_view registryKey);
void SetProfileApplicationName(std::string_view applicationName);
std::string ProfileApplicationName();

// The executable's file name without directory and extension: "/usr/bin/linkmate" -> "linkmate".
std::string ApplicationNameFromPath(std::string_view executablePath);

// Where the profile lives: its file, or on Windows the registry key above the section. Empty when
// there is no per-user folder or a name is refused, and then `problem` (when given) says why.
std::string ProfileFilePath(std::string* problem = nullptr);

// When the settings were last saved, as seconds since the epoch; 0 when they never were. A file
// tells by its date; the registry keeps the time in a value of the Files section, which
// MarkProfileSaved writes with a save.
int64_t ProfileSavedTime();
class ProfileTransaction;
void MarkProfileSaved(ProfileTransaction& transaction);

// Each primitive opens the store afresh. A read returns `defaultValue` when the value is missing,
// unreadable or of the wrong form, or when the store cannot be opened (also when another program
// holds it locked for more than two seconds); it never creates or changes anything. A write
// returns false when the store could not be written.
int32_t ProfileReadInt(std::string_view section, std::string_view key, int32_t defaultValue);
std::string ProfileReadText(std::string_view section, std::string_view key,
                            std::string_view defaultValue);
bool ProfileWriteInt(std::string_view section, std::string_view key, int32_t value);
bool ProfileWriteText(std::string_view section, std::string_view key, std::string_view value);

// What a transaction may do. A reading one opens the store for reading only (a profile the user
// may read but not change still reads), creates nothing (no folder, lock file or key) and never
// writes; its Commit of any write fails.
enum class ProfileAccess { kRead, kReadWrite };

// Several reads and writes as one read-modify-write under the store's lock, committed at once:
// other processes see all of the writes or none of them. (The registry has no such commit: there
// the writes are stored one by one at Commit, and a failure part-way is reported.) Reads never
// create a missing section: only a write does.
class ProfileTransaction {
public:
    explicit ProfileTransaction(ProfileAccess access = ProfileAccess::kReadWrite);
    ~ProfileTransaction();
    ProfileTransaction(const ProfileTransaction&) = delete;
    ProfileTransaction& operator=(const ProfileTransaction&) = delete;

    int32_t ReadInt(std::string_view section, std::string_view key, int32_t defaultValue);
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view defaultValue);
    void WriteInt(std::string_view section, std::string_view key, int32_t value);
    void WriteText(std::string_view section, std::string_view key, std::string_view value);

    // Writes the store when anything changed; true when nothing needed writing or the write
    // succeeded.
    bool Commit();
    // Why the store could not be written (or read): a folder or file the system refused, with its
    // reason, or "the profile is locked by another program" when another holder kept the lock
    // for longer than two seconds. Empty while nothing went wrong.
    const std::string& Error() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace linkmate
