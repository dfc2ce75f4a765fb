// A compiled gettext message catalogue (.mo), the form in which the C library ships its
// translations (libc-l10n: /usr/share/locale/<language>/LC_MESSAGES/libc.mo). Reading it directly
// gives a translation without a generated locale for the language.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace linkmate::text {

// Source text to translation.
using MessageCatalogue = std::map<std::string, std::string, std::less<>>;

// The messages of a catalogue file's bytes (either byte order; the header's character set must be
// UTF-8, the window's). Texts with a context or plural forms are keyed by their first form, as
// written. False, with `reason` set, for bytes that are not such a catalogue; `out` is then empty.
bool ParseMessageCatalogue(std::string_view bytes, MessageCatalogue& out,
                           std::string* reason = nullptr);

}  // namespace linkmate::text
