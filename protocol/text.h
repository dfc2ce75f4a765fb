// The phrases the tools show pass through here, so that the window can show them in the
// operator's language: it installs a translator; the command-line tool and the virtual converter
// keep the English source texts. Placeholders %1, %2, ... take the values that vary.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace linkmate::text {

using Translator = std::string (*)(const char* context, const char* source);

// Set once at start-up, before any other thread runs.
void SetTranslator(Translator translator);

std::string translate(const char* context, const char* source);

// `pattern` with each %N (N = 1 .. 99, the longest number written) replaced by the N-th of
// `values`, in one pass over `pattern`: a value goes in as it is, so a path or a device's name that
// holds "%3" is never taken for a marker. "%%" is one "%"; a marker without a value, and a "%"
// followed by anything else ("50 %"), stay as written. Translated texts may place the markers in
// any order.
std::string Arg(std::string_view pattern, std::initializer_list<std::string> values);

// `value` kept on one line inside a message, in any language: its blanks become no-break spaces
// and its hyphens no-break hyphens ("1F 0F 00 00", "Ternix-B").
std::string Unbroken(std::string_view value);

// `message` with every occurrence of `value` kept on one line as above.
std::string KeepUnbroken(std::string message, std::string_view value);

}  // namespace linkmate::text
