// The system's own reason for an error number (ENOENT: "No such file or directory"), in the
// language the window speaks, from the C library's translations.
#pragma once

#include <string>

namespace linkmate::text {

// Chooses the language of SystemReason ("en", "zh_CN"). False when the system has no translations
// of its reasons for it (on Debian, those of the C library in libc-l10n; no locale needs to be
// generated); the reasons are English then.
// Called on the window thread while no other thread asks for a reason.
bool SetSystemLanguage(const std::string& language);

// The reason for `error` (an errno value) in the chosen language; English before any choice.
std::string SystemReason(int error);

}  // namespace linkmate::text
