// The whole tool against the virtual converter: connect, read, edit all three pages, write; the
// converter must hold exactly the frame the edited settings give, and a new window must show
// what was saved.
#include <QTest>

#include <algorithm>

#include "gui_harness.h"
#include "protocol/config_lists.h"
#include "protocol/frame_codec.h"
#include "protocol/text.h"
#include "res/resource.h"

using namespace linkmate;
using namespace linkmate::guitest;

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void readEditWriteAndRestart() {
        GuiEnvironment env;
        MessageLog log;
        DeviceConfig expected;
        {
            TestSheet sheet;
            sheet.Init();
            QVERIFY(ClickConnect(sheet));
            ClickButton(sheet, 2);
            QCOMPARE(log.texts().back(), std::string("Read Configration Successfully!"));

            // Conversion page.
            CTranPage& tran = sheet.m_tranPage;
            Choose(tran, IDC_TRAN_MODE, 1);
            Choose(tran, IDC_TRAN_DIR, 2);
            Enter(tran, IDC_TRAN_SPACE, "300");
            Enter(tran, IDC_TRAN_ID_OFFSET, "3");
            Enter(tran, IDC_TRAN_ID_LENGTH, "2");

            // Serial page.
            sheet.SetActivePage(1);
            Choose(sheet.m_serialPage, IDC_SERIAL_BAUDRATE, 6);
            Choose(sheet.m_serialPage, IDC_SERIAL_PARITY, 3);

            // CAN page: custom timing, extended frames, dual filter with a custom mask.
            sheet.SetActivePage(2);
            CCanPage& can = sheet.m_canPage;
            Choose(can, IDC_CAN_BAUDRATE, 0);
            Enter(can, IDC_CAN_BTR0, "3f");
            Enter(can, IDC_CAN_BTR1, "c0");
            Choose(can, IDC_CAN_FRAME_FORMAT, 1);
            Enter(can, IDC_CAN_TX_ID, "1f ff ff ff");
            Choose(can, IDC_CAN_FILTER_MODE, 0);
            // The read left the box ticked (the converter's mask is not zero); keep it so.
            fw::CheckBox custom = can.Item<fw::CheckBox>(IDC_CAN_CUSTOM_MASK);
            if (custom.GetCheck() != 1) custom.Click();
            QVERIFY(can.GetDlgItem(IDC_CAN_ACCEPT_MASK1).IsWindowEnabled());
            Enter(can, IDC_CAN_ACCEPT_CODE1, "12 34");
            Enter(can, IDC_CAN_ACCEPT_CODE2, "ab cd");
            Enter(can, IDC_CAN_ACCEPT_MASK1, "00 ff");
            Enter(can, IDC_CAN_ACCEPT_MASK2, "ff 00");

            ClickButton(sheet, 12321);
            QCOMPARE(log.texts().back(), std::string("Write Configration Successfully!"));

            expected.serial = {6, 3, 3, 0, 2};
            expected.can.CanBaudrate = 0;
            expected.can.CanBTR0 = "3f";
            expected.can.CanBTR1 = "c0";
            expected.can.CanFrameType = 1;
            expected.can.CanFiterMode = 0;
            expected.can.CanID = "1f ff ff ff";
            expected.can.CanAcptCode1 = "12 34";
            expected.can.CanAcptCode2 = "ab cd";
            expected.can.CanAcptMask1 = "00 ff";
            expected.can.CanAcptMask2 = "ff 00";
            expected.tran = {1, 2, 300, 0, 0, 3, 2};
            const ConfigFrame frame = EncodeConfigFrame(expected);
            QCOMPARE(env.converter()->storedFrame(), frame);
            QCOMPARE(frame[22], uint8_t{0x2C});  // 300, low byte
            QCOMPARE(frame[16], uint8_t{0xFF});  // second mask half first: FF 00
            // What the window sent is exactly what the converter stored, then it read it back.
            const auto received = env.converter()->received();
            const std::vector<uint8_t> sent(frame.begin(), frame.end());
            const auto written = std::find(received.begin(), received.end(), sent);
            QVERIFY(written != received.end());
            QVERIFY(std::next(written) != received.end());  // the read-back
            sheet.Close();
        }

        // A new window shows the saved profile (the dual halves are not kept).
        TestSheet again;
        again.Init();
        QCOMPARE(again.m_canPage.GetDlgItem(IDC_CAN_BTR0).GetWindowText(), std::string("3f"));
        QCOMPARE(again.m_canPage.GetDlgItem(IDC_CAN_TX_ID).GetWindowText(),
                 std::string("1f ff ff ff"));
        QCOMPARE(again.m_canPage.Item<fw::ComboBox>(IDC_CAN_FILTER_MODE).GetCurSel(), 0);
        QCOMPARE(again.m_canPage.GetDlgItem(IDC_CAN_ACCEPT_CODE1).GetWindowText(),
                 std::string("00 00"));
        QCOMPARE(again.m_serialPage.GetDlgItem(IDC_SERIAL_BAUDRATE).GetWindowText(),
                 std::string("19200"));
        QCOMPARE(again.m_serialPage.GetDlgItem(IDC_SERIAL_PARITY).GetWindowText(),
                 std::string("2 stop bits"));
        QCOMPARE(again.m_tranPage.GetDlgItem(IDC_TRAN_SPACE).GetWindowText(), std::string("300"));
        QCOMPARE(again.m_tranPage.Item<fw::ComboBox>(IDC_TRAN_DIR).GetCurSel(), 2);
        QCOMPARE(again.m_panel.GetDlgItem(IDC_DEVICE).GetWindowText(), std::string("Ternix-A"));
    }

    // A converter that acknowledges but keeps its old values: the read-back names each field by
    // its page and label with the values as the page shows them, nothing is saved and the page
    // keeps what was typed.
    void writeThatDidNotTakeIsReportedAndNotSaved() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(ClickConnect(sheet));
        ClickButton(sheet, 2);
        env.converter()->SetFault(sim::Fault::kForgetful);
        Choose(sheet.m_tranPage, IDC_TRAN_MODE, 1);
        Enter(sheet.m_tranPage, IDC_TRAN_SPACE, "7");
        const int rate = sheet.m_canPage.can.CanBaudrate;
        const int chosen = rate == 12 ? 11 : 12;
        Choose(sheet.m_canPage, IDC_CAN_BAUDRATE, chosen);
        ClickButton(sheet, 12321);
        QCOMPARE(log.texts().back(),
                 std::string("The converter answered, but it holds other values than you wrote."));
        const std::string& detail = log.calls.back().detail;
        QVERIFY2(detail.find("Conversion page, Interval between two frames: you wrote 7;") !=
                     std::string::npos,
                 detail.c_str());
        const auto entry = [](int i) {
            return "\"" + text::Unbroken(lists::CanBaudrate.at(static_cast<size_t>(i))) + "\"";
        };
        QVERIFY2(detail.find("CAN page, Baudrate: you wrote " + entry(chosen) +
                             "; the converter holds " + entry(rate) + ".") != std::string::npos,
                 detail.c_str());
        QVERIFY2(detail.find("TranSpace") == std::string::npos, detail.c_str());
        QCOMPARE(sheet.m_tranPage.GetDlgItem(IDC_TRAN_SPACE).GetWindowText(), std::string("7"));
        sheet.Close();
        TestSheet again;
        again.Init();
        QVERIFY(again.m_tranPage.GetDlgItem(IDC_TRAN_SPACE).GetWindowText() != "7");
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
