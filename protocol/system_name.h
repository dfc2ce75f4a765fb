// The operating system the program runs on, in one line for a failure report: "Linux 6.1.0-13-amd64
// (x86_64)", "Windows 10.0 build 19045".
#pragma once

#include <string>

namespace linkmate {

std::string SystemName();

}  // namespace linkmate
