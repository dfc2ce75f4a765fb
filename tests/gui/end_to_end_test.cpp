// The whole tool against the virtual converter: connect, read, edit all three pages, write; the
// converter must hold exactly the frame the edited settings give, and a new window must show
// what was saved.
#include <QCheckBox>
#include <QTest>

#include "gui_harness.h"
#include "protocol/frame_codec.h"
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
            Choose(Control<QComboBox>(tran, IDC_TRAN_MODE), 1);
            Choose(Control<QComboBox>(tran, IDC_TRAN_DIR), 2);
            Retype(Control<QLineEdit>(tran, IDC_TRAN_SPACE), "300");
            Retype(Control<QLineEdit>(tran, IDC_TRAN_ID_OFFSET), "3");
            Retype(Control<QLineEdit>(tran, IDC_TRAN_ID_LENGTH), "2");

            // Serial page.
            sheet.SetActivePage(1);
            Choose(Control<QComboBox>(sheet.m_serialPage, IDC_SERIAL_BAUDRATE), 6);
            Choose(Control<QComboBox>(sheet.m_serialPage, IDC_SERIAL_PARITY), 3);

            // CAN page: custom timing, extended frames, dual filter with a custom mask.
            sheet.SetActivePage(2);
            CCanPage& can = sheet.m_canPage;
            Choose(Control<QComboBox>(can, IDC_CAN_BAUDRATE), 0);
            Retype(Control<QLineEdit>(can, IDC_CAN_BTR0), "3f");
            Retype(Control<QLineEdit>(can, IDC_CAN_BTR1), "c0");
            Choose(Control<QComboBox>(can, IDC_CAN_FRAME_FORMAT), 1);
            Retype(Control<QLineEdit>(can, IDC_CAN_TX_ID), "1f ff ff ff");
            Choose(Control<QComboBox>(can, IDC_CAN_FILTER_MODE), 0);
            // The read left the box ticked (the converter's mask is not zero); keep it so.
            QCheckBox* custom = Control<QCheckBox>(can, IDC_CAN_CUSTOM_MASK);
            if (!custom->isChecked()) custom->click();
            QVERIFY(Control<QLineEdit>(can, IDC_CAN_ACCEPT_MASK1)->isEnabled());
            Retype(Control<QLineEdit>(can, IDC_CAN_ACCEPT_CODE1), "12 34");
            Retype(Control<QLineEdit>(can, IDC_CAN_ACCEPT_CODE2), "ab cd");
            Retype(Control<QLineEdit>(can, IDC_CAN_ACCEPT_MASK1), "00 ff");
            Retype(Control<QLineEdit>(can, IDC_CAN_ACCEPT_MASK2), "ff 00");

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
            // What the window sent is exactly what the converter stored.
            QCOMPARE(env.converter()->received().back(),
                     std::vector<uint8_t>(frame.begin(), frame.end()));
            sheet.Close();
        }

        // A new window shows the saved profile (the dual halves are not kept).
        TestSheet again;
        again.Init();
        QCOMPARE(Control<QLineEdit>(again.m_canPage, IDC_CAN_BTR0)->text(), QString("3f"));
        QCOMPARE(Control<QLineEdit>(again.m_canPage, IDC_CAN_TX_ID)->text(), QString("1f ff ff ff"));
        QCOMPARE(Control<QComboBox>(again.m_canPage, IDC_CAN_FILTER_MODE)->currentIndex(), 0);
        QCOMPARE(Control<QLineEdit>(again.m_canPage, IDC_CAN_ACCEPT_CODE1)->text(), QString("00 00"));
        QCOMPARE(Control<QComboBox>(again.m_serialPage, IDC_SERIAL_BAUDRATE)->currentText(), QString("19200"));
        QCOMPARE(Control<QComboBox>(again.m_serialPage, IDC_SERIAL_PARITY)->currentText(), QString("2 stop bits"));
        QCOMPARE(Control<QLineEdit>(again.m_tranPage, IDC_TRAN_SPACE)->text(), QString("300"));
        QCOMPARE(Control<QComboBox>(again.m_tranPage, IDC_TRAN_DIR)->currentIndex(), 2);
        QCOMPARE(Control<QComboBox>(again.m_panel, IDC_DEVICE)->currentText(), QString("Ternix-A"));
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
