#include <clocale>
#include <cstring>
#include <locale.h>

#include "protocol/system_reason.h"

namespace linkmate::text {
namespace {

// A locale that speaks the language's messages in UTF-8: the character set the window shows.
constexpr const char* kLocaleNames[][2] = {
    {"zh_CN", "zh_CN.UTF-8"},
    {"zh_CN", "zh_CN.utf8"},
};

// The C locale gives the untranslated English texts, whatever the process's own locale is (the
// toolkit sets that one from the environment, which may speak another language than the window).
locale_t English() {
    static const locale_t english = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return english;
}

locale_t& Chosen() {
    static locale_t chosen = static_cast<locale_t>(nullptr);
    return chosen;
}

}  // namespace

bool SetSystemLanguage(const std::string& language) {
    locale_t found = static_cast<locale_t>(nullptr);
    for (const auto& [name, localeName] : kLocaleNames) {
        if (language != name) continue;
        // LC_CTYPE too: the translation is converted to that locale's character set.
        found = newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, localeName, static_cast<locale_t>(nullptr));
        if (found != static_cast<locale_t>(nullptr)) break;
    }
    if (Chosen() != static_cast<locale_t>(nullptr)) freelocale(Chosen());
    Chosen() = found;
    return found != static_cast<locale_t>(nullptr) || language == "en";
}

std::string SystemReason(int error) {
    const locale_t locale = Chosen() != static_cast<locale_t>(nullptr) ? Chosen() : English();
    if (locale == static_cast<locale_t>(nullptr)) return std::strerror(error);
    return strerror_l(error, locale);
}

}  // namespace linkmate::text
