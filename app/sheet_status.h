// The facts the status line under the command buttons states: the port and the device behind it,
// the model and its bit rate, where the values on the pages come from, and the latest event
// (progress, a failure's diagnosis, a rule that replaced a typed value).
#pragma once

#include <cstdint>
#include <string>

namespace linkmate {

enum class PagesOrigin {
    kProfile,   // loaded from the profile at start-up
    kDefaults,  // the factory values put there by Default
    kRead,      // read from the converter
    kWritten,   // written to the converter
    kFile,      // opened from a configuration file
};

struct SheetStatus {
    bool connected = false;
    std::string port;    // "COM3"
    std::string device;  // "/dev/ttyUSB0", empty when unknown
    std::string deviceDescription;
    std::string model;  // "Ternix-A"
    uint32_t bitRate = 0;

    PagesOrigin origin = PagesOrigin::kProfile;
    std::string originDetail;  // the time (read, written, profile saved) or the file's name
    bool editedSince = false;

    std::string event;  // the latest event's one line; empty: none
};

// Two lines: the connection and the pages' origin; then the event, when there is one.
std::string FormatStatus(const SheetStatus& status);

// Two sentences in a row: a blank between them, but none after a full-width mark ("。", "；"),
// which carries its own space in Chinese text; either may be empty.
std::string JoinSentences(const std::string& first, const std::string& second);
// The lines of `text` joined so into one.
std::string OneLine(const std::string& text);

}  // namespace linkmate
