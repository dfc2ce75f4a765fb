// What the production line asks of the platform: the device behind a name, and the terminal the
// progress is drawn on.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace linkmate::cli {

// The device `path` opens, links followed, so that two names of one device compare equal; empty
// when there is no such device.
std::string CanonicalDevice(const std::string& path);

// The size of the terminal `out` writes to; false when it is not a terminal that the table can be
// redrawn on in place.
bool TerminalSize(std::FILE* out, size_t& columns, size_t& rows);

}  // namespace linkmate::cli
