#include "app/config_file_place.h"

#include <cstdlib>
#include <filesystem>

#include "profile/profile_store.h"

namespace linkmate {
namespace {

// A section of its own beside the settings' "LINKMATE", so the settings stay the 22 values.
constexpr const char* kFilesSection = "Files";
constexpr const char* kLastFolderKey = "LastFolder";

}  // namespace

std::string SuggestedConfigFileName(const std::string& model, std::time_t when) {
    char date[16];
    // The window thread is the only caller, so the shared result of localtime is safe.
    std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&when));
    return model + "-" + date + "." + kConfigFileExtension;
}

std::string WithConfigFileExtension(const std::string& path) {
    if (path.empty() || std::filesystem::path(path).has_extension()) return path;
    return path + "." + kConfigFileExtension;
}

std::string LastConfigFolder() {
    const std::string folder = ProfileReadText(kFilesSection, kLastFolderKey, "");
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_directory(folder, error)) return folder;
    for (const char* name : {"HOME", "USERPROFILE"}) {
        if (const char* home = std::getenv(name); home != nullptr && *home != '\0') return home;
    }
    return {};
}

bool RememberConfigFolder(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty() || folder == ProfileReadText(kFilesSection, kLastFolderKey, "")) return true;
    return ProfileWriteText(kFilesSection, kLastFolderKey, folder);
}

}  // namespace linkmate
