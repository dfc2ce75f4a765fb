// Entries of every drop-down list, in list order. A setting that is a list index points into
// the list of the same name; the windows fill their lists from here.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The window translates the entries that are words (context "lists"); its translation tools find
// them by this mark, which leaves the text as it is. The core never includes Qt.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace linkmate::lists {

inline constexpr std::array<std::string_view, 10> SerialBaudrate = {
    "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200"};
inline constexpr std::array<std::string_view, 4> SerialParity = {
    QT_TRANSLATE_NOOP("lists", "No parity"), QT_TRANSLATE_NOOP("lists", "Even"),
    QT_TRANSLATE_NOOP("lists", "Odd"), QT_TRANSLATE_NOOP("lists", "2 stop bits")};
inline constexpr std::array<std::string_view, 4> SerialDataBit = {"5", "6", "7", "8"};
inline constexpr std::array<std::string_view, 3> SerialStopBit = {"1", "1.5", "2"};
inline constexpr std::array<std::string_view, 3> SerialFlowCtrl = {
    "Xon/Xoff", QT_TRANSLATE_NOOP("lists", "Hardware"), QT_TRANSLATE_NOOP("lists", "None")};

inline constexpr std::array<std::string_view, 16> CanBaudrate = {
    QT_TRANSLATE_NOOP("lists", "Custom"),
    "5 K",
    "10 K",
    "20 K",
    "40 K",
    "50 K",
    "80 K",
    "100 K",
    "125 K",
    "200 K",
    "250 K",
    "400 K",
    "500 K",
    "666 K",
    "800 K",
    "1000 K"};
inline constexpr std::array<std::string_view, 2> CanFrameType = {
    QT_TRANSLATE_NOOP("lists", "Standard Frame"), QT_TRANSLATE_NOOP("lists", "Extended Frame")};
inline constexpr std::array<std::string_view, 2> CanFiterMode = {
    QT_TRANSLATE_NOOP("lists", "Dual"), QT_TRANSLATE_NOOP("lists", "Single")};

inline constexpr std::array<std::string_view, 3> TranMode = {
    QT_TRANSLATE_NOOP("lists", "Transparent"), QT_TRANSLATE_NOOP("lists", "Transparent with ID"),
    QT_TRANSLATE_NOOP("lists", "MODBUS Convert")};
inline constexpr std::array<std::string_view, 3> TranDir = {
    QT_TRANSLATE_NOOP("lists", "Dual Direction"), QT_TRANSLATE_NOOP("lists", "Serial → CAN"),
    QT_TRANSLATE_NOOP("lists", "Serial ← CAN")};

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
