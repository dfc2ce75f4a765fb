// SaveProfile of all 22 values and LoadProfile, median of repeated runs on the disk of the
// current directory. Prints "name: value unit" lines.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "profile/profile_store.h"
#include "profile/settings_profile.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    using namespace linkmate;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    std::string dir = (std::filesystem::current_path() / "profile-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) return 1;
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName("linkmate-bench");

    DeviceConfig config;
    std::vector<double> saves, loads;
    for (int i = 0; i < runs; ++i) {
        config.tran.TranSpace = i;
        auto start = Clock::now();
        SaveProfile(config);
        saves.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        DeviceConfig loaded;
        start = Clock::now();
        LoadProfile(loaded);
        loads.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (loaded.tran.TranSpace != i) {
            std::fprintf(stderr, "profile lost a value\n");
            return 1;
        }
    }
    std::printf("runs: %d\n", runs);
    std::printf("save_profile_median: %.3f ms\n", Median(saves));
    std::printf("load_profile_median: %.3f ms\n", Median(loads));
    std::filesystem::remove_all(dir);
    return 0;
}
