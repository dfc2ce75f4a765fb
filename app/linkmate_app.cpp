#include "app/linkmate_app.h"

#include <QApplication>
#include <QStyleFactory>

#include "app/language.h"
#include "app/linkmate_sheet.h"
#include "profile/profile_store.h"
#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {

int CLINKMATEApp::InitInstance(int argc, char** argv, const StartChoice& choice) {
    QApplication app(argc, argv);
    // The classic look of the platform the tool was designed for.
    if (QStyle* classic = QStyleFactory::create("Windows")) QApplication::setStyle(classic);
    res::InitResources();
    InstallLanguage(ChooseLanguage(choice.language));

    const std::string name = ApplicationNameFromPath(argc > 0 ? argv[0] : "linkmate");
    QCoreApplication::setApplicationName(QString::fromStdString(name));
    QCoreApplication::setApplicationVersion("2.0.0.1");
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName(name);

    CLINKMATESheet sheet(IDS_SHEET_CAPTION, nullptr, 0);
    sheet.SetStartChoice(choice);
    sheet.DoModal();
    return 0;
}

}  // namespace linkmate
