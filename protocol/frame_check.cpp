#include "protocol/frame_check.h"

#include <algorithm>

#include "protocol/config_lists.h"
#include "protocol/exchange_trace.h"
#include "protocol/settings_table.h"
#include "protocol/text.h"

namespace linkmate {
namespace {

// Frame offsets of the fields that carry a list index or a flag, with how many values they take.
struct IndexByte {
    size_t offset;
    int count;    // values 0..count-1 are plausible
    int offset1;  // what the frame adds to the index (TranMode is carried as index + 1)
};

// Byte 4 is N - SerialBaudrate, so 1..N are the list's entries.
constexpr IndexByte kIndexBytes[] = {
    {7, static_cast<int>(lists::SerialParity.size()), 0},
    {8, static_cast<int>(lists::CanBaudrate.size()), 0},
    {11, static_cast<int>(lists::CanFiterMode.size()), 0},
    {20, static_cast<int>(lists::TranMode.size()), 1},
    {21, static_cast<int>(lists::TranDir.size()), 0},
    {23, 2, 0},  // TranInfo, a flag
    {24, 2, 0},  // TranID, a flag
};

// The decoder reads these bytes; each range belongs to one setting (named by filter mode where
// the acceptance registers hold one 4-byte value or two halves).
struct FieldBytes {
    size_t first;
    size_t last;
    const char* single;  // the setting's name in single-filter mode
    const char* dual;    // in dual-filter mode, when it differs
};

constexpr FieldBytes kFields[] = {
    {0, 1, "header", nullptr},
    {3, 3, "length", nullptr},
    {4, 4, "SerialBaudrate", nullptr},
    {7, 7, "SerialParity", nullptr},
    {8, 8, "CanBaudrate", nullptr},
    {9, 9, "CanBTR0", nullptr},
    {10, 10, "CanBTR1", nullptr},
    {11, 11, "CanFiterMode", nullptr},
    {12, 13, "CanAcptCode", "CanAcptCode2"},
    {14, 15, "CanAcptCode", "CanAcptCode1"},
    {16, 17, "CanAcptMask", "CanAcptMask2"},
    {18, 19, "CanAcptMask", "CanAcptMask1"},
    {20, 20, "TranMode", nullptr},
    {21, 21, "TranDir", nullptr},
    {22, 22, "TranSpace", nullptr},
    {23, 23, "TranInfo", nullptr},
    {24, 24, "TranID", nullptr},
    {25, 25, "CanFrameType", nullptr},
    {26, 29, "CanID", nullptr},
    {30, 30, "TranLength", nullptr},
    {31, 31, "TranIdBase", nullptr},
};

std::string Bytes(const ConfigFrame& frame, size_t first, size_t last) {
    return HexBytes(std::vector<uint8_t>(frame.begin() + static_cast<long>(first),
                                         frame.begin() + static_cast<long>(last) + 1));
}

// The setting's value as the window and the files show it; list entries in the operator's language.
std::string ValueText(DeviceConfig& config, const Setting& setting) {
    if (setting.kind != SettingKind::kList) return SettingText(config, setting);
    const int32_t value = *setting.number(config);
    if (value < 0 || static_cast<size_t>(value) >= setting.entries.size())
        return std::to_string(value);
    const std::string entry(setting.entries[static_cast<size_t>(value)]);
    return std::to_string(value) + " (" + text::translate("lists", entry.c_str()) + ")";
}

}  // namespace

bool IsPlausibleReply(const ConfigFrame& frame) {
    if (frame[0] != kHeader0 || frame[1] != kHeader1 || frame[2] != kCmdReadConfig ||
        frame[3] != kConfigDataLength) {
        return false;
    }
    if (XorCheck(frame.data(), kConfigFrameSize - 1) != frame[32]) return false;
    const int baudCode = frame[4];
    if (baudCode < 1 || baudCode > static_cast<int>(lists::SerialBaudrate.size())) return false;
    return std::all_of(std::begin(kIndexBytes), std::end(kIndexBytes), [&](const IndexByte& b) {
        const int index = frame[b.offset] - b.offset1;
        return index >= 0 && index < b.count;
    });
}

std::vector<FrameFieldDifference> CompareHeldFrame(const ConfigFrame& written,
                                                   const ConfigFrame& held) {
    DeviceConfig wrote, holds;
    ConfigFrame readable = written;  // decoded as a reply, whatever its command and check byte
    readable[32] = XorCheck(readable.data(), kConfigFrameSize - 1);
    DecodeConfigFrame(readable, wrote);
    ConfigFrame heldReadable = held;
    heldReadable[32] = XorCheck(heldReadable.data(), kConfigFrameSize - 1);
    DecodeConfigFrame(heldReadable, holds);
    const bool dual = written[11] == 0;

    std::vector<FrameFieldDifference> out;
    for (const FieldBytes& f : kFields) {
        if (std::equal(written.begin() + static_cast<long>(f.first),
                       written.begin() + static_cast<long>(f.last) + 1,
                       held.begin() + static_cast<long>(f.first))) {
            continue;
        }
        const std::string_view name = dual && f.dual != nullptr ? f.dual : f.single;
        // Both halves of a single-filter register belong to one setting: name it once.
        if (!out.empty() && out.back().name == name) continue;
        const size_t first = !dual && f.dual != nullptr ? f.first & ~size_t{3} : f.first;
        const size_t last = !dual && f.dual != nullptr ? first + 3 : f.last;
        const std::string rawWrote = Bytes(written, first, last);
        const std::string rawHolds = Bytes(held, first, last);
        const Setting* setting = FindSetting(name);
        if (setting == nullptr) {
            out.push_back({name, rawWrote, rawHolds});  // header and length bytes
            continue;
        }
        std::string a = ValueText(wrote, *setting);
        std::string b = ValueText(holds, *setting);
        if (a == b) {
            // The same setting, other bits: those bits still decide what the converter does.
            a += " [" + rawWrote + "]";
            b += " [" + rawHolds + "]";
        }
        out.push_back({name, a, b});
    }
    return out;
}

}  // namespace linkmate
