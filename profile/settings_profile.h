// The 22 persisted settings in the profile's section "LINKMATE".
#pragma once

#include <string>
#include <string_view>

#include "protocol/device_config.h"

namespace linkmate {

inline constexpr std::string_view kProfileSection = "LINKMATE";

// Reads every persisted value into the groups; a missing or unreadable value takes its fallback.
// Nothing is range-checked or normalised: an index a list lacks simply selects nothing.
void LoadProfile(SerialSettings& serial, CanSettings& can, TranSettings& tran,
                 ConnectionSettings& connection);
void LoadProfile(DeviceConfig& config);

// Writes the 22 values as they stand, in one commit. CanCustomMask and the dual-filter halves
// are not persisted. False when the profile could not be written, with the reason in `error`.
bool SaveProfile(const SerialSettings& serial, const CanSettings& can, const TranSettings& tran,
                 const ConnectionSettings& connection, std::string* error = nullptr);
bool SaveProfile(const DeviceConfig& config, std::string* error = nullptr);

}  // namespace linkmate
