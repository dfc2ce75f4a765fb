// The main window: start-up state and layout, connecting and disconnecting, Default, Read and
// Write, closing.
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "app/language.h"
#include "framework/file_dialog.h"
#include "framework/translate.h"
#include "gui_harness.h"
#include "protocol/text.h"
#include "sample_configs.h"
#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "protocol/frame_codec.h"
#include "res/resource.h"
#include "serial/com_port_names.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

DeviceConfig ConverterConfig() { return testing::SingleExtendedExample(); }

fw::Control Button(TestSheet& sheet, int id) { return sheet.GetDlgItem(id); }

bool ProfileHasValues() {
    ProfileTransaction t;
    return t.ReadInt("LINKMATE", "CanBaudrate", -12345) != -12345;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void startUpStateAndLayout() {
        GuiEnvironment env(false);
        TestSheet sheet;
        sheet.Init();

        QCOMPARE(QString::fromStdString(sheet.GetWindowText()), QString("Trellian v2.0"));
        QCOMPARE(sheet.GetTabCount(), 3);
        QCOMPARE(QString::fromStdString(sheet.GetTabText(0)), QString("Conversion"));
        QCOMPARE(QString::fromStdString(sheet.GetTabText(1)), QString("Serial"));
        QCOMPARE(QString::fromStdString(sheet.GetTabText(2)), QString("CAN"));
        QCOMPARE(sheet.GetActiveIndex(), 0);

        QCOMPARE(QString::fromStdString(Button(sheet, 1).GetWindowText()), QString("&Default"));
        QCOMPARE(QString::fromStdString(Button(sheet, 2).GetWindowText()), QString("&Read"));
        QCOMPARE(QString::fromStdString(Button(sheet, 12321).GetWindowText()), QString("&Write"));
        for (int id : {1, 2, 12321}) QVERIFY(!Button(sheet, id).IsWindowEnabled());
        QVERIFY(!Button(sheet, 9).IsWindowVisible());

        // Every page was created, and every input control is disabled.
        for (fw::CDialog* page : sheet.SettingsPages()) {
            QVERIFY(page->IsCreated());
            QVERIFY(!page->IsWindowEnabled());
        }
        QVERIFY(!sheet.m_canPage.GetDlgItem(IDC_CAN_BAUDRATE).IsWindowEnabled());
        QVERIFY(!sheet.m_tranPage.GetDlgItem(IDC_TRAN_SPACE).IsWindowEnabled());
        QVERIFY(sheet.m_panel.GetDlgItem(IDC_DEVICE).IsWindowEnabled());
        QCOMPARE(sheet.m_panel.GetDlgItem(IDC_CONNECT).GetWindowText(), std::string("&Connect"));

        // An empty profile: the fallbacks, shown without the page rules.
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_BAUDRATE).GetWindowText(),
                 std::string("250 K"));
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_BTR0).GetWindowText(), std::string("00"));
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_BTR1).GetWindowText(), std::string("14"));
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_ACCEPT_MASK).GetWindowText(),
                 std::string("FF FF FF FF"));
        QCOMPARE(sheet.m_serialPage.GetDlgItem(IDC_SERIAL_BAUDRATE).GetWindowText(),
                 std::string("9600"));
        QCOMPARE(sheet.m_serialPage.GetDlgItem(IDC_SERIAL_FLOWCTRL).GetWindowText(),
                 std::string("None"));
        QCOMPARE(sheet.m_tranPage.GetDlgItem(IDC_TRAN_SPACE).GetWindowText(), std::string("2"));
        QCOMPARE(sheet.m_panel.GetDlgItem(IDC_COM_PORT).GetWindowText(), std::string("COM1"));

        // Layout: panel on top at full width, tabs below it, the buttons 6 px under the tabs and
        // 81 px right of the standard places, the status line under them and the window ending
        // under it.
        const fw::Rect tabControl = sheet.GetDlgItem(fw::AFX_IDC_TAB_CONTROL).GetWindowRect();
        const fw::Rect panel = sheet.m_panel.GetWindowRect();
        QCOMPARE(panel.x, 0);
        QCOMPARE(panel.y, 0);
        QCOMPARE(panel.width, sheet.GetWindowRect().width);
        QCOMPARE(tabControl.y, panel.height);
        // The panel sits on the window itself, the pages on the tab control.
        QCOMPARE(Widget(sheet.m_panel)->parentWidget(), sheet.widget());
        QCOMPARE(Widget(sheet.m_canPage)->parentWidget(),
                 fw::qt::WidgetOf(sheet.GetDlgItem(fw::AFX_IDC_TAB_CONTROL)));
        const int tabsBottom = tabControl.bottom();
        const fw::Rect status = sheet.GetDlgItem(IDC_SHEET_STATUS).GetWindowRect();
        QVERIFY(status.y >= Button(sheet, 1).GetWindowRect().bottom());
        QVERIFY(status.y >= tabsBottom + 48);
        QCOMPARE(sheet.GetWindowRect().height, status.bottom() + 6);

        // The same pages in a plain sheet show where the buttons stand before the move.
        struct PlainSheet : fw::CPropertySheet {
            PlainSheet() : fw::CPropertySheet("plain", nullptr, 0) {}
            using fw::CPropertySheet::OnInitDialog;
        } plain;
        CTranPage a;
        CSerialPage b;
        CCanPage c;
        plain.AddPage(&a);
        plain.AddPage(&b);
        plain.AddPage(&c);
        plain.OnInitDialog();
        for (int id : {1, 2, 12321, 9}) {
            QCOMPARE(Button(sheet, id).GetWindowRect().x,
                     plain.GetDlgItem(id).GetWindowRect().x + 81);
            QCOMPARE(Button(sheet, id).GetWindowRect().y, tabsBottom + 6);
        }
    }

    void connectToAPortThatDoesNotExist() {
        GuiEnvironment env(false);
        QVERIFY(RegisterComPort(1, "/dev/linkmate-absent"));
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(!ClickConnect(sheet));
        QCOMPARE(log.texts(), std::vector<std::string>{"Invalid serial port!"});
        QCOMPARE(log.calls[0].caption, std::string("Configration"));
        QVERIFY(log.calls[0].icon == fw::MessageIcon::kNone);
        QCOMPARE(sheet.m_panel.GetDlgItem(IDC_CONNECT).GetWindowText(), std::string("&Connect"));
        QVERIFY(sheet.m_panel.GetDlgItem(IDC_DEVICE).IsWindowEnabled());
        QVERIFY(sheet.m_panel.GetDlgItem(IDC_COM_PORT).IsWindowEnabled());
        for (int id : {1, 2, 12321}) QVERIFY(!Button(sheet, id).IsWindowEnabled());
        for (fw::CDialog* page : sheet.SettingsPages()) QVERIFY(!page->IsWindowEnabled());
    }

    void connectAndDisconnect() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        Choose(sheet.m_panel, IDC_DEVICE, 1);  // Ternix-B

        QVERIFY(ClickConnect(sheet));
        QCOMPARE(sheet.m_port.lineSettings().baudRate, 19200u);
        QCOMPARE(sheet.m_panel.GetDlgItem(IDC_CONNECT).GetWindowText(), std::string("Dis&connect"));
        QVERIFY(!sheet.m_panel.GetDlgItem(IDC_DEVICE).IsWindowEnabled());
        QVERIFY(!sheet.m_panel.GetDlgItem(IDC_COM_PORT).IsWindowEnabled());
        for (int id : {1, 2, 12321}) QVERIFY(Button(sheet, id).IsWindowEnabled());
        QVERIFY(!Button(sheet, 9).IsWindowVisible());
        for (fw::CDialog* page : sheet.SettingsPages()) QVERIFY(page->IsWindowEnabled());
        QVERIFY(sheet.m_serialPage.GetDlgItem(IDC_SERIAL_BAUDRATE).IsWindowEnabled());
        QVERIFY(!sheet.m_serialPage.GetDlgItem(IDC_SERIAL_DATABITS).IsWindowEnabled());
        // The pages hear the new state in the order Conversion, Serial, CAN.
        const auto pages = sheet.SettingsPages();
        QCOMPARE(pages[0], static_cast<fw::CDialog*>(&sheet.m_tranPage));
        QCOMPARE(pages[1], static_cast<fw::CDialog*>(&sheet.m_serialPage));
        QCOMPARE(pages[2], static_cast<fw::CDialog*>(&sheet.m_canPage));

        QVERIFY(!ClickConnect(sheet));
        QVERIFY(log.calls.empty());
        QCOMPARE(sheet.m_panel.GetDlgItem(IDC_CONNECT).GetWindowText(), std::string("&Connect"));
        QVERIFY(sheet.m_panel.GetDlgItem(IDC_DEVICE).IsWindowEnabled());
        for (int id : {1, 2, 12321}) QVERIFY(!Button(sheet, id).IsWindowEnabled());
        for (fw::CDialog* page : sheet.SettingsPages()) QVERIFY(!page->IsWindowEnabled());
        // The port was really let go.
        CSerialComm other;
        QVERIFY(other.Open(env.converter()->devicePath()));
    }

    void readSucceedsShowsThenSavesThenTells() {
        GuiEnvironment env;
        env.converter()->SetStoredConfig(ConverterConfig());
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        bool shownBeforeMessage = false;
        bool savedBeforeMessage = false;
        log.whenShown = [&](const fw::MessageBoxCall&) {
            shownBeforeMessage =
                sheet.m_serialPage.Item<fw::ComboBox>(IDC_SERIAL_BAUDRATE).GetCurSel() == 9;
            savedBeforeMessage = ProfileHasValues();
        };
        ClickButton(sheet, 2);
        QCOMPARE(log.texts(), std::vector<std::string>{"Read Configration Successfully!"});
        QCOMPARE(log.calls[0].caption, std::string("Configration"));
        QVERIFY(shownBeforeMessage);
        QVERIFY(savedBeforeMessage);
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_TX_ID).GetWindowText(),
                 std::string("00 00 01 23"));
        QCOMPARE(sheet.m_tranPage.GetDlgItem(IDC_TRAN_ID_OFFSET).GetWindowText(), std::string("2"));
        QCOMPARE(env.converter()->stats().readRequests, 2);

        DeviceConfig saved;
        LoadProfile(saved);
        QCOMPARE(saved.can.CanAcptCode, std::string("12 34 56 78"));
        QCOMPARE(saved.tran.TranLength, 4);
    }

    void readFailsChangesNothingAndSavesNothing() {
        sim::Options options;
        options.fault = sim::Fault::kWrongCheck;
        GuiEnvironment env(true, options);
        env.converter()->SetStoredConfig(ConverterConfig());
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        const std::string before = sheet.m_canPage.GetDlgItem(IDC_CAN_TX_ID).GetWindowText();
        ClickButton(sheet, 2);
        QCOMPARE(log.texts(), std::vector<std::string>{"Communication Error!"});
        // The diagnosis under the message, the trace behind "Show Details...".
        QVERIFY2(log.calls[0].detail.find("wrong check byte: noise") != std::string::npos,
                 log.calls[0].detail.c_str());
        QVERIFY(log.calls[0].details.find("read, attempt 1: sent F7 F8 03 01 AA A7") !=
                std::string::npos);
        QVERIFY(log.calls[0].details.find("ended: wrong check byte") != std::string::npos);
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_TX_ID).GetWindowText(), before);
        QVERIFY(!ProfileHasValues());
        QVERIFY(sheet.IsWindowVisible());
    }

    void writeSucceedsSavesBeforeTellingAndSendsThePages() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        Choose(sheet.m_tranPage, IDC_TRAN_MODE, 1);
        QLineEdit* offset = Control<QLineEdit>(sheet.m_tranPage, IDC_TRAN_ID_OFFSET);
        Retype(offset, "007");
        sheet.SetActivePage(1);
        Choose(sheet.m_serialPage, IDC_SERIAL_BAUDRATE, 9);
        bool savedBeforeMessage = false;
        QString offsetDuringMessage;
        log.whenShown = [&](const fw::MessageBoxCall&) {
            ProfileTransaction t;
            savedBeforeMessage = t.ReadInt("LINKMATE", "SerialBaudrate", -1) == 9;
            offsetDuringMessage = offset->text();
        };
        ClickButton(sheet, 12321);
        QCOMPARE(log.texts(), std::vector<std::string>{"Write Configration Successfully!"});
        QVERIFY(savedBeforeMessage);
        // The pages are rewritten from the members only once the message has been closed.
        QCOMPARE(offsetDuringMessage, QString("007"));
        QCOMPARE(offset->text(), QString("7"));
        QCOMPARE(env.converter()->stats().writeFrames, 1);
        QCOMPARE(env.converter()->storedFrame(),
                 EncodeConfigFrame(sheet.m_serialPage.serial, sheet.m_canPage.can,
                                   sheet.m_tranPage.tran));
        QCOMPARE(env.converter()->storedFrame()[4], uint8_t{0x01});  // 115200
    }

    void aSaveThatFailsIsToldAfterTheSuccess() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        // A directory stands where the profile file should be.
        std::filesystem::remove(ProfileFilePath());
        std::filesystem::create_directories(ProfileFilePath());
        for (int command : {2, 12321}) {
            log.calls.clear();
            ClickButton(sheet, command);
            QCOMPARE(log.calls.size(), size_t{2});
            QCOMPARE(log.calls[0].text,
                     std::string(command == 2 ? "Read Configration Successfully!"
                                              : "Write Configration Successfully!"));
            const std::string& warning = log.calls[1].text;
            QVERIFY2(warning.find("could not be saved") != std::string::npos &&
                         warning.find("is not a regular file") != std::string::npos,
                     warning.c_str());
            QVERIFY(log.calls[1].icon == fw::MessageIcon::kExclamation);
            QCOMPARE(log.calls[1].caption, std::string("Configration"));
        }
    }

    void writeFailsTellsAndSavesNothing() {
        sim::Options options;
        options.fault = sim::Fault::kSilence;
        GuiEnvironment env(true, options);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        ClickButton(sheet, 12321);
        QCOMPARE(log.texts(), std::vector<std::string>{"Communication Error!"});
        QCOMPARE(env.converter()->stats().writeFrames, 4);
        QVERIFY(!ProfileHasValues());
    }

    // The converter took the frame and its acknowledgement came back damaged: read back, it is a
    // success, and the frame is not sent again.
    void aWriteThatTookWithADamagedAcknowledgementSucceeds() {
        sim::Options options;
        options.fault = sim::Fault::kWrongAck;
        GuiEnvironment env(true, options);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        ClickButton(sheet, 12321);
        QCOMPARE(log.texts(), std::vector<std::string>{"Write Configration Successfully!"});
        QCOMPARE(env.converter()->stats().writeFrames, 1);
        QVERIFY(ProfileHasValues());
    }

    // A silent converter: the window keeps answering, shows how far the Read has got, takes no
    // command meanwhile, and Cancel ends it at once with nothing changed or saved.
    void aSilentReadKeepsTheWindowLiveUntilCancel() {
        sim::Options options;
        options.fault = sim::Fault::kSilence;
        GuiEnvironment env(true, options);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        Choose(Control<QComboBox>(sheet.m_tranPage, IDC_TRAN_MODE), 1);
        QLineEdit* offset = Control<QLineEdit>(sheet.m_tranPage, IDC_TRAN_ID_OFFSET);
        Retype(offset, "007");

        Button(sheet, 2).Click();
        QVERIFY(sheet.IsExchanging());
        for (int id : {1, 2, 12321}) QVERIFY(!Button(sheet, id).IsWindowEnabled());
        QVERIFY(!sheet.m_panel.GetDlgItem(IDC_CONNECT).IsWindowEnabled());
        QVERIFY(!Widget(sheet.m_tranPage)->isEnabled());
        QVERIFY(sheet.GetDlgItem(IDC_SHEET_CANCEL).IsWindowVisible());

        // The largest gap between two turns of the event loop over 1.5 s, into the second attempt.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 gap = 0;
        bool sawSecondAttempt = false;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            gap = std::max(gap, clock.elapsed() - last);
            last = clock.elapsed();
            sawSecondAttempt =
                sawSecondAttempt || sheet.StatusText().find("request 2,") != std::string::npos;
        });
        tick.start(5);
        // Commands that arrive meanwhile are dropped, not kept for later.
        sheet.OnCommand(12321);
        sheet.OnCommand(1);
        QEventLoop loop;
        QTimer::singleShot(1500, &loop, &QEventLoop::quit);
        loop.exec();
        tick.stop();
        // A window that waited on the line would stand still for a whole read time-out (1000 ms);
        // the bound leaves room for a loaded machine (the figures are exchange_gap_bench's).
        QVERIFY2(gap < 400, std::to_string(gap).c_str());
        QVERIFY2(sawSecondAttempt, sheet.StatusText().c_str());
        QVERIFY(sheet.IsExchanging());

        clock.restart();
        sheet.GetDlgItem(IDC_SHEET_CANCEL).Click();
        QVERIFY(WaitForExchange(sheet));
        const qint64 cancelMs = clock.elapsed();
        qInfo("silent Read: largest event-loop gap %lld ms; Cancel took %lld ms", gap, cancelMs);
        QVERIFY2(cancelMs < 400, std::to_string(cancelMs).c_str());

        QVERIFY(log.calls.empty());
        QVERIFY(!ProfileHasValues());
        QCOMPARE(offset->text(), QString("007"));  // as typed: the page was not even reloaded
        QVERIFY(sheet.StatusText().find("cancelled") != std::string::npos);
        QCOMPARE(env.converter()->stats().readRequests, 2);
        QCOMPARE(env.converter()->stats().writeFrames, 0);
        QVERIFY(Widget(sheet.m_tranPage)->isEnabled());
        QVERIFY(Button(sheet, 12321).IsWindowEnabled());
        QVERIFY(!sheet.GetDlgItem(IDC_SHEET_CANCEL).IsWindowVisible());
        QVERIFY(sheet.m_port.IsOpen());
    }

    // A Ternix-B read as a Ternix-A hears nothing; the window asks once at 19200 bit/s and names
    // the model, then the port is back at the rate the model chosen needs.
    void aSilentReadNamesTheModelThatAnswersAtItsRate() {
        sim::Options options;
        options.lineBitRate = 19200;
        GuiEnvironment env(true, options);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        ClickButton(sheet, 2);
        QCOMPARE(log.texts(), std::vector<std::string>{"Communication Error!"});
        const std::string hint =
            "A converter answered at 19200 bit/s: choose " + text::Unbroken("Ternix-B") + ".";
        const std::string& detail = log.calls[0].detail;
        QVERIFY2(detail.rfind("No answer at all", 0) == 0 &&
                     detail.find("\n\n" + hint) != std::string::npos,
                 detail.c_str());
        QVERIFY2(sheet.StatusText().find(hint) != std::string::npos, sheet.StatusText().c_str());
        // What Copy takes for a ticket: the context before the trace, the probe at the other rate
        // included.
        const std::string& details = log.calls[0].details;
        for (const std::string& part :
             {std::string("Program: "), std::string(" 2.0.0.1 on Linux "),
              std::string("Started: 20"), "Port: COM1, device " + env.converter()->devicePath(),
              std::string("Model: Ternix-A at 57600 bit/s"),
              std::string("Asked again at 19200 bit/s (Ternix-B): a converter answered"),
              std::string("read, attempt 4: sent F7 F8 03 01 AA A7")}) {
            QVERIFY2(details.find(part) != std::string::npos, (part + " in:\n" + details).c_str());
        }
        // The ask at the other rate is traced as the attempts are: after them, the reply's bytes
        // with their times.
        const size_t probe = details.find("] asked at 19200 bit/s: sent F7 F8 03 01 AA A7\n  +");
        QVERIFY2(probe != std::string::npos && probe > details.find("read, attempt 4"),
                 details.c_str());
        QVERIFY2(details.find(" ms  F7 F8 03 1C", probe) != std::string::npos, details.c_str());
        QVERIFY2(details.find("ended: ", probe) != std::string::npos, details.c_str());
        // Save report writes the same, with the log.
        const std::string reportPath = env.home() + "/report.txt";
        fw::SetFileDialogResponder([&](const fw::FileDialogCall&) { return reportPath; });
        sheet.OnSaveReport();
        fw::SetFileDialogResponder(nullptr);
        std::ifstream saved(reportPath);
        const std::string report((std::istreambuf_iterator<char>(saved)),
                                 std::istreambuf_iterator<char>());
        QVERIFY2(report.rfind("Communication Error!\n\nNo answer at all", 0) == 0 &&
                     report.find(details) != std::string::npos &&
                     report.find(hint) != std::string::npos,
                 report.c_str());
        // The line's whole text is its tip, and every status is in the log with its time.
        QCOMPARE(sheet.GetDlgItem(IDC_SHEET_STATUS).GetToolTip(), sheet.StatusText());
        const std::vector<std::string>& events = sheet.EventLog();
        QVERIFY(std::any_of(events.begin(), events.end(), [&](const std::string& e) {
            return e.find(hint) != std::string::npos && e[2] == ':';
        }));
        QVERIFY(std::count_if(events.begin(), events.end(), [](const std::string& e) {
                    return e.find("Reading the configuration") != std::string::npos;
                }) == 1);
        termios line{};
        QCOMPARE(tcgetattr(static_cast<int>(sheet.m_port.nativeHandle()), &line), 0);
        QCOMPARE(cfgetospeed(&line), speed_t{B57600});
        QVERIFY(!ProfileHasValues());

        InstallLanguage("zh_CN");
        ClickButton(sheet, 2);
        fw::LoadCatalogue({});  // back to the source texts, as the other tests have them
        QCOMPARE(log.calls.size(), size_t{2});
        QVERIFY2(log.calls[1].detail.find("有转换器在 19200 bit/s 应答：请选择 Ternix") !=
                     std::string::npos,
                 log.calls[1].detail.c_str());
    }

    void theStatusLineSaysWhatThePagesShow() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        const auto says = [&](const std::string& part) {
            const bool found = sheet.StatusText().find(part) != std::string::npos;
            if (!found) qWarning("status: %s", sheet.StatusText().c_str());
            return found;
        };
        QVERIFY(says("Not connected."));
        QVERIFY(says("the profile's values (nothing saved yet)"));

        QVERIFY(ClickConnect(sheet));
        QVERIFY(says("Connected to COM1 \u2192 " + env.converter()->devicePath()));
        QVERIFY(says("; " + text::Unbroken("Ternix-A") + " at 57600 bit/s."));
        ClickButton(sheet, 2);
        QVERIFY(says("read from the converter at "));
        QVERIFY(!says("edited since"));

        sheet.OnCommand(1);  // Default
        QVERIFY(says("factory values (Default), not written."));
        // A typed mask that the rule replaces when the bit rate changes: the line names it.
        Retype(Control<QLineEdit>(sheet.m_canPage, IDC_CAN_ACCEPT_MASK), "12 34 56 78");
        QVERIFY(says("not written, edited since."));
        Choose(sheet.m_canPage, IDC_CAN_BAUDRATE, 12);
        QVERIFY(says("The mask rule replaced Acceptance Mask \"" + text::Unbroken("12 34 56 78") +
                     "\" with " + text::Unbroken("FF FF FF FF") + "."));
        // The field itself shows it: a tip with the old value, and a highlight for a moment.
        fw::Control mask = sheet.m_canPage.GetDlgItem(IDC_CAN_ACCEPT_MASK);
        QVERIFY(mask.GetToolTip().find("12 34 56 78") != std::string::npos);
        QVERIFY(mask.IsHighlighted());
        QVERIFY(
            fw::RunEventsUntil([&] { return !mask.IsHighlighted(); }, std::chrono::seconds(10)));

        ClickButton(sheet, 12321);
        QVERIFY(says("written to the converter at "));
        QCOMPARE(sheet.widget()->accessibleDescription().toStdString(), sheet.StatusText());
    }

    // Alt+D while connected reaches Default at once (the model list that shares the letter is
    // locked): Ctrl+Z brings every page back, once, until something is written. After an exchange
    // the focus is where the operator left it.
    void defaultIsUndoneOnceAndTheFocusComesBackAfterRead() {
        GuiEnvironment env;
        env.converter()->SetStoredConfig(testing::DualExtendedEdited());
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QApplication::setActiveWindow(sheet.widget());
        QVERIFY(ClickConnect(sheet));
        ClickButton(sheet, 2);
        const DeviceConfig read{
            sheet.m_serialPage.serial, sheet.m_canPage.can, sheet.m_tranPage.tran, {}};
        sheet.SetActivePage(2);
        QLineEdit* id = Control<QLineEdit>(sheet.m_canPage, IDC_CAN_TX_ID);
        Retype(id, "00 00 01 23");
        id->setFocus();

        QTest::keyClick(sheet.widget(), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(id->text(), QString("00 00 00 00"));
        QVERIFY(sheet.CanUndo());
        QVERIFY(sheet.GetDlgItem(IDC_SHEET_UNDO).IsWindowVisible());
        QTest::keyClick(sheet.widget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(id->text(), QString("00 00 01 23"));
        for (fw::CDialog* page : sheet.SettingsPages()) page->ExchangeData(true);
        QCOMPARE(sheet.m_tranPage.tran.TranSpace, read.tran.TranSpace);
        QCOMPARE(sheet.m_serialPage.serial.SerialBaudrate, read.serial.SerialBaudrate);
        QCOMPARE(sheet.m_canPage.can.CanAcptCode2, read.can.CanAcptCode2);
        QVERIFY(sheet.StatusText().find("edited since") != std::string::npos);
        QVERIFY(!sheet.CanUndo());  // once
        QVERIFY(!sheet.GetDlgItem(IDC_SHEET_UNDO).IsWindowVisible());

        id->setFocus();
        ClickButton(sheet, 2);  // Read
        QVERIFY(sheet.m_canPage.GetDlgItem(IDC_CAN_TX_ID).HasFocus());
        sheet.OnCommand(1);
        ClickButton(sheet, 12321);  // a Write ends what Undo could bring back
        QVERIFY(!sheet.CanUndo());
        QVERIFY(!sheet.GetDlgItem(fw::IDOK).HasFocus());
        QTest::keyClick(sheet.widget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(id->text(), QString("00 00 00 00"));
    }

    void closingDuringAnExchangeCancelsItThenCloses() {
        sim::Options options;
        options.fault = sim::Fault::kSilence;
        GuiEnvironment env(true, options);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        Button(sheet, 12321).Click();
        QVERIFY(sheet.IsExchanging());
        QTest::qWait(200);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!sheet.widget()->close());  // not yet: the exchange ends first
        QVERIFY(WaitForExchange(sheet));
        QVERIFY2(clock.elapsed() < 400, std::to_string(clock.elapsed()).c_str());
        QVERIFY(!sheet.IsWindowVisible());
        QVERIFY(!sheet.m_port.IsOpen());
        QVERIFY(log.calls.empty());
        QVERIFY(!ProfileHasValues());
    }

    void commandsWhileDisconnected() {
        GuiEnvironment env(false);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        Enter(sheet.m_canPage, IDC_CAN_ACCEPT_CODE1, "12 34");  // disabled: ignored
        sheet.m_canPage.can.CanAcptCode1 = "AB CD";
        sheet.m_canPage.ExchangeData(false);
        Choose(sheet.m_panel, IDC_COM_PORT, 4);

        // Read and Write do nothing at all without a port.
        QVERIFY(sheet.OnCommand(2));
        QVERIFY(sheet.OnCommand(12321));
        QVERIFY(log.calls.empty());
        QVERIFY(!ProfileHasValues());

        // Default still puts the factory values into the pages, and refreshes them.
        QVERIFY(sheet.OnCommand(1));
        QVERIFY(log.calls.empty());
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_BTR0).GetWindowText(), std::string("01"));
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_BTR1).GetWindowText(), std::string("1C"));
        QVERIFY((sheet.m_canPage.Item<fw::CheckBox>(IDC_CAN_CUSTOM_MASK).GetCheck() == 1));
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_ACCEPT_MASK).GetWindowText(),
                 std::string("FF FF FF FF"));
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_ACCEPT_MASK2).GetWindowText(),
                 std::string("FF FF"));
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_ACCEPT_CODE1).GetWindowText(),
                 std::string("AB CD"));
        QCOMPARE(sheet.m_panel.Item<fw::ComboBox>(IDC_COM_PORT).GetCurSel(), 4);
        QVERIFY(!ProfileHasValues());
        QVERIFY(sheet.IsWindowVisible());
    }

    void enterAndEscNeitherCloseNorRunCommands() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        QLineEdit* id = Control<QLineEdit>(sheet.m_canPage, IDC_CAN_TX_ID);
        sheet.SetActivePage(2);
        Retype(id, "7");
        for (QWidget* target : {sheet.widget(), static_cast<QWidget*>(id)}) {
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Escape);
        }
        QVERIFY(sheet.IsWindowVisible());
        QVERIFY(log.calls.empty());
        QCOMPARE(id->text(), QString("7"));
        QCOMPARE(env.converter()->stats().readRequests, 0);
    }

    void closingWhileConnectedClosesThePort() {
        GuiEnvironment env;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        sheet.Close();
        QVERIFY(!sheet.m_port.IsOpen());
        CSerialComm other;
        QVERIFY(other.Open(env.converter()->devicePath()));
    }

    void portThatFailsToCloseCountsAsClosedAndIsToldOnce() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        // Pull the descriptor from under the port so that the system's close fails.
        ::close(static_cast<int>(sheet.m_port.nativeHandle()));
        QVERIFY(!ClickConnect(sheet));
        QCOMPARE(log.calls.size(), size_t{1});
        QVERIFY(log.calls[0].text.find("could not be closed") != std::string::npos);
        QCOMPARE(log.calls[0].caption, std::string("Configration"));
        QVERIFY(!sheet.m_port.IsOpen());
        QCOMPARE(sheet.m_panel.GetDlgItem(IDC_CONNECT).GetWindowText(), std::string("&Connect"));
        for (int id : {1, 2, 12321}) QVERIFY(!Button(sheet, id).IsWindowEnabled());
        // Closing the window afterwards has nothing left to close and says nothing more.
        sheet.Close();
        QCOMPARE(log.calls.size(), size_t{1});
    }

    void aboutBoxOnTheSystemCommand() {
        GuiEnvironment env(false);
        TestSheet sheet;
        sheet.Init();
        int opened = 0;
        const auto closeWhenOpen = [&] {
            QTimer::singleShot(0, [&] {
                if (QWidget* box = QApplication::activeModalWidget()) {
                    ++opened;
                    QCOMPARE(box->windowTitle(), QString("关于 Trellian"));
                    box->close();
                }
            });
        };
        for (unsigned command : {0x0010u, 0x001Fu}) {
            closeWhenOpen();
            QVERIFY(sheet.OnSysCommand(command));
        }
        QCOMPARE(opened, 2);
        QVERIFY(!sheet.OnSysCommand(0xF060));  // Close goes to the sheet's own handling
        QVERIFY(!sheet.OnSysCommand(0x0020));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
