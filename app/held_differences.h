// The fields a converter holds otherwise than they were written, told in the pages' words: the
// page, the label beside the field, and both values as the page would show them.
#pragma once

#include <string>
#include <vector>

#include "protocol/device_config.h"
#include "protocol/frame_check.h"
#include "protocol/frame_codec.h"

namespace linkmate {

// One line per difference, in the window's language.
std::vector<std::string> DescribeHeldDifferences(
    const DeviceConfig& wrote, const ConfigFrame& held,
    const std::vector<FrameFieldDifference>& differences);

}  // namespace linkmate
