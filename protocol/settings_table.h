// The converter's settings by name, as the profile and configuration files name them: how each is
// held (a list entry, hex text, a number), what it may take, and setting one from text the way an
// operator writes it. CanFilterMode is accepted for CanFiterMode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/device_config.h"

namespace linkmate {

enum class SettingKind { kList, kHex, kNumber };

struct Setting {
    std::string_view name;
    SettingKind kind;
    int32_t* (*number)(DeviceConfig&);      // kList and kNumber
    std::string* (*text)(DeviceConfig&);    // kHex
    std::vector<std::string_view> entries;  // kList: the list's texts, index 0 first
    int bytes = 0;                          // kHex: 1, 2 or 4
    int32_t low = 0, high = 0;              // kNumber: the allowed range
};

// The serial, CAN and conversion settings, in the order the files and the tool list them (the
// dual-filter halves included; the model and port are not settings of the converter).
const std::vector<Setting>& ConverterSettings();
const Setting* FindSetting(std::string_view name);
std::string SettingNames();  // "SerialBaudrate, SerialParity, ..."

// Sets `setting` from `value`: a list takes its index or its text as the window shows it (case
// and blanks ignored: "250K", "250 k" and "10" are the same), a hex setting its text (hex byte
// groups for its width), a number a whole decimal number in its range. False with a message that
// lists what is allowed.
bool SetSetting(DeviceConfig& config, const Setting& setting, std::string_view value,
                std::string* error);

// Why the converter cannot keep `setting` at `value`, or empty. Its frame has no room for the
// data bits, stop bits and flow control: it always works with 8 data bits, 1 stop bit and no flow
// control, so any other choice would be reported written and never be held.
std::string NotKeptByConverter(const Setting& setting, int32_t value);

// The settings a file must name to say what a converter holds: every setting but the three the
// frame does not carry and the dual-filter halves (a file may give those as the combined texts).
bool RequiredInFile(const Setting& setting);

// "10 (250 K)", "\"00 00 07 FF\"", "4".
std::string SettingText(DeviceConfig& config, const Setting& setting);

struct SettingDifference {
    std::string_view name;
    std::string first;
    std::string second;
};
// The settings the converter holds (those a frame carries) that differ between `a` and `b`, as
// numbers for hex text (so "7ff" and "07 FF" in one byte group compare by value).
std::vector<SettingDifference> FrameSettingDifferences(const DeviceConfig& a,
                                                       const DeviceConfig& b);

}  // namespace linkmate
