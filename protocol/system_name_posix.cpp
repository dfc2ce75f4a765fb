#include <sys/utsname.h>

#include "protocol/system_name.h"

namespace linkmate {

std::string SystemName() {
    utsname name{};
    if (uname(&name) != 0) return "POSIX";
    return std::string(name.sysname) + " " + name.release + " (" + name.machine + ")";
}

}  // namespace linkmate
