// linkmate-shots: takes the README's screenshots offscreen. It starts a virtual converter as COM1
// in a private configuration folder, opens the window, connects, reads, and saves a picture of
// each page (and of the About box).
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/about_dlg.h"
#include "app/language.h"
#include "app/port_map_dlg.h"
#include "app/linkmate_sheet.h"
#include "framework/message_box.h"
#include "profile/profile_store.h"
#include "res/resource.h"
#include "res/resources.h"
#include "tools/sim/virtual_converter.h"

namespace {

// Public for the screenshot: the sheet's own setup, as DoModal runs it, without the modal loop.
class ShotSheet : public linkmate::CLINKMATESheet {
public:
    ShotSheet() : CLINKMATESheet(IDS_SHEET_CAPTION, nullptr, 0) {}
    bool Init() { return OnInitDialog(); }
};

bool Save(QWidget& widget, const QString& path) {
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace linkmate;
    const QString out = argc > 1 ? argv[1] : "docs";
    std::string home = (std::filesystem::temp_directory_path() / "linkmate-shots-XXXXXX").string();
    if (mkdtemp(home.data()) == nullptr) return 1;
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
    if (QStyle* classic = QStyleFactory::create("Windows")) QApplication::setStyle(classic);
    res::InitResources();
    InstallLanguage("en");
    QCoreApplication::setApplicationName("linkmate");
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName("linkmate");
    fw::SetMessageBoxResponder([](const fw::MessageBoxCall& call) {
        std::printf("message: %s\n", call.text.c_str());
        return true;
    });

    sim::Options options;
    options.comPort = 1;
    sim::VirtualConverter converter(options);
    std::string error;
    if (!converter.Start(&error)) {
        std::fprintf(stderr, "virtual converter: %s\n", error.c_str());
        return 1;
    }

    QDir().mkpath(out);
    bool ok = true;
    {
        ShotSheet sheet;
        sheet.Init();
        sheet.show();
        sheet.m_panel.Item<QPushButton>(IDC_CONNECT)->click();
        static_cast<QPushButton*>(sheet.GetDlgItem(2))->click();  // Read
        const char* names[] = {"page-conversion.png", "page-serial.png", "page-can.png"};
        for (int page = 0; page < 3; ++page) {
            sheet.SetActivePage(page);
            QApplication::processEvents();
            ok = Save(sheet, out + "/" + names[page]) && ok;
        }
        CAboutDlg about(&sheet);
        about.show();
        QApplication::processEvents();
        ok = Save(about, out + "/about.png") && ok;
        CPortMapDlg ports(&sheet);
        ports.ports()->selectRow(0);
        ports.show();
        QApplication::processEvents();
        ok = Save(ports, out + "/ports.png") && ok;
    }
    {
        // The window in Chinese.
        InstallLanguage("zh_CN");
        ShotSheet sheet;
        sheet.Init();
        sheet.show();
        sheet.m_panel.Item<QPushButton>(IDC_CONNECT)->click();
        static_cast<QPushButton*>(sheet.GetDlgItem(2))->click();  // Read
        sheet.SetActivePage(2);
        QApplication::processEvents();
        ok = Save(sheet, out + "/page-can-zh_CN.png") && ok;
        InstallLanguage("en");
    }
    converter.Stop();
    std::filesystem::remove_all(home);
    return ok ? 0 : 1;
}
