// Configuration files: one converter's settings (serial, CAN and conversion; not the model and
// port) in the profile's own text format, so that a profile file is a configuration file too.
// Written atomically (a temporary file beside it, then a rename), in UTF-8 on Linux and as regedit
// writes it on Windows (UTF-16LE, byte-order mark, CR LF); both forms are read everywhere.
#pragma once

#include <string>

#include "protocol/device_config.h"

namespace linkmate {

// Reads `path` into the converter settings of `config` (the model and port are left alone). A
// value the file lacks takes the profile's fallback; the dual-filter halves, when missing, come
// from the combined code and mask. False with a reason naming the file and the line or value.
bool ReadConfigFile(const std::string& path, DeviceConfig& config, std::string* error);

// The file's text, as WriteConfigFile writes it.
std::string ConfigFileText(const DeviceConfig& config);

// A symbolic link at `path` is followed and the file it points to replaced; a device, FIFO,
// socket or folder there is refused.
bool WriteConfigFile(const std::string& path, const DeviceConfig& config, std::string* error);

// Any file of the registry's export format (a configuration file, a profile), in either form, as
// regedit itself writes it and so imports it: UTF-16LE with a byte-order mark, CR LF. False, with
// the reason as ReadConfigFile gives it, when the file cannot be read whole.
bool RegFileForRegedit(const std::string& path, std::string& out, std::string* error);

}  // namespace linkmate
