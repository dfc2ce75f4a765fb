// The window's language: English (the source texts) or Simplified Chinese.
#pragma once

#include <string>

namespace linkmate {

// "en" or "zh_CN": `option` when given (from --lang), else the first of LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG that is set; a Chinese locale gives "zh_CN", anything else "en".
std::string ChooseLanguage(const std::string& option = {});

// Loads the window's translation into the running application and routes the core's phrases
// through it. Call once the application exists; a second call replaces the first.
void InstallLanguage(const std::string& language);

}  // namespace linkmate
