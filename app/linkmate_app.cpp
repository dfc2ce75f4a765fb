#include "app/linkmate_app.h"

#include "app/language.h"
#include "app/linkmate_sheet.h"
#include "framework/application.h"
#include "profile/profile_store.h"
#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {

int CLINKMATEApp::InitInstance(int argc, char** argv, const StartChoice& choice) {
    const std::string name = ApplicationNameFromPath(argc > 0 ? argv[0] : "linkmate");
    const fw::Application app(argv, name, "2.0.0.1");
    InstallLanguage(ChooseLanguage(choice.language));
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName(name);

    CLINKMATESheet sheet(IDS_SHEET_CAPTION, nullptr, 0);
    sheet.SetStartChoice(choice);
    sheet.DoModal();
    return 0;
}

}  // namespace linkmate
