// The window's texts in the operator's language. Every text the window shows passes through
// `Translate` with the context it belongs to; a text kept in a table is marked where it stands
// with TRANSLATE_NOOP, so that the translation tools find it there and `Translate` finds it later.
#pragma once

#include <string>

// Marks a text for the translation tools without translating it.
#define TRANSLATE_NOOP(context, source) source

namespace linkmate::fw {

// `source` in the language of the loaded catalogue, UTF-8; `source` itself when there is none.
std::string Translate(const char* context, const char* source);

// Loads the catalogue of `language` ("en", "zh_CN") from the translations built into the
// program, replacing the one loaded before. False when there is none for it.
bool LoadCatalogue(const std::string& language);

// The language the platform's own setting asks for ("zh_CN", "en"), where it has one (the
// Windows display language); empty where the locale's environment decides.
std::string PlatformLanguage();

}  // namespace linkmate::fw
