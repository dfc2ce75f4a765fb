// The phrases the tools show pass through here, so that the window can show them in the
// operator's language: it installs a translator; the command-line tool and the virtual converter
// keep the English source texts. Placeholders %1, %2, ... take the values that vary.
#pragma once

#include <initializer_list>
#include <string>

namespace linkmate::text {

using Translator = std::string (*)(const char* context, const char* source);

// Set once at start-up, before any other thread runs.
void SetTranslator(Translator translator);

std::string translate(const char* context, const char* source);

// `pattern` with %1, %2, ... replaced by `values` in order.
std::string Arg(std::string pattern, std::initializer_list<std::string> values);

}  // namespace linkmate::text
