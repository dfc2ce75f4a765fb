#include "protocol/device_config.h"

namespace linkmate {

void ApplyBaudPreset(CanSettings& can) {
    if (can.CanBaudrate <= 0 || can.CanBaudrate >= static_cast<int32_t>(CanBaudPresets.size())) {
        return;
    }
    const CanBaudPreset& preset = CanBaudPresets[static_cast<size_t>(can.CanBaudrate)];
    can.CanBTR0 = preset.btr0;
    can.CanBTR1 = preset.btr1;
}

void ApplyMaskRule(CanSettings& can) {
    if (can.CanCustomMask == 0) {
        can.CanAcptMask = "00 00 00 00";
        can.CanAcptMask1 = "00 00";
        can.CanAcptMask2 = "00 00";
    } else {
        can.CanAcptMask = "FF FF FF FF";
        can.CanAcptMask1 = "FF FF";
        can.CanAcptMask2 = "FF FF";
    }
}

void ApplyDefaults(SerialSettings& serial, CanSettings& can, TranSettings& tran) {
    serial = SerialSettings{};

    can.CanBaudrate = 10;
    can.CanBTR0 = "00";
    can.CanBTR1 = "14";
    can.CanFrameType = 0;
    can.CanFiterMode = 1;
    can.CanCustomMask = 1;
    can.CanID = "00 00 00 00";
    can.CanAcptCode = "00 00 00 00";
    can.CanAcptMask = "FF FF FF FF";

    tran = TranSettings{};
}

void ApplyDefaults(DeviceConfig& config) { ApplyDefaults(config.serial, config.can, config.tran); }

DeviceConfig ProfileFallbackConfig() {
    DeviceConfig config;
    config.can.CanBTR0 = "00";
    config.can.CanBTR1 = "14";
    return config;
}

}  // namespace linkmate
