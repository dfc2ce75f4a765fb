// The parts of the profile store that every backend shares: the names it is kept under and the
// four single-value primitives.
#include "profile/profile_store.h"

#include <algorithm>
#include <mutex>

#include "profile/profile_names.h"
#include "protocol/text.h"

namespace linkmate {
namespace {

std::mutex g_namesMutex;
std::string g_registryKey;
std::string g_applicationName;

// Names that would leave their folder or key, or break a key line.
bool Unsafe(const std::string& name) {
    return name.empty() || name == "." || name == ".." ||
           name.find_first_of("/\\") != std::string::npos ||
           std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

void SetProfileRegistryKey(std::string_view registryKey) {
    std::lock_guard lock(g_namesMutex);
    g_registryKey = registryKey;
}

void SetProfileApplicationName(std::string_view applicationName) {
    std::lock_guard lock(g_namesMutex);
    g_applicationName = applicationName;
}

std::string ProfileApplicationName() {
    std::lock_guard lock(g_namesMutex);
    return g_applicationName;
}

ProfileNames CurrentProfileNames() {
    std::lock_guard lock(g_namesMutex);
    return {g_registryKey, g_applicationName};
}

std::string ProfileNamesProblem(const ProfileNames& names) {
    if (Unsafe(names.registryKey))
        return text::translate("Profile", "the registry key name cannot name a folder");
    if (Unsafe(names.applicationName)) {
        return text::translate("Profile",
                               "the application name cannot name a profile file (empty, \".\", "
                               "\"..\", a slash or a control character)");
    }
    return std::string();
}

std::string ApplicationNameFromPath(std::string_view executablePath) {
    const size_t slash = executablePath.find_last_of("/\\");
    if (slash != std::string_view::npos) executablePath.remove_prefix(slash + 1);
    const size_t dot = executablePath.rfind('.');
    if (dot != std::string_view::npos && dot != 0) executablePath = executablePath.substr(0, dot);
    return std::string(executablePath);
}

int32_t ProfileReadInt(std::string_view section, std::string_view key, int32_t defaultValue) {
    ProfileTransaction transaction(ProfileAccess::kRead);
    return transaction.ReadInt(section, key, defaultValue);
}

std::string ProfileReadText(std::string_view section, std::string_view key,
                            std::string_view defaultValue) {
    ProfileTransaction transaction(ProfileAccess::kRead);
    return transaction.ReadText(section, key, defaultValue);
}

bool ProfileWriteInt(std::string_view section, std::string_view key, int32_t value) {
    ProfileTransaction transaction;
    transaction.WriteInt(section, key, value);
    return transaction.Commit();
}

bool ProfileWriteText(std::string_view section, std::string_view key, std::string_view value) {
    ProfileTransaction transaction;
    transaction.WriteText(section, key, value);
    return transaction.Commit();
}

}  // namespace linkmate
