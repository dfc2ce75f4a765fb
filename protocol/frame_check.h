// Whether a received configuration frame can be what a converter holds, and where a frame the
// converter returned differs from the frame that was written. Pure code over bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "protocol/frame_codec.h"

namespace linkmate {

// A reply the converter can have sent: header F7 F8 03 1C, the check byte right, every list index
// inside its list and both flags 00 or 01. A shifted or corrupted frame whose check byte happens
// to hold usually fails one of these.
bool IsPlausibleReply(const ConfigFrame& frame);

// One field whose bytes differ: its setting name and both values as an operator reads them.
struct FrameFieldDifference {
    std::string_view name;  // static text
    std::string wrote;
    std::string holds;
};

// Compares every byte the decoder reads (all but the command byte, bytes 5 and 6 and the check
// byte) and names each field whose bytes differ. Where the settings read the same but the bytes
// do not (mask bits below the identifier, unused identifier bits), the bytes themselves are shown.
std::vector<FrameFieldDifference> CompareHeldFrame(const ConfigFrame& written,
                                                   const ConfigFrame& held);

}  // namespace linkmate
