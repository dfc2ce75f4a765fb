// Configuration files: one converter's settings (serial, CAN and conversion; not the model and
// port) in the profile's own text format, so that a profile file is a configuration file too.
// Written atomically (a temporary file beside it, then a rename), in UTF-8 on Linux and as regedit
// writes it on Windows (UTF-16LE, byte-order mark, CR LF); both forms are read everywhere.
#pragma once

#include <string>
#include <vector>

#include "protocol/device_config.h"
#include "protocol/settings_table.h"

namespace linkmate {

// Which keys a configuration file must have.
enum class ConfigFileKeys {
    kAny,      // a setting the file lacks takes the profile's fallback; other keys are ignored
    kAll,      // every setting the converter holds (RequiredInFile), and no other key but the
               // profile's model and port: a file that says what a converter is to hold
    kPresent,  // any of the settings, and no other key; `present` names those the file has
};

// Reads `path` ("-": standard input; otherwise a regular file) into the converter settings of
// `config` (the model and port are left alone). Every value is checked as `set` checks it (its
// type, a list index in its list, a number in its range, hex text of its width); with kAll and
// kPresent, the settings the converter does not keep must hold what it always uses. The
// dual-filter halves, when missing, come from the combined code and mask. False with a reason
// naming the file and the line, what is wrong and what is allowed; `config` is then unchanged.
bool ReadConfigFile(const std::string& path, DeviceConfig& config, std::string* error,
                    ConfigFileKeys keys = ConfigFileKeys::kAny,
                    std::vector<const Setting*>* present = nullptr);

// The file's text, as WriteConfigFile writes it.
std::string ConfigFileText(const DeviceConfig& config);

// A symbolic link at `path` is followed and the file it points to replaced; a device, FIFO,
// socket or folder there is refused.
bool WriteConfigFile(const std::string& path, const DeviceConfig& config, std::string* error);

// Any file of the registry's export format (a configuration file, a profile), in either form, as
// regedit itself writes it and so imports it: UTF-16LE with a byte-order mark, CR LF. False, with
// the reason as ReadConfigFile gives it, when the file cannot be read whole or holds no settings.
bool RegFileForRegedit(const std::string& path, std::string& out, std::string* error);

}  // namespace linkmate
