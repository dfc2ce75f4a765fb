// Entries of every drop-down list, in list order. A setting that is a list index points into
// the list of the same name; the windows fill their lists from here.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace linkmate::lists {

inline constexpr std::array<std::string_view, 10> SerialBaudrate = {
    "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200"};
inline constexpr std::array<std::string_view, 4> SerialParity = {"No parity", "Even", "Odd",
                                                                 "2 stop bits"};
inline constexpr std::array<std::string_view, 4> SerialDataBit = {"5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 3> SerialStopBit = {"1", "1.5", "2"};
inline constexpr std::array<std::string_view, 3> SerialFlowCtrl = {"Xon/Xoff", "Hardware", "None"};

inline constexpr std::array<std::string_view, 16> CanBaudrate = {
    "Custom", "5 K",   "10 K",  "20 K",  "40 K",  "50 K",  "80 K",  "100 K",
    "125 K",  "200 K", "250 K", "400 K", "500 K", "666 K", "800 K", "1000 K"};
inline constexpr std::array<std::string_view, 2> CanFrameType = {"Standard Frame",
                                                                 "Extended Frame"};
inline constexpr std::array<std::string_view, 2> CanFiterMode = {"Dual", "Single"};

inline constexpr std::array<std::string_view, 3> TranMode = {"Transparent", "Transparent with ID",
                                                             "MODBUS Convert"};
inline constexpr std::array<std::string_view, 3> TranDir = {"Dual Direction", "Serial → CAN",
                                                            "Serial ← CAN"};

inline constexpr std::array<std::string_view, 2> DeviceType = {"Ternix-A", "Ternix-B"};
inline constexpr std::array<std::string_view, 8> ConfigPort = {"COM1", "COM2", "COM3", "COM4",
                                                               "COM5", "COM6", "COM7", "COM8"};

// The text of entry `index`, or an empty view when the list has no such entry.
template <size_t N>
constexpr std::string_view EntryOrEmpty(const std::array<std::string_view, N>& list,
                                        int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < N ? list[static_cast<size_t>(index)]
                                                        : std::string_view{};
}

}  // namespace linkmate::lists
