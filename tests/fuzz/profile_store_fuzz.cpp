// The profile store on any file contents: load, save what was loaded, load again. Properties: the
// second load gives exactly what was saved, and the file written parses without damage.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "profile/profile_store.h"
#include "profile/reg_file.h"
#include "profile/settings_profile.h"

namespace {

const std::string& ProfilePath() {
    static const std::string path = [] {
        std::string dir = (std::filesystem::temp_directory_path() / "profile-fuzz-XXXXXX").string();
        if (mkdtemp(dir.data()) == nullptr) abort();
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        linkmate::SetProfileRegistryKey(linkmate::kProfileRegistryKey);
        linkmate::SetProfileApplicationName("fuzz");
        std::filesystem::create_directories(
            std::filesystem::path(linkmate::ProfileFilePath()).parent_path());
        return linkmate::ProfileFilePath();
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace linkmate;
    const std::string& path = ProfilePath();
    const std::filesystem::path dir = std::filesystem::path(path).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().find(".unreadable-") != std::string::npos) {
            std::filesystem::remove(entry.path());
        }
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    DeviceConfig loaded;
    LoadProfile(loaded);
    if (!SaveProfile(loaded)) __builtin_trap();
    DeviceConfig again;
    LoadProfile(again);
    if (!(again == loaded)) __builtin_trap();

    std::ifstream in(path, std::ios::binary);
    std::stringstream written;
    written << in.rdbuf();
    if (RegDocument::Parse(written.str()).damaged()) __builtin_trap();
    return 0;
}
