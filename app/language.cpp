#include "app/language.h"

#include <cstdlib>

#include "framework/translate.h"
#include "protocol/system_reason.h"
#include "protocol/text.h"

namespace linkmate {
namespace {

std::string TranslateForCore(const char* context, const char* source) {
    return fw::Translate(context, source);
}

}  // namespace

std::string ChooseLanguage(const std::string& option) {
    std::string chosen = option;
    if (chosen.empty()) {
        for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(variable);
            if (value != nullptr && value[0] != '\0') {
                chosen = value;
                break;
            }
        }
    }
    if (chosen.empty()) chosen = fw::PlatformLanguage();
    return chosen.rfind("zh", 0) == 0 ? "zh_CN" : "en";
}

void InstallLanguage(const std::string& language) {
    fw::LoadCatalogue(language);
    text::SetTranslator(&TranslateForCore);
    // Without the system's locale for the language its reasons stay English; the rest is ours.
    text::SetSystemLanguage(language);
}

}  // namespace linkmate
