// The window's configuration files: Save takes the pages as they are (an entry Write would refuse
// stops it), Open fills the pages and sends nothing; a file written by the window is what the
// command-line tool reads.
#include <sys/stat.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "framework/file_dialog.h"
#include "gui_harness.h"
#include "profile/config_file.h"
#include "profile/profile_store.h"
#include "protocol/frame_codec.h"
#include "protocol/settings_table.h"
#include "res/resource.h"
#include "sample_configs.h"

using namespace linkmate;
using namespace linkmate::guitest;

class ConfigFilesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }
    void cleanup() { fw::SetFileDialogResponder(nullptr); }

    void saveThenOpenRoundTripsThePagesAndSendsNothing() {
        GuiEnvironment env;
        env.converter()->SetStoredConfig(testing::DualExtendedEdited());
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QApplication::setActiveWindow(sheet.widget());
        QVERIFY(ClickConnect(sheet));
        ClickButton(sheet, fw::IDCANCEL);  // Read
        // Typed without an extension, saved with ".reg"; the name suggested is the model's and the
        // date's, in the home folder the first time.
        const std::string path = env.home() + "/unit.reg";
        int asked = 0;
        std::string start;
        fw::SetFileDialogResponder([&](const fw::FileDialogCall& call) {
            ++asked;
            start = call.start;
            return env.home() + "/unit";
        });
        QTest::keyClick(sheet.widget(), Qt::Key_S, Qt::ControlModifier);
        const std::filesystem::path suggested(start);
        QCOMPARE(suggested.parent_path().string(), std::string(std::getenv("HOME")));
        QVERIFY2(suggested.filename().string().rfind("Ternix-A-20", 0) == 0 &&
                     suggested.extension() == ".reg",
                 start.c_str());
        QCOMPARE(asked, 1);
        DeviceConfig saved;
        std::string error;
        QVERIFY2(ReadConfigFile(path, saved, &error), error.c_str());
        QVERIFY(FrameSettingDifferences(saved, env.converter()->storedConfig()).empty());

        ClickButton(sheet, fw::IDOK);  // Default changes every page
        QCOMPARE(Control<QLineEdit>(sheet.m_canPage, IDC_CAN_BTR0)->text(), QString("01"));
        // Open starts in the folder saved to; the folder is kept beside the settings, not among
        // them.
        fw::SetFileDialogResponder([&](const fw::FileDialogCall& call) {
            start = call.start;
            return path;
        });
        QTest::keyClick(sheet.widget(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(start, env.home());
        QCOMPARE(ProfileReadText("LINKMATE", "LastFolder", "none"), std::string("none"));
        QCOMPARE(Control<QLineEdit>(sheet.m_canPage, IDC_CAN_BTR0)->text(), QString("3F"));
        QVERIFY(Control<QLineEdit>(sheet.m_canPage, IDC_CAN_BTR0)->isEnabled());  // Custom
        QVERIFY(Control<QLineEdit>(sheet.m_canPage, IDC_CAN_ACCEPT_CODE2)
                    ->isVisibleTo(Widget(sheet.m_canPage)));
        QCOMPARE(Control<QLineEdit>(sheet.m_canPage, IDC_CAN_ACCEPT_CODE2)->text(),
                 QString("AB CD"));
        QCOMPARE(Control<QLineEdit>(sheet.m_tranPage, IDC_TRAN_SPACE)->text(), QString("44"));
        QCOMPARE(env.converter()->stats().writeFrames, 0);

        // Written back, the converter holds what it held when the file was saved.
        const ConfigFrame before = env.converter()->storedFrame();
        ClickButton(sheet, fw::ID_APPLY_NOW);
        QCOMPARE(log.texts().back(), std::string("Write Configration Successfully!"));
        QCOMPARE(env.converter()->storedFrame(), before);
    }

    // A file opened while disconnected is what the operator means to write: Connect does not run
    // the mask rule over it. A rule that does replace a mask later says so at the field, and Undo
    // brings back what the pages showed before the file.
    void anOpenedFileKeepsItsMaskThroughConnect() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        DeviceConfig file = testing::SingleExtendedExample();
        file.can.CanFrameType = 0;
        file.can.CanFiterMode = 1;
        file.can.CanAcptCode = "00 00 01 20";
        file.can.CanAcptMask = "00 00 07 F0";
        const std::string path = env.home() + "/filter.reg";
        std::string error;
        QVERIFY2(WriteConfigFile(path, file, &error), error.c_str());
        QVERIFY2(ReadConfigFile(path, file, &error), error.c_str());
        fw::SetFileDialogResponder([&](const fw::FileDialogCall&) { return path; });
        sheet.OnOpenConfiguration();

        QVERIFY(ClickConnect(sheet));
        QLineEdit* mask = Control<QLineEdit>(sheet.m_canPage, IDC_CAN_ACCEPT_MASK);
        QCOMPARE(mask->text(), QString("00 00 07 F0"));
        ClickButton(sheet, fw::ID_APPLY_NOW);
        QCOMPARE(log.texts().back(), std::string("Write Configration Successfully!"));
        QCOMPARE(env.converter()->storedFrame(), EncodeConfigFrame(file));

        // Disconnected and connected again, the values read or written stay too.
        QVERIFY(!ClickConnect(sheet));
        QVERIFY(ClickConnect(sheet));
        QCOMPARE(mask->text(), QString("00 00 07 F0"));
        Choose(sheet.m_canPage, IDC_CAN_FRAME_FORMAT, 1);
        QVERIFY(mask->text() != QString("00 00 07 F0"));
        QVERIFY2(mask->toolTip().contains("00 00 07 F0"), qPrintable(mask->toolTip()));
        Retype(mask, "00 00 00 0F");
        QVERIFY(mask->toolTip().isEmpty());

        // Undo of an Open, before anything is written.
        QVERIFY(!sheet.CanUndo());
        sheet.OnOpenConfiguration();
        QVERIFY(sheet.CanUndo());
        sheet.OnUndo();
        QCOMPARE(mask->text(), QString("00 00 00 0F"));
    }

    void aRejectedEntryStopsTheSaveAndABadFileIsNamed() {
        GuiEnvironment env(false);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        sheet.m_tranPage.EnableWindow(true);
        sheet.m_tranPage.SendEnable(true);
        Choose(Control<QComboBox>(sheet.m_tranPage, IDC_TRAN_MODE), 1);
        int asked = 0;
        const std::string path = env.home() + "/bad.reg";
        fw::SetFileDialogResponder([&](const fw::FileDialogCall&) {
            ++asked;
            return path;
        });
        Retype(Control<QLineEdit>(sheet.m_tranPage, IDC_TRAN_SPACE), "");
        log.calls.clear();
        sheet.OnSaveConfiguration();
        QCOMPARE(log.texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(asked, 0);
        QVERIFY(!std::filesystem::exists(path));

        std::ofstream(path)
            << "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\x\\LINKMATE]\ngarbage\n";
        const QString before = Control<QLineEdit>(sheet.m_canPage, IDC_CAN_TX_ID)->text();
        log.calls.clear();
        sheet.OnOpenConfiguration();
        QCOMPARE(log.calls.size(), size_t{1});
        QVERIFY2(log.calls[0].text.find("bad.reg:3:") != std::string::npos,
                 log.calls[0].text.c_str());
        QCOMPARE(Control<QLineEdit>(sheet.m_canPage, IDC_CAN_TX_ID)->text(), before);

        // A FIFO where the file would go is refused and stays a FIFO.
        const std::string fifo = env.home() + "/fifo.reg";
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        fw::SetFileDialogResponder([&](const fw::FileDialogCall&) { return fifo; });
        Retype(Control<QLineEdit>(sheet.m_tranPage, IDC_TRAN_SPACE), "5");
        log.calls.clear();
        sheet.OnSaveConfiguration();
        QCOMPARE(log.calls.size(), size_t{1});
        QVERIFY2(log.calls[0].text.find("fifo.reg is not a regular file") != std::string::npos,
                 log.calls[0].text.c_str());
        QVERIFY(std::filesystem::is_fifo(fifo));
    }
};

QTEST_MAIN(ConfigFilesTest)
#include "config_files_test.moc"
