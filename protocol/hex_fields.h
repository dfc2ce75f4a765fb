// The hexadecimal fields of the CAN settings seen from the frame: which of them a frame carries,
// whether their text reads as what it says, and what the converter will hold for each.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/device_config.h"

namespace linkmate {

enum class HexField {
    kBTR0,
    kBTR1,
    kID,
    kAcptCode,
    kAcptCode1,
    kAcptCode2,
    kAcptMask,
    kAcptMask1,
    kAcptMask2,
};

// Bytes the field stands for: 1 (timing), 2 (dual-filter halves) or 4.
int HexFieldBytes(HexField field);
bool IsMaskField(HexField field);
const std::string& HexFieldText(const CanSettings& can, HexField field);
std::string& HexFieldText(CanSettings& can, HexField field);

// The fields a frame built from `can` reads: the timing bytes, the identifier, and the single or
// the dual filter's code and mask, by the filter mode.
std::vector<HexField> HexFieldsInFrame(const CanSettings& can);

// The first field the frame reads whose text is not hex byte groups for its width.
std::optional<HexField> FirstMalformedField(const CanSettings& can);

struct HeldValue {
    HexField field;
    uint32_t typed;  // the text read as the field's number
    uint32_t held;   // what the converter gets, as a read-back would show it
};

// The fields whose value the converter will not hold as typed: the frame is built, decoded again,
// and each field compared. The frame format keeps 11 identifier bits for standard frames and 29
// for extended ones; for the identifier and the acceptance codes every dropped bit counts. For
// the masks a dropped part that is all zeros or all ones means "compare none" or "compare all" of
// bits that are not there, and does not count.
std::vector<HeldValue> ValuesHeldDifferently(const DeviceConfig& config);

}  // namespace linkmate
