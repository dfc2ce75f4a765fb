#include <system_error>

#include "protocol/system_reason.h"

namespace linkmate::text {

// Windows' C library has no per-call locale for its error texts: they stay English.
bool SetSystemLanguage(const std::string& language) { return language == "en"; }

std::string SystemReason(int error) { return std::generic_category().message(error); }

}  // namespace linkmate::text
