#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>
#include <memory>

#include "protocol/text.h"

namespace linkmate {
namespace {

std::string TranslateForCore(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

std::unique_ptr<QTranslator>& OwnTexts() {
    static std::unique_ptr<QTranslator> own;
    return own;
}

std::unique_ptr<QTranslator>& QtTexts() {
    static std::unique_ptr<QTranslator> qt;
    return qt;
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
    return chosen.rfind("zh", 0) == 0 ? "zh_CN" : "en";
}

void InstallLanguage(const std::string& language) {
    for (auto* slot : {&OwnTexts(), &QtTexts()}) {
        if (*slot) QCoreApplication::removeTranslator(slot->get());
        slot->reset(new QTranslator);
    }
    const QString name = QString::fromStdString(language);
    if (OwnTexts()->load(":/i18n/linkmate_" + name + ".qm")) {
        QCoreApplication::installTranslator(OwnTexts().get());
    }
    if (QtTexts()->load("qtbase_" + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(QtTexts().get());
    }
    text::SetTranslator(&TranslateForCore);
}

}  // namespace linkmate
