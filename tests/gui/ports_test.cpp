// The port side of the window: the Ports dialog (Ctrl+P and the context menu), what the COM Port
// list says of each number, the reasons a refused port gives, the start-up choice of model and
// port.
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/find_converter_dlg.h"
#include "app/port_map_dlg.h"
#include "gui_harness.h"
#include "res/resource.h"
#include "serial/com_port_names.h"
#include "tools/sim/net_listener.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

namespace fs = std::filesystem;

// A fake /dev and /sys with one USB adapter (and its by-id name) under the test's configuration
// folder, found by the walk a machine without udev falls back to.
DeviceRoots FakeDevices(const std::string& home) {
    DeviceRoots roots{home + "/dev", home + "/sys", nullptr};
    fs::create_directories(roots.sys + "/devices/usb1/1-1:1.0");
    fs::create_directories(roots.sys + "/class/tty/ttyUSB0");
    fs::create_symlink(roots.sys + "/devices/usb1/1-1:1.0",
                       roots.sys + "/class/tty/ttyUSB0/device");
    fs::create_directories(roots.dev + "/serial/by-id");
    std::ofstream(roots.dev + "/ttyUSB0") << "";
    fs::create_symlink("../../ttyUSB0", roots.dev + "/serial/by-id/usb-Acme_Link-if00");
    return roots;
}

QString Tip(QComboBox* list, int index) {
    return list->itemData(index, Qt::ToolTipRole).toString();
}

}  // namespace

class PortsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void dialogAssignsAndFreesComNumbers() {
        GuiEnvironment env(false);
        const DeviceRoots roots = FakeDevices(env.home());
        CPortMapDlg dialog(roots);
        bool ran = false;
        fw::CDialog::SetModalObserver([&](fw::CDialog&) {
            ran = true;
            fw::ListView ports = dialog.Item<fw::ListView>(IDC_PORTS_LIST);
            fw::ListBox devices = dialog.Item<fw::ListBox>(IDC_PORTS_DEVICES);
            fw::Control assign = dialog.GetDlgItem(IDC_PORTS_ASSIGN);
            QCOMPARE(ports.GetCount(), 8);
            QCOMPARE(devices.GetCount(), 1);
            QVERIFY(devices.GetText(0).find("usb-Acme_Link-if00") != std::string::npos);
            QVERIFY(!assign.IsWindowEnabled());

            ports.SetCurSel(2);
            devices.SetCurSel(0);
            QVERIFY(assign.IsWindowEnabled());
            assign.Click();
            QCOMPARE(fs::read_symlink(PortMapDir() + "/com3").string(),
                     roots.dev + "/serial/by-id/usb-Acme_Link-if00");
            QCOMPARE(ports.GetText(2, 1), roots.dev + "/serial/by-id/usb-Acme_Link-if00");
            QVERIFY(dialog.GetDlgItem(IDC_PORTS_STATUS).GetWindowText().find("COM3") !=
                    std::string::npos);

            // Unplugged: the row says so.
            fs::remove(roots.dev + "/ttyUSB0");
            dialog.Refresh();
            QVERIFY(ports.GetText(2, 2).rfind("not present", 0) == 0);

            ports.SetCurSel(2);
            QVERIFY(dialog.GetDlgItem(IDC_PORTS_FREE).IsWindowEnabled());
            dialog.GetDlgItem(IDC_PORTS_FREE).Click();
            QVERIFY(!fs::exists(fs::symlink_status(PortMapDir() + "/com3")));
            dialog.EndDialog(fw::IDCANCEL);
        });
        QCOMPARE(dialog.DoModal(nullptr), fw::IDCANCEL);
        fw::CDialog::SetModalObserver(nullptr);
        QVERIFY(ran);
    }

    void ctrlPOpensTheDialogAndTheListTipsFollow() {
        GuiEnvironment env;  // a converter as COM1
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QApplication::setActiveWindow(sheet.widget());
        auto* ports = Control<QComboBox>(sheet.m_panel, IDC_COM_PORT);
        // The tips are read once the window has painted.
        QTRY_VERIFY_WITH_TIMEOUT(!Tip(ports, 0).isEmpty(), 1000);
        QVERIFY(Tip(ports, 0).contains(QString::fromStdString(env.converter()->devicePath())));
        QVERIFY(Tip(ports, 0).contains("virtual converter"));
        QCOMPARE(ports->toolTip(), Tip(ports, 0));
        // The list's texts stay as they are.
        QCOMPARE(ports->itemText(0), QString("COM1"));

        // A link that points nowhere: "not present" in the tip, once the operator turns to it.
        QVERIFY(RegisterComPort(6, "/dev/linkmate-unplugged"));
        QString seenInDialog;
        fw::CDialog::SetModalObserver([&](fw::CDialog& dialog) {
            seenInDialog =
                QString::fromStdString(dialog.Item<fw::ListView>(IDC_PORTS_LIST).GetText(5, 2));
            dialog.EndDialog(fw::IDCANCEL);
        });
        QTest::keyClick(sheet.widget(), Qt::Key_P, Qt::ControlModifier);
        fw::CDialog::SetModalObserver(nullptr);
        QVERIFY(seenInDialog.startsWith("not present"));
        QVERIFY(Tip(ports, 5).contains("/dev/linkmate-unplugged"));
        QVERIFY(Tip(ports, 5).contains("not present"));
        // The opened list: the device's name beside a present number, absent ones greyed, and
        // wide enough for both; the closed list keeps "COM1".
        const fw::ComboBox list = sheet.m_panel.Item<fw::ComboBox>(IDC_COM_PORT);
        QCOMPARE(list.GetItemDetail(0),
                 env.converter()->devicePath().substr(std::string("/dev/").size()));
        QVERIFY(!ports->itemData(0, Qt::ForegroundRole).isValid());
        QCOMPARE(list.GetItemDetail(5), std::string("(not present)"));
        QVERIFY(ports->itemData(5, Qt::ForegroundRole).isValid());
        QVERIFY(ports->view()->minimumWidth() > ports->width());
        QCOMPARE(ports->currentText(), QString("COM1"));
    }

    // A converter's link comes and goes as an adapter would: the window follows within a second,
    // without the operator turning to the list.
    void theWindowFollowsDevicesThatComeAndGo() {
        GuiEnvironment env(false);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        auto* ports = Control<QComboBox>(sheet.m_panel, IDC_COM_PORT);
        sim::Options options;
        options.comPort = 3;
        auto converter = std::make_unique<sim::VirtualConverter>(options);
        std::string error;
        fw::CDialog::SetModalObserver([&](fw::CDialog& dialog) {
            const auto row = [&] {
                return dialog.Item<fw::ListView>(IDC_PORTS_LIST).GetText(2, 2);
            };
            QVERIFY(row().find("virtual converter") == std::string::npos);
            QVERIFY2(converter->Start(&error), error.c_str());
            QTRY_VERIFY_WITH_TIMEOUT(row().find("virtual converter") != std::string::npos, 1000);
            dialog.EndDialog(fw::IDCANCEL);
        });
        sheet.OnPorts();
        fw::CDialog::SetModalObserver(nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(Tip(ports, 2).contains("virtual converter"), 1000);

        Choose(ports, 2);
        QVERIFY(ClickConnect(sheet));
        converter->Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet.m_port.IsOpen(), 1000);
        const std::string unplugged = sheet.GetDlgItem(IDC_SHEET_STATUS).GetWindowText();
        QVERIFY2(unplugged.rfind("Not connected.", 0) == 0 &&
                     unplugged.find("\nThe adapter of COM3 was unplugged.") != std::string::npos,
                 unplugged.c_str());
        QVERIFY(log.calls.empty());
        QCOMPARE(sheet.m_panel.GetDlgItem(IDC_CONNECT).GetWindowText(), std::string("&Connect"));
        QVERIFY(ports->isEnabled());
        QVERIFY(!sheet.GetDlgItem(fw::IDCANCEL).IsWindowEnabled());
        QVERIFY(!sheet.m_canPage.IsWindowEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!Tip(ports, 2).contains("virtual converter"), 1000);

        // Back again under the same number: Connect works. Unplugged while a Read waits for a
        // silent converter: the Read ends first, then the port is closed.
        options.fault = sim::Fault::kSilence;
        converter = std::make_unique<sim::VirtualConverter>(options);
        QVERIFY2(converter->Start(&error), error.c_str());
        QVERIFY(ClickConnect(sheet));
        sheet.GetDlgItem(fw::IDCANCEL).Click();
        QVERIFY(sheet.IsExchanging());
        converter->Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet.m_port.IsOpen(), 1000);
        QVERIFY(!sheet.IsExchanging());
        const std::string status = sheet.GetDlgItem(IDC_SHEET_STATUS).GetWindowText();
        QVERIFY2(status.rfind("Not connected.", 0) == 0 &&
                     status.find("\nThe adapter of COM3 was unplugged.") != std::string::npos,
                 status.c_str());
        QVERIFY(log.calls.empty());
    }

    // A COM number pointed at a serial device server: Read and Write through it, and the window
    // notices when the server goes away.
    void aComNumberPointedAtAServerReadsWritesAndNoticesTheLoss() {
        GuiEnvironment env(false);
        sim::Options options;
        options.lineBitRate = 57600;
        sim::VirtualConverter converter(options);
        QVERIFY(converter.Start());
        auto listener = std::make_unique<sim::NetListener>();
        std::string error;
        QVERIFY2(listener->Start("0", true, converter.devicePath(), 9600, &error), error.c_str());
        const std::string address = listener->address();

        CPortMapDlg dialog;
        Inspect(dialog, nullptr, [&](fw::CDialog&) {
            fw::ListView ports = dialog.Item<fw::ListView>(IDC_PORTS_LIST);
            ports.SetCurSel(4);
            Enter(dialog, IDC_PORTS_ADDRESS, "rfc2217://no-port");
            dialog.GetDlgItem(IDC_PORTS_ASSIGN_ADDRESS).Click();
            QVERIFY(dialog.GetDlgItem(IDC_PORTS_STATUS).GetWindowText().find("no port number") !=
                    std::string::npos);
            Enter(dialog, IDC_PORTS_ADDRESS, address);
            dialog.GetDlgItem(IDC_PORTS_ASSIGN_ADDRESS).Click();
            QCOMPARE(ports.GetText(4, 1), address);
            QCOMPARE(ports.GetText(4, 2), std::string("serial device server (RFC 2217)"));
        });

        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        Choose(Control<QComboBox>(sheet.m_panel, IDC_COM_PORT), 4);
        QVERIFY(ClickConnect(sheet));
        ClickButton(sheet, 2);
        QCOMPARE(log.texts().back(), std::string("Read Configration Successfully!"));
        ClickButton(sheet, 12321);
        QCOMPARE(log.texts().back(), std::string("Write Configration Successfully!"));

        // The server goes away while the window sits connected: the port watch sees it.
        listener.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet.m_port.IsOpen(), 3000);
        const std::string status = sheet.GetDlgItem(IDC_SHEET_STATUS).GetWindowText();
        QVERIFY2(status.find("COM5: the connection to " + address.substr(10) + " was lost.") !=
                     std::string::npos,
                 status.c_str());
    }

    // Ctrl+F: a Ternix-B on COM3 and a Ternix-A on COM5 are listed with what they hold, a port
    // another program holds is listed as held, the other ports as absent or silent, and Use chooses
    // the model and the port and connects to it, as the window was connected before the search.
    void findConverterListsWhatAnsweredAndUseChoosesIt() {
        GuiEnvironment env(false);
        MessageLog log;
        std::vector<std::unique_ptr<sim::VirtualConverter>> converters;
        for (auto [port, rate] : {std::pair{3, 19200u}, std::pair{5, 57600u}, std::pair{7, 0u}}) {
            sim::Options options;
            options.comPort = port;
            options.lineBitRate = rate;
            converters.push_back(std::make_unique<sim::VirtualConverter>(options));
            QVERIFY(converters.back()->Start());
        }
        CSerialComm held;  // another program's hold on COM7
        QVERIFY(held.Open("COM7"));
        // COM8 leads to a raw TCP server with a converter behind it: listed once, with no model.
        sim::Options rawOptions;
        rawOptions.lineBitRate = 57600;
        sim::VirtualConverter rawConverter(rawOptions);
        QVERIFY(rawConverter.Start());
        sim::NetListener raw;
        std::string error;
        QVERIFY2(raw.Start("0", false, rawConverter.devicePath(), 57600, &error), error.c_str());
        QVERIFY(RegisterComPort(8, raw.address()));
        TestSheet sheet;
        sheet.Init();
        QApplication::setActiveWindow(sheet.widget());
        // Connected to COM5: the window lets it go, so the search asks it too.
        Choose(Control<QComboBox>(sheet.m_panel, IDC_COM_PORT), 4);
        QVERIFY(ClickConnect(sheet));
        std::vector<std::string> rows;
        fw::CDialog::SetModalObserver([&](fw::CDialog& dialog) {
            auto& find = dynamic_cast<CFindConverterDlg&>(dialog);
            QVERIFY(find.IsSearching());
            QVERIFY(!find.GetDlgItem(IDC_FIND_USE).IsWindowEnabled());
            QTRY_VERIFY_WITH_TIMEOUT(!find.IsSearching(), 3000);
            fw::ListView list = find.Item<fw::ListView>(IDC_FIND_LIST);
            for (int row = 0; row < list.GetCount(); ++row) {
                rows.push_back(list.GetText(row, 0) + " | " + list.GetText(row, 2) + " | " +
                               list.GetText(row, 3));
            }
            list.SetCurSel(0);
            find.GetDlgItem(IDC_FIND_USE).Click();
        });
        QTest::keyClick(sheet.widget(), Qt::Key_F, Qt::ControlModifier);
        fw::CDialog::SetModalObserver(nullptr);
        // The converters first; then COM7, and any of the machine's own ports that another
        // program holds.
        QVERIFY(rows.size() >= 3);
        QVERIFY2(rows[0].rfind("COM3 | Ternix-B (19200 bit/s) | serial 9600 bit/s", 0) == 0,
                 rows[0].c_str());
        QVERIFY2(rows[1].rfind("COM5 | Ternix-A (57600 bit/s) | ", 0) == 0, rows[1].c_str());
        QVERIFY(std::any_of(rows.begin() + 2, rows.end(), [](const std::string& row) {
            return row.rfind("COM7 | held by ", 0) == 0;
        }));
        QCOMPARE(std::count_if(rows.begin(), rows.end(),
                               [](const std::string& row) { return row.rfind("COM8 | ", 0) == 0; }),
                 1L);
        QVERIFY(std::any_of(rows.begin(), rows.end(), [](const std::string& row) {
            return row.rfind("COM8 | the server's line settings (raw TCP) | ", 0) == 0;
        }));
        QVERIFY(std::any_of(rows.begin() + 2, rows.end(), [](const std::string& row) {
            return row.find(" | absent | ") != std::string::npos ||
                   row.find(" | no answer | ") != std::string::npos;
        }));
        QCOMPARE(Control<QComboBox>(sheet.m_panel, IDC_DEVICE)->currentText(), QString("Ternix-B"));
        QCOMPARE(Control<QComboBox>(sheet.m_panel, IDC_COM_PORT)->currentText(), QString("COM3"));
        // Connected before the search: connected to the chosen converter after it.
        QVERIFY(sheet.m_port.IsOpen());
        QVERIFY2(sheet.StatusText().find("Connected to the converter found on COM3.") !=
                     std::string::npos,
                 sheet.StatusText().c_str());
        ClickButton(sheet, fw::IDCANCEL);
        QCOMPARE(log.texts(), std::vector<std::string>{"Read Configration Successfully!"});
        for (auto& c : converters) QCOMPARE(c->stats().writeFrames, 0);
        for (auto& c : converters) c->Stop();
    }

    void aRefusedPortSaysWhy() {
        GuiEnvironment env(false);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(!ConnectToUnpluggedPort(sheet, 3));
        QCOMPARE(log.texts(), std::vector<std::string>{"Invalid serial port!"});
        const std::string& detail = log.calls[0].detail;
        QVERIFY2(detail.find("COM3 is /dev/linkmate-unplugged") != std::string::npos,
                 detail.c_str());
        QVERIFY2(detail.find("not present") != std::string::npos, detail.c_str());
        QVERIFY2(detail.find("No such file or directory") != std::string::npos, detail.c_str());
    }

    void theWindowAnswersHelpAndVersionWithoutADisplay() {
        const auto run = [](const QStringList& args, QString* out) {
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
                environment.remove(variable);
            }
            process.setProcessEnvironment(environment);
            process.start(LINKMATE_APP_PATH, args);
            process.waitForFinished(10000);
            if (out != nullptr)
                *out = process.readAllStandardOutput() + process.readAllStandardError();
            return process.exitCode();
        };
        QString out;
        QCOMPARE(run({"--help"}, &out), 0);
        QVERIFY(out.contains("--port N"));
        QCOMPARE(run({"--version"}, &out), 0);
        QVERIFY(out.contains("2.0.0.1"));
        QCOMPARE(run({"--port", "9"}, &out), 2);
        QCOMPARE(run({"--port", "2x"}, &out), 2);
        QCOMPARE(run({"--model", "C"}, &out), 2);
        QCOMPARE(run({"--lang", "fr"}, &out), 2);
        QCOMPARE(run({"--frobnicate"}, &out), 2);
        QVERIFY(out.contains("--frobnicate"));
        QCOMPARE(run({"--port", "2"}, &out), 1);  // fine options, but no display
        QVERIFY(out.contains("no display"));
    }

    void theStartChoiceWinsOverTheProfile() {
        GuiEnvironment env(false);
        MessageLog log;
        TestSheet sheet;
        sheet.SetStartChoice({1, 4, {}});
        sheet.Init();
        QCOMPARE(Control<QComboBox>(sheet.m_panel, IDC_DEVICE)->currentText(), QString("Ternix-B"));
        QCOMPARE(Control<QComboBox>(sheet.m_panel, IDC_COM_PORT)->currentText(), QString("COM5"));
    }
};

QTEST_MAIN(PortsTest)
#include "ports_test.moc"
