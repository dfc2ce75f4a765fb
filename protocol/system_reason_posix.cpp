#include <cstring>
#include <fstream>
#include <locale.h>

#include "protocol/message_catalogue.h"
#include "protocol/system_reason.h"

namespace linkmate::text {
namespace {

// The C library's own translations of its texts, as libc-l10n installs them. Read directly, they
// need no generated locale (a fresh system has none for the language).
constexpr const char* kCatalogueFolder = "/usr/share/locale/";
constexpr const char* kCatalogueFile = "/LC_MESSAGES/libc.mo";
constexpr std::streamsize kCatalogueMaxBytes = 16 << 20;

// The C locale gives the untranslated English texts, whatever the process's own locale is (the
// toolkit sets that one from the environment, which may speak another language than the window).
locale_t English() {
    static const locale_t english = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return english;
}

MessageCatalogue& Chosen() {
    static MessageCatalogue chosen;
    return chosen;
}

bool LoadCatalogue(const std::string& path, MessageCatalogue& out) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff size = file.tellg();
    if (size <= 0 || size > kCatalogueMaxBytes) return false;
    std::string bytes(static_cast<size_t>(size), '\0');
    file.seekg(0);
    if (!file.read(bytes.data(), size)) return false;
    return ParseMessageCatalogue(bytes, out);
}

}  // namespace

bool SetSystemLanguage(const std::string& language) {
    Chosen().clear();
    if (language == "en") return true;
    // Only a plain language name ("zh_CN") names a folder.
    if (language.empty() || language.find_first_of("/.") != std::string::npos) return false;
    return LoadCatalogue(kCatalogueFolder + language + kCatalogueFile, Chosen());
}

std::string SystemReason(int error) {
    const locale_t english = English();
    const std::string reason = english != static_cast<locale_t>(nullptr)
                                   ? strerror_l(error, english)
                                   : std::strerror(error);
    const auto translated = Chosen().find(reason);
    return translated != Chosen().end() ? translated->second : reason;
}

}  // namespace linkmate::text
