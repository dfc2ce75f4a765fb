// What the timing bytes mean, on the CAN page: the tooltips follow what is typed, and the
// calculator's "Use" puts a pair into BTR0/BTR1 with Custom selected, sending nothing.
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/bit_timing_dlg.h"
#include "gui_harness.h"
#include "res/resource.h"

using namespace linkmate;
using namespace linkmate::guitest;

class BitTimingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void tooltipsSayWhatTheBytesGive() {
        GuiEnvironment env(false);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        CCanPage& can = sheet.m_canPage;
        can.EnableWindow(true);
        can.SendEnable(true);
        auto* rates = Control<QComboBox>(can, IDC_CAN_BAUDRATE);
        QVERIFY(rates->itemData(10, Qt::ToolTipRole)
                    .toString()
                    .contains("250.000 kbit/s, sample point 87.5 %"));
        QVERIFY(rates->itemData(13, Qt::ToolTipRole).toString().contains("666.667 kbit/s"));
        Choose(rates, 0);
        QLineEdit* btr0 = Control<QLineEdit>(can, IDC_CAN_BTR0);
        QLineEdit* btr1 = Control<QLineEdit>(can, IDC_CAN_BTR1);
        Retype(btr0, "05");
        Retype(btr1, "1c");
        QCOMPARE(btr0->toolTip(), QString("83.333 kbit/s, sample point 87.5 %, 16 quanta, SJW 1"));
        QCOMPARE(btr1->toolTip(), btr0->toolTip());
        QCOMPARE(rates->toolTip(), btr0->toolTip());
        Retype(btr0, "40");  // SJW 2 over a TSEG2 of 1: the tip says so
        Retype(btr1, "00");
        QVERIFY2(btr0->toolTip().contains("\nWarning: SJW 2 is longer than TSEG2 1"),
                 qPrintable(btr0->toolTip()));
        Retype(btr1, "x");
        QVERIFY(btr0->toolTip().startsWith("BTR0 and BTR1: two hex bytes"));
    }

    void theCalculatorsUseFillsTheTimingAndSendsNothing() {
        GuiEnvironment env;
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QApplication::setActiveWindow(sheet.widget());
        QVERIFY(ClickConnect(sheet));
        std::string socketCan;
        fw::CDialog::SetModalObserver([&](fw::CDialog& dialog) {
            dialog.GetDlgItem(IDC_TIMING_RATE).SetWindowText("95.238k");
            dialog.GetDlgItem(IDC_TIMING_CALCULATE).Click();
            socketCan = dialog.GetDlgItem(IDC_TIMING_SOCKETCAN).GetWindowText();
            dialog.GetDlgItem(IDC_TIMING_USE).Click();
        });
        QTest::keyClick(sheet.widget(), Qt::Key_B, Qt::ControlModifier);
        fw::CDialog::SetModalObserver(nullptr);
        CCanPage& can = sheet.m_canPage;
        QCOMPARE(sheet.GetActiveIndex(), 2);
        QCOMPARE(Control<QComboBox>(can, IDC_CAN_BAUDRATE)->currentIndex(), 0);
        QVERIFY(Control<QLineEdit>(can, IDC_CAN_BTR0)->isEnabled());
        const QString tip = Control<QLineEdit>(can, IDC_CAN_BTR0)->toolTip();
        QVERIFY2(tip.startsWith("95.238 kbit/s, sample point 85.7 %"), qPrintable(tip));
        QCOMPARE(env.converter()->stats().writeFrames, 0);
        QVERIFY2(
            socketCan.find(
                "ip link set can0 type can bitrate 95238 sample-point 0.875\n"
                "ip link set can0 type can tq 750 prop-seg 5 phase-seg1 6 phase-seg2 2 sjw 1") !=
                std::string::npos,
            socketCan.c_str());

        ClickButton(sheet, fw::ID_APPLY_NOW);
        const DeviceConfig held = env.converter()->storedConfig();
        QCOMPARE(held.can.CanBaudrate, 0);
        QCOMPARE(QString::fromStdString(held.can.CanBTR0),
                 Control<QLineEdit>(can, IDC_CAN_BTR0)->text());
    }
};

QTEST_MAIN(BitTimingTest)
#include "bit_timing_test.moc"
