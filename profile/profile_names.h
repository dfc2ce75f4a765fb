// The names a profile is kept under, shared by the store's backends.
#pragma once

#include <string>

namespace linkmate {

struct ProfileNames {
    std::string registryKey;
    std::string applicationName;
};

ProfileNames CurrentProfileNames();

// Why these names cannot name a profile (they become a folder, a file or registry key names and a
// key line of the export format); empty when they can.
std::string ProfileNamesProblem(const ProfileNames& names);

}  // namespace linkmate
