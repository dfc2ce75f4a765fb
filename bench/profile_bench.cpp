// SaveProfile of all 22 values and LoadProfile, median of repeated runs on the disk of the
// current directory; then LoadProfile of a profile file of 1 MiB (the largest that is read) in
// three shapes: many keys, many values in one key, one long continued hex value. Prints
// "name: value unit" lines.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kLargestProfile = 1 << 20;

// A file of just under 1 MiB: `header`, then `item(i)` for i = 0, 1, ... while it fits.
template <typename Item>
std::string Fill(std::string text, Item item) {
    for (size_t i = 0;; ++i) {
        const std::string next = item(i);
        if (text.size() + next.size() > kLargestProfile) return text;
        text += next;
    }
}

double LoadMs(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    linkmate::DeviceConfig loaded;
    const auto start = Clock::now();
    linkmate::LoadProfile(loaded);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
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
    std::printf("save_profile_median: %.3f ms\n", linkmate::bench::Median(saves));
    std::printf("load_profile_median: %.3f ms\n", linkmate::bench::Median(loads));

    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    const std::string section = "[HKEY_CURRENT_USER\\Software\\" +
                                std::string(kProfileRegistryKey) + "\\linkmate-bench\\LINKMATE]\n";
    const struct {
        const char* name;
        std::string content;
    } shapes[] = {
        {"many_keys", Fill(header,
                           [](size_t i) {
                               return "[HKEY_CURRENT_USER\\Software\\k" + std::to_string(i) +
                                      "]\n\"v\"=dword:00000001\n";
                           })},
        {"many_values",
         Fill(header + section,
              [](size_t i) { return "\"Value" + std::to_string(i) + "\"=dword:00000001\n"; })},
        {"continued_hex", Fill(header + section + "\"Blob\"=hex:00",
                               [](size_t) {
                                   return std::string(
                                       ",01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,"
                                       "14,15,16,17,\\\n  ");
                               }) +
                              "ff\n"},
    };
    for (const auto& shape : shapes) {
        std::vector<double> times;
        for (int i = 0; i < 5; ++i) times.push_back(LoadMs(ProfileFilePath(), shape.content));
        std::printf("load_profile_1mib_%s: %.2f ms (%zu bytes; target < 50 ms)\n", shape.name,
                    linkmate::bench::Median(times), shape.content.size());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
