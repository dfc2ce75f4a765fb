// The converter's configuration as the tool holds it: four groups, each owned at run time by the
// window that shows it (serial, CAN and conversion pages, connection panel).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace linkmate {

// Serial data port of the converter. Every field is an index into the list of the same name in
// config_lists.h; a value outside its list is kept as it is and simply selects nothing.
struct SerialSettings {
    int32_t SerialBaudrate = 4;  // "9600"
    int32_t SerialParity = 0;    // "No parity"
    int32_t SerialDataBit = 3;   // "8"; not carried by the frame (always 8)
    int32_t SerialStopBit = 0;   // "1"; not carried by the frame (always 1)
    int32_t SerialFlowCtrl = 2;  // "None"; not carried by the frame
    bool operator==(const SerialSettings&) const = default;
};

// CAN side. Identifiers, codes, masks and timing bytes are hex text as typed or as produced by
// FormatHex*; they are parsed only when a frame is built.
struct CanSettings {
    int32_t CanBaudrate = 10;  // "250 K"
    std::string CanBTR0;
    std::string CanBTR1;
    int32_t CanFrameType = 0;  // 0 standard (11-bit), otherwise extended (29-bit)
    int32_t CanFiterMode = 1;  // 0 dual, otherwise single
    int32_t CanCustomMask = 0;
    std::string CanID = "00 00 00 00";
    std::string CanAcptCode = "00 00 00 00";
    std::string CanAcptMask = "FF FF FF FF";
    std::string CanAcptCode1 = "00 00";
    std::string CanAcptCode2 = "00 00";
    std::string CanAcptMask1 = "FF FF";
    std::string CanAcptMask2 = "FF FF";
    bool operator==(const CanSettings&) const = default;
};

// Conversion rules between the serial frames and the CAN frames. Counts are taken as typed; the
// frame carries their low 8 bits.
struct TranSettings {
    int32_t TranMode = 0;  // "Transparent"; carried as index + 1
    int32_t TranDir = 0;   // "Dual Direction"
    int32_t TranSpace = 2;
    int32_t TranID = 0;
    int32_t TranInfo = 0;
    int32_t TranIdBase = 0;
    int32_t TranLength = 1;
    bool operator==(const TranSettings&) const = default;
};

// Which converter and which COM port the configuration link uses. Never in the frame.
struct ConnectionSettings {
    int32_t DeviceType = 0;  // "Ternix-A"
    int32_t ConfigPort = 0;  // "COM1"
    bool operator==(const ConnectionSettings&) const = default;
};

// Default-constructed, a DeviceConfig holds the values the tool starts with.
struct DeviceConfig {
    SerialSettings serial;
    CanSettings can;
    TranSettings tran;
    ConnectionSettings connection;
    bool operator==(const DeviceConfig&) const = default;
};

struct CanBaudPreset {
    std::string_view btr0;
    std::string_view btr1;
};

// Bus-timing register pairs (SJA1000 layout, 16 MHz controller clock) indexed by CanBaudrate.
// Row 0 is "Custom": its blanks are never applied.
inline constexpr std::array<CanBaudPreset, 16> CanBaudPresets = {{
    {"  ", "  "},
    {"BF", "FF"},
    {"31", "1C"},
    {"18", "1C"},
    {"87", "FF"},
    {"09", "1C"},
    {"83", "FF"},
    {"04", "1C"},
    {"03", "1C"},
    {"81", "FA"},
    {"01", "1C"},
    {"80", "FA"},
    {"00", "1C"},
    {"80", "B6"},
    {"00", "16"},
    {"00", "14"},
}};

// For a CanBaudrate other than 0 ("Custom") sets the BTR texts to the preset pair. An index the
// table lacks is treated like "Custom": the texts stay as they are.
void ApplyBaudPreset(CanSettings& can);

// With CanCustomMask 0 the masks are held at zero, otherwise they start from all ones. A typed
// mask is replaced either way; the acceptance codes are left alone.
void ApplyMaskRule(CanSettings& can);

// The factory values of the Default command for the serial, CAN and conversion groups. The
// dual-filter code and mask halves and the connection group are not touched.
void ApplyDefaults(SerialSettings& serial, CanSettings& can, TranSettings& tran);
void ApplyDefaults(DeviceConfig& config);

// The value each persisted field takes when the profile does not hold it. Fields that are not
// persisted keep their construction values.
DeviceConfig ProfileFallbackConfig();

}  // namespace linkmate
