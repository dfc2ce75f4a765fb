// The window from the keyboard alone: pages switched with Ctrl+Tab and Ctrl+PgDn, Tab through
// each page in reading order, Alt+letter cycling through the controls that share a mnemonic.
#include <QApplication>
#include <QComboBox>
#include <QTabBar>
#include <QTest>

#include "gui_harness.h"
#include "res/resource.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

QWidget* TabBar(TestSheet& sheet) { return sheet.widget()->findChild<QTabBar*>(); }

// Shows the window, connected, with the keyboard focus on its tab row.
void Start(TestSheet& sheet) {
    sheet.Init();
    sheet.widget()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(sheet.widget()));
    TabBar(sheet)->setFocus();
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void ctrlTabAndCtrlPageKeysSwitchPagesEvenFromAList() {
        GuiEnvironment env;
        TestSheet sheet;
        Start(sheet);
        QVERIFY(ClickConnect(sheet));
        const int mode = sheet.m_tranPage.Item<fw::ComboBox>(IDC_TRAN_MODE).GetCurSel();
        Control<QComboBox>(sheet.m_tranPage, IDC_TRAN_MODE)->setFocus();
        Key(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(sheet.GetActiveIndex(), 1);
        QCOMPARE(sheet.m_tranPage.Item<fw::ComboBox>(IDC_TRAN_MODE).GetCurSel(), mode);
        // The new page's first field has the focus.
        QVERIFY(sheet.m_serialPage.GetDlgItem(IDC_SERIAL_BAUDRATE).HasFocus());
        Key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(sheet.GetActiveIndex(), 2);
        Key(Qt::Key_Tab, Qt::ControlModifier);  // around the end
        QCOMPARE(sheet.GetActiveIndex(), 0);
        Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(sheet.GetActiveIndex(), 2);
        Key(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(sheet.GetActiveIndex(), 1);
        // Locked tabs (an exchange running) stay where they are.
        sheet.GetDlgItem(fw::AFX_IDC_TAB_CONTROL).EnableWindow(false);
        QTest::keyClick(sheet.widget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(sheet.GetActiveIndex(), 1);
    }

    void tabVisitsTabsThenFieldsInReadingOrderThenButtonsThenPanel() {
        GuiEnvironment env;
        TestSheet sheet;
        Start(sheet);
        QVERIFY(ClickConnect(sheet));
        const std::vector<std::pair<fw::CDialog*, std::vector<int>>> pages = {
            {&sheet.m_tranPage,
             {IDC_TRAN_MODE, IDC_TRAN_DIR, IDC_TRAN_ALLOW_INFO, IDC_TRAN_ALLOW_ID,
              IDC_TRAN_ID_OFFSET, IDC_TRAN_ID_LENGTH, IDC_TRAN_SPACE}},
            {&sheet.m_serialPage,
             {IDC_SERIAL_BAUDRATE, IDC_SERIAL_DATABITS, IDC_SERIAL_PARITY, IDC_SERIAL_STOPBITS,
              IDC_SERIAL_FLOWCTRL}},
            {&sheet.m_canPage,
             {IDC_CAN_BAUDRATE, IDC_CAN_BTR0, IDC_CAN_BTR1, IDC_CAN_FRAME_FORMAT, IDC_CAN_TX_ID,
              IDC_CAN_FILTER_MODE, IDC_CAN_CUSTOM_MASK, IDC_CAN_ACCEPT_CODE, IDC_CAN_ACCEPT_CODE1,
              IDC_CAN_ACCEPT_CODE2, IDC_CAN_ACCEPT_MASK, IDC_CAN_ACCEPT_MASK1,
              IDC_CAN_ACCEPT_MASK2}},
        };
        for (int index = 0; index < 3; ++index) {
            sheet.SetActivePage(index);
            std::vector<QWidget*> expected;
            const auto add = [&](const fw::CDialog& dialog, int id) {
                if (dialog.GetDlgItem(id).CanTakeFocus())
                    expected.push_back(fw::qt::WidgetOf(dialog.GetDlgItem(id)));
            };
            for (int id : pages[static_cast<size_t>(index)].second)
                add(*pages[static_cast<size_t>(index)].first, id);
            for (int id : {fw::IDOK, fw::IDCANCEL, fw::ID_APPLY_NOW}) {
                expected.push_back(fw::qt::WidgetOf(sheet.GetDlgItem(id)));
            }
            for (int id : {IDC_DEVICE, IDC_COM_PORT, IDC_CONNECT}) add(sheet.m_panel, id);
            expected.push_back(TabBar(sheet));
            QVERIFY(expected.size() > 5);
            TabBar(sheet)->setFocus();
            for (QWidget* next : expected) {
                Key(Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), next);
            }
            Key(Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), expected[expected.size() - 2]);
        }
    }

    void sharedMnemonicsCycleAndAnOnlyButtonIsPressed() {
        GuiEnvironment env;
        TestSheet sheet;
        Start(sheet);
        // Disconnected: the pages are disabled, so "&Connect" is the only C and is pressed.
        QTest::keyClick(sheet.widget(), Qt::Key_C, Qt::AltModifier);
        QVERIFY(sheet.m_port.IsOpen());
        sheet.SetActivePage(2);
        // "Frame &Format" and "&Filter Mode" on one page, in reading order, around the end.
        const fw::Control format = sheet.m_canPage.GetDlgItem(IDC_CAN_FRAME_FORMAT);
        const fw::Control filter = sheet.m_canPage.GetDlgItem(IDC_CAN_FILTER_MODE);
        for (const fw::Control& next : {format, filter, format}) {
            Key(Qt::Key_F, Qt::AltModifier);
            QVERIFY(next.HasFocus());
        }
        // "&Default" below the page and "Dis&connect"/"&Device" above: D reaches Default only now
        // that the model list is locked, and presses it; C cycles Acceptance Code and Disconnect
        // without disconnecting.
        const fw::Control code = sheet.m_canPage.GetDlgItem(IDC_CAN_ACCEPT_CODE);
        const fw::Control connect = sheet.m_panel.GetDlgItem(IDC_CONNECT);
        for (const fw::Control& next : {code, connect, code}) {
            Key(Qt::Key_C, Qt::AltModifier);
            QVERIFY(next.HasFocus());
        }
        QVERIFY(sheet.m_port.IsOpen());
        Enter(sheet.m_canPage, IDC_CAN_TX_ID, "12");
        Key(Qt::Key_D, Qt::AltModifier);
        QCOMPARE(sheet.m_canPage.GetDlgItem(IDC_CAN_TX_ID).GetWindowText(),
                 std::string("00 00 00 00"));
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
