// Where the window's configuration files go: a name suggested from the model and the date, the
// ".reg" extension added to a name typed without one, and the folder used last, remembered in the
// profile beside (not among) the settings.
#pragma once

#include <ctime>
#include <string>

namespace linkmate {

inline constexpr const char* kConfigFileExtension = "reg";

// "Ternix-A-2026-12-07.reg" for `model` on the local date of `when`.
std::string SuggestedConfigFileName(const std::string& model, std::time_t when);

// `path` with ".reg" added when its file name has no extension.
std::string WithConfigFileExtension(const std::string& path);

// The folder a configuration file was last saved to or opened from; the home folder before that,
// or when the folder is gone.
std::string LastConfigFolder();
// Remembers the folder of `path`; false when the profile could not be written.
bool RememberConfigFolder(const std::string& path);

}  // namespace linkmate
