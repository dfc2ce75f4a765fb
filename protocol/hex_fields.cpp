#include "protocol/hex_fields.h"

#include "protocol/frame_codec.h"
#include "protocol/hex_text.h"

namespace linkmate {

std::string& HexFieldText(CanSettings& can, HexField field) {
    switch (field) {
        case HexField::kBTR0: return can.CanBTR0;
        case HexField::kBTR1: return can.CanBTR1;
        case HexField::kID: return can.CanID;
        case HexField::kAcptCode: return can.CanAcptCode;
        case HexField::kAcptCode1: return can.CanAcptCode1;
        case HexField::kAcptCode2: return can.CanAcptCode2;
        case HexField::kAcptMask: return can.CanAcptMask;
        case HexField::kAcptMask1: return can.CanAcptMask1;
        case HexField::kAcptMask2: return can.CanAcptMask2;
    }
    return can.CanID;
}

const std::string& HexFieldText(const CanSettings& can, HexField field) {
    return HexFieldText(const_cast<CanSettings&>(can), field);
}

namespace {

uint32_t AllOnes(int bytes) { return bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1; }

uint32_t Read(const CanSettings& can, HexField field) {
    return ParseHexGroups(HexFieldText(can, field), HexFieldBytes(field));
}

// The settings as the converter will report them after storing the frame built from `config`.
CanSettings RoundTrip(const DeviceConfig& config) {
    DeviceConfig back = config;
    DecodeConfigFrame(EncodeConfigFrame(config), back);
    return back.can;
}

}  // namespace

int HexFieldBytes(HexField field) {
    switch (field) {
        case HexField::kBTR0:
        case HexField::kBTR1: return 1;
        case HexField::kAcptCode1:
        case HexField::kAcptCode2:
        case HexField::kAcptMask1:
        case HexField::kAcptMask2: return 2;
        default: return 4;
    }
}

bool IsMaskField(HexField field) {
    return field == HexField::kAcptMask || field == HexField::kAcptMask1 ||
           field == HexField::kAcptMask2;
}

std::vector<HexField> HexFieldsInFrame(const CanSettings& can) {
    std::vector<HexField> fields = {HexField::kBTR0, HexField::kBTR1, HexField::kID};
    if (can.CanFiterMode != 0) {
        fields.insert(fields.end(), {HexField::kAcptCode, HexField::kAcptMask});
    } else {
        fields.insert(fields.end(), {HexField::kAcptCode1, HexField::kAcptCode2,
                                     HexField::kAcptMask1, HexField::kAcptMask2});
    }
    return fields;
}

std::optional<HexField> FirstMalformedField(const CanSettings& can) {
    for (HexField field : HexFieldsInFrame(can)) {
        if (!IsHexGroupsText(HexFieldText(can, field), HexFieldBytes(field))) return field;
    }
    return std::nullopt;
}

std::vector<HeldValue> ValuesHeldDifferently(const DeviceConfig& config) {
    const CanSettings back = RoundTrip(config);
    std::vector<HeldValue> differences;
    for (HexField field : HexFieldsInFrame(config.can)) {
        const uint32_t typed = Read(config.can, field);
        const uint32_t held = Read(back, field);
        if (typed == held) continue;
        if (IsMaskField(field)) {
            // Which bits the format keeps: an all-ones mask, sent and read back.
            DeviceConfig ones = config;
            HexFieldText(ones.can, field) = HexFieldBytes(field) == 4 ? "FF FF FF FF" : "FF FF";
            const uint32_t dropped = AllOnes(HexFieldBytes(field)) & ~Read(RoundTrip(ones), field);
            const uint32_t typedDropped = typed & dropped;
            if (typedDropped == 0 || typedDropped == dropped) continue;
        }
        differences.push_back({field, typed, held});
    }
    return differences;
}

}  // namespace linkmate
