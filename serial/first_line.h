// The first line of a small text file (sysfs attributes, the port map's owner records).
#pragma once

#include <filesystem>
#include <string>

namespace linkmate {

// Without trailing blanks and carriage return; empty when the file cannot be read.
std::string ReadFirstLine(const std::filesystem::path& path);

}  // namespace linkmate
