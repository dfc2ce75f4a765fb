// What the benchmarks share: the median of their runs and a configuration folder of their own.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace linkmate::bench {

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Points XDG_CONFIG_HOME at a new, empty folder in the temporary folder, so that a benchmark never
// reads or changes the user's profile and port map. The folder, or empty when it cannot be made.
inline std::string UsePrivateConfigHome(const std::string& name) {
    std::string home = (std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string();
    if (::mkdtemp(home.data()) == nullptr) return std::string();
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    return home;
}

}  // namespace linkmate::bench
