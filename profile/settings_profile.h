// The 22 persisted settings in the profile's section "LINKMATE".
#pragma once

#include <string>
#include <string_view>

#include "profile/reg_file.h"
#include "protocol/device_config.h"

namespace linkmate {

inline constexpr std::string_view kProfileSection = "LINKMATE";

// Reads every persisted value into the groups; a missing or unreadable value takes its fallback.
// Nothing is range-checked or normalised: an index a list lacks simply selects nothing. A load
// writes nothing: a missing profile stays missing until a save.
void LoadProfile(SerialSettings& serial, CanSettings& can, TranSettings& tran,
                 ConnectionSettings& connection);
void LoadProfile(DeviceConfig& config);

// Writes the 22 values as they stand, in one commit. CanCustomMask and the dual-filter halves
// are not persisted. False when the profile could not be written, with the reason in `error`.
bool SaveProfile(const SerialSettings& serial, const CanSettings& can, const TranSettings& tran,
                 const ConnectionSettings& connection, std::string* error = nullptr);
bool SaveProfile(const DeviceConfig& config, std::string* error = nullptr);

// The 22 values of `config` as the current application's profile in the registry's export format
// (HKEY_CURRENT_USER\Software\<registry key>\<application>\LINKMATE), the form in which a profile
// moves between systems: into regedit, or into the profile file of another machine.
RegDocument ProfileDocument(const DeviceConfig& config);

}  // namespace linkmate
