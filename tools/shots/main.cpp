// linkmate-shots: takes the README's screenshots offscreen. It starts a virtual converter as COM1
// in a private configuration folder, opens the window, connects, reads, and saves a picture of
// each page (and of the About box).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/about_dlg.h"
#include "app/find_converter_dlg.h"
#include "app/language.h"
#include "app/port_map_dlg.h"
#include "app/linkmate_sheet.h"
#include "framework/application.h"
#include "framework/message_box.h"
#include "framework/qt/qt_access.h"
#include "profile/profile_store.h"
#include "res/resource.h"
#include "res/resources.h"
#include "serial/com_port_names.h"
#include "tools/sim/virtual_converter.h"

namespace {

// Public for the screenshot: the sheet's own setup, as DoModal runs it, without the modal loop.
class ShotSheet : public linkmate::CLINKMATESheet {
public:
    ShotSheet() : CLINKMATESheet(IDS_SHEET_CAPTION, nullptr, 0) {}
    bool Init() { return OnInitDialog(); }
};

// The whole widget, or the strip of it from `fromY` (pixels) down.
bool Save(QWidget* widget, const QString& path, int fromY = 0) {
    const bool ok =
        widget != nullptr &&
        widget->grab(QRect(0, fromY, widget->width(), widget->height() - fromY)).save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

bool Save(const linkmate::fw::CWnd& window, const QString& path, int fromY = 0) {
    return Save(linkmate::fw::qt::WidgetOf(window), path, fromY);
}

// The box `call` shows, with its details open when it has any.
bool SaveMessageBox(const linkmate::fw::MessageBoxCall& call, QWidget* owner, const QString& path) {
    const auto box = linkmate::fw::qt::CreateMessageBox(call, owner);
    box->show();
    if (auto* toggle = box->findChild<QPushButton*>("toggleDetails")) toggle->click();
    QApplication::processEvents();
    return Save(box.get(), path);
}

// Messages are printed, not shown.
void PrintMessages() {
    linkmate::fw::SetMessageBoxResponder([](const linkmate::fw::MessageBoxCall& call) {
        std::printf("message: %s\n", call.text.c_str());
        return true;
    });
}

// Runs `action` and keeps the last message box it shows.
template <typename Action>
std::optional<linkmate::fw::MessageBoxCall> LastMessage(Action action) {
    std::optional<linkmate::fw::MessageBoxCall> shown;
    linkmate::fw::SetMessageBoxResponder([&](const linkmate::fw::MessageBoxCall& call) {
        shown = call;
        return true;
    });
    action();
    PrintMessages();
    return shown;
}

// Runs the exchange the button `id` starts, to its end.
void RunToEnd(ShotSheet& sheet, int id) {
    sheet.GetDlgItem(id).Click();
    while (sheet.IsExchanging()) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A dialog as its modal run set it up, made ready to be taken: the Ports list with its first row
// chosen, the search of Find converter ended, the dialog shown.
void ReadyForShot(linkmate::fw::CDialog& dialog) {
    if (auto* ports = dynamic_cast<linkmate::CPortMapDlg*>(&dialog))
        ports->Item<linkmate::fw::ListView>(IDC_PORTS_LIST).SetCurSel(0);
    auto* find = dynamic_cast<linkmate::CFindConverterDlg*>(&dialog);
    while (find != nullptr && find->IsSearching())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    dialog.ShowWindow(true);
    QApplication::processEvents();
}

// Every window and box the operator meets, in `language`, into `out` as <language>-<name>.png:
// the pages, each dialog, the boxes of a failed read, a failed verify, a silent converter of the
// other model and a refused port, the event log, and a mask the rule replaced. For reading every
// text in its place; not the README's pictures.
bool AllShots(const QString& out, const std::string& language,
              linkmate::sim::VirtualConverter& converter) {
    using namespace linkmate;
    InstallLanguage(language);
    const QString prefix = out + "/" + QString::fromStdString(language) + "-";
    bool ok = true;
    const auto box = [&](const std::optional<fw::MessageBoxCall>& call, QWidget* owner,
                         const char* name) {
        if (!call) std::printf("FAILED no box for %s\n", name);
        ok = call && SaveMessageBox(*call, owner, prefix + name + ".png") && ok;
    };
    ShotSheet sheet;
    sheet.Init();
    sheet.ShowWindow(true);
    QWidget* window = fw::qt::WidgetOf(sheet);
    sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();
    RunToEnd(sheet, 2);  // Read
    const char* pages[] = {"page-conversion", "page-serial", "page-can"};
    for (int page = 0; page < 3; ++page) {
        sheet.SetActivePage(page);
        QApplication::processEvents();
        ok = Save(sheet, prefix + pages[page] + ".png") && ok;
    }
    // A typed mask the rule replaces: the field highlighted, its tip, the status line.
    fw::Edit mask = sheet.m_canPage.Item<fw::Edit>(IDC_CAN_ACCEPT_MASK);
    if (mask.IsWindowEnabled()) {
        mask.SetSel();
        mask.ReplaceSel("12 34 56 78");
        sheet.m_canPage.RefreshMaskControls();
        QApplication::processEvents();
        ok = Save(sheet, prefix + "mask-replaced.png") && ok;
    }

    const char* dialogName = "";
    fw::CDialog::SetModalObserver([&](fw::CDialog& dialog) {
        ReadyForShot(dialog);
        ok = Save(dialog, prefix + dialogName + ".png") && ok;
        dialog.EndDialog(fw::IDCANCEL);
    });
    dialogName = "about";
    CAboutDlg about;
    about.DoModal(&sheet);
    dialogName = "ports";
    sheet.OnPorts();
    dialogName = "bit-timing";
    sheet.OnBitTimingCalculator();
    dialogName = "find";
    sheet.OnFindConverter();
    fw::CDialog::SetModalObserver(nullptr);

    // After Find the window is connected again to COM1.
    converter.SetFault(sim::Fault::kWrongCheck);
    box(LastMessage([&] { RunToEnd(sheet, 2); }), window, "box-read-failed");
    converter.SetFault(sim::Fault::kForgetful);
    // Another serial bit rate than the converter holds, which it acknowledges but does not keep.
    sheet.SetActivePage(1);
    sheet.m_serialPage.Item<fw::ComboBox>(IDC_SERIAL_BAUDRATE).SetCurSel(0);
    box(LastMessage([&] { RunToEnd(sheet, 12321); }), window, "box-verify-failed");
    converter.SetFault(sim::Fault::kNone);

    // A Ternix-B asked as a Ternix-A: silence, then the hint.
    sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();  // Disconnect
    sheet.m_panel.Item<fw::ComboBox>(IDC_COM_PORT).SetCurSel(2);
    sheet.m_panel.Item<fw::ComboBox>(IDC_DEVICE).SetCurSel(0);
    sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();
    box(LastMessage([&] { RunToEnd(sheet, 2); }), window, "box-other-model");
    sheet.SetActivePage(0);
    QApplication::processEvents();
    ok = Save(sheet, prefix + "status-other-model.png") && ok;
    box(LastMessage([&] { sheet.OnEventLog(); }), window, "box-event-log");

    // A port whose device is gone: the message with the system's reason.
    sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();  // Disconnect
    constexpr int kGoneCom = 7;
    if (RegisterComPort(kGoneCom, "/dev/linkmate-unplugged")) {
        sheet.m_panel.Item<fw::ComboBox>(IDC_COM_PORT).SetCurSel(kGoneCom - 1);
        box(LastMessage([&] { sheet.m_panel.GetDlgItem(IDC_CONNECT).Click(); }), window,
            "box-port-refused");
    }
    InstallLanguage("en");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace linkmate;
    // "--all FOLDER": every window and box in both languages instead of the README's pictures.
    const bool all = argc > 2 && std::string(argv[1]) == "--all";
    const QString out = all ? argv[2] : argc > 1 ? argv[1] : "docs";
    std::string home = (std::filesystem::temp_directory_path() / "linkmate-shots-XXXXXX").string();
    if (mkdtemp(home.data()) == nullptr) return 1;
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);

    (void)argc;
    const fw::Application app(argv, "linkmate", "2.0.0.1");
    InstallLanguage("en");
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName("linkmate");
    PrintMessages();

    // COM1 answers at any rate; COM2 is silent (the Read that shows the progress and Cancel);
    // COM3 is a Ternix-B, which only answers at 19200 bit/s (Find converter).
    sim::Options options;
    options.comPort = 1;
    sim::VirtualConverter converter(options);
    sim::Options silentOptions;
    silentOptions.comPort = 2;
    silentOptions.fault = sim::Fault::kSilence;
    sim::VirtualConverter silent(silentOptions);
    sim::Options ternixBOptions;
    ternixBOptions.comPort = 3;
    ternixBOptions.lineBitRate = 19200;
    sim::VirtualConverter ternixB(ternixBOptions);
    std::string error;
    for (sim::VirtualConverter* c : {&converter, &silent, &ternixB}) {
        if (!c->Start(&error)) {
            std::fprintf(stderr, "virtual converter: %s\n", error.c_str());
            return 1;
        }
    }

    QDir().mkpath(out);
    bool ok = true;
    if (all) {
        for (const char* language : {"en", "zh_CN"}) ok = AllShots(out, language, converter) && ok;
        for (sim::VirtualConverter* c : {&converter, &silent, &ternixB}) c->Stop();
        std::filesystem::remove_all(home);
        return ok ? 0 : 1;
    }
    {
        ShotSheet sheet;
        sheet.Init();
        sheet.ShowWindow(true);
        sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();
        RunToEnd(sheet, 2);  // Read
        const char* names[] = {"page-conversion.png", "page-serial.png", "page-can.png"};
        for (int page = 0; page < 3; ++page) {
            sheet.SetActivePage(page);
            QApplication::processEvents();
            ok = Save(sheet, out + "/" + names[page]) && ok;
        }
        // A Read whose replies carry a wrong check byte: the message with its details.
        converter.SetFault(sim::Fault::kWrongCheck);
        const auto failure = LastMessage([&] { RunToEnd(sheet, 2); });
        converter.SetFault(sim::Fault::kNone);
        ok = failure && SaveMessageBox(*failure, fw::qt::WidgetOf(sheet), out + "/details.png") &&
             ok;
        // The dialogs as their modal runs set them up, shown and taken, then ended.
        fw::CDialog::SetModalObserver([&](fw::CDialog& dialog) {
            ReadyForShot(dialog);
            const bool find = dynamic_cast<CFindConverterDlg*>(&dialog) != nullptr;
            const char* name = dynamic_cast<CAboutDlg*>(&dialog) ? "/about.png"
                               : find                            ? "/find.png"
                                                                 : "/ports.png";
            ok = Save(dialog, out + name) && ok;
            dialog.EndDialog(fw::IDCANCEL);
        });
        CAboutDlg about;
        about.DoModal(&sheet);
        CPortMapDlg ports;
        ports.DoModal(&sheet);
        sheet.OnFindConverter();
        fw::CDialog::SetModalObserver(nullptr);

        // A Read of the silent converter a second in: the progress line and Cancel, under the
        // pages.
        sheet.m_panel.Item<fw::ComboBox>(IDC_COM_PORT).SetCurSel(1);
        sheet.m_panel.Item<fw::ComboBox>(IDC_DEVICE).SetCurSel(0);
        sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();
        sheet.SetActivePage(0);
        sheet.GetDlgItem(2).Click();  // Read
        QElapsedTimer reading;
        reading.start();
        while (reading.elapsed() < 1200) QApplication::processEvents(QEventLoop::AllEvents, 5);
        const int stripTop = sheet.GetDlgItem(IDC_SHEET_CANCEL).GetWindowRect().y - 8;
        ok = Save(sheet, out + "/reading.png", stripTop) && ok;
        sheet.CancelExchange();
        while (sheet.IsExchanging()) QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    {
        // The window in Chinese.
        InstallLanguage("zh_CN");
        ShotSheet sheet;
        sheet.Init();
        sheet.ShowWindow(true);
        sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();
        RunToEnd(sheet, 2);  // Read
        sheet.SetActivePage(2);
        QApplication::processEvents();
        ok = Save(sheet, out + "/page-can-zh_CN.png") && ok;
        // A port whose device is gone: the message with the system's reason, in Chinese.
        sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();  // Disconnect
        constexpr int kGoneCom = 7;
        if (RegisterComPort(kGoneCom, "/dev/linkmate-unplugged")) {
            sheet.m_panel.Item<fw::ComboBox>(IDC_COM_PORT).SetCurSel(kGoneCom - 1);
            const auto refused =
                LastMessage([&] { sheet.m_panel.GetDlgItem(IDC_CONNECT).Click(); });
            ok = refused &&
                 SaveMessageBox(*refused, fw::qt::WidgetOf(sheet), out + "/message-zh_CN.png") &&
                 ok;
        }
        InstallLanguage("en");
    }
    for (sim::VirtualConverter* c : {&converter, &silent, &ternixB}) c->Stop();
    std::filesystem::remove_all(home);
    return ok ? 0 : 1;
}
