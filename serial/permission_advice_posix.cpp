#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "serial/permission_advice.h"
#include "serial/port_map.h"

namespace linkmate {

bool ReadDeviceAccess(const std::string& path, DeviceAccess* access) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    access->mode = st.st_mode & 07777;
    access->groupId = st.st_gid;
    const passwd* user = ::getpwuid(st.st_uid);
    access->owner = user != nullptr ? user->pw_name : std::to_string(st.st_uid);
    const group* g = ::getgrgid(st.st_gid);
    access->group = g != nullptr ? g->gr_name : std::to_string(st.st_gid);
    std::error_code error;
    const auto real = std::filesystem::canonical(path, error);
    if (error) return true;
    access->kernelName = real.filename().string();
    for (const SerialDevice& d : DetectSerialDevices()) {
        if (std::filesystem::canonical(d.path, error) == real && !error)
            access->vendorId = d.vendorId;
    }
    return true;
}

}  // namespace linkmate
