// Labels belong to the controls beside them: a label's mnemonic focuses that control (the shown
// one where single and dual filter edits share the spot, in turn where one letter serves several
// labels), and a screen reader hears each input control by its label.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QTest>

#include "framework/qt/edit_rules.h"
#include "gui_harness.h"
#include "res/resource.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

struct Window {
    GuiEnvironment env{false};
    MessageLog log;
    TestSheet sheet;
    Window() {
        sheet.Init();
        QApplication::setActiveWindow(sheet.widget());
        for (int page = 0; page < 3; ++page) {
            sheet.GetPage(page)->EnableWindow(true);
            sheet.GetPage(page)->SendEnable(true);
        }
    }
    QWidget* AfterMnemonic(Qt::Key key) {
        QTest::keyClick(sheet.widget(), key, Qt::AltModifier);
        return QApplication::focusWidget();
    }
};

// What a screen reader says a control is: its name, except for a list on Linux, whose name is
// its current entry and which is introduced by the label it is labelled by.
QString SpokenName(QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    if (a == nullptr) return "<none>";
    if (qobject_cast<QComboBox*>(widget) == nullptr) return a->text(QAccessible::Name);
    const auto labels = a->relations(QAccessible::Label);
    return labels.size() == 1 ? labels[0].first->text(QAccessible::Name) : "<no single label>";
}

}  // namespace

class LabelsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void mnemonicsFocusTheControlBesideTheLabel() {
        Window w;
        QCOMPARE(w.AfterMnemonic(Qt::Key_P), Control<QWidget>(w.sheet.m_panel, IDC_COM_PORT));
        QCOMPARE(w.AfterMnemonic(Qt::Key_M), Control<QWidget>(w.sheet.m_tranPage, IDC_TRAN_MODE));
        QCOMPARE(w.AfterMnemonic(Qt::Key_D), Control<QWidget>(w.sheet.m_tranPage, IDC_TRAN_DIR));

        w.sheet.SetActivePage(2);
        CCanPage& can = w.sheet.m_canPage;
        QCOMPARE(w.AfterMnemonic(Qt::Key_I), Control<QWidget>(can, IDC_CAN_TX_ID));
        // C is also the panel's "&Connect": the presses take turns, and an ambiguous mnemonic
        // only focuses the button.
        auto* connect = Control<QWidget>(w.sheet.m_panel, IDC_CONNECT);
        Choose(Control<QComboBox>(can, IDC_CAN_FILTER_MODE), 1);
        const QSet<QWidget*> single = {w.AfterMnemonic(Qt::Key_C), w.AfterMnemonic(Qt::Key_C)};
        QCOMPARE(single, (QSet<QWidget*>{connect, Control<QWidget>(can, IDC_CAN_ACCEPT_CODE)}));
        Choose(Control<QComboBox>(can, IDC_CAN_FILTER_MODE), 0);
        // Both halves of the pair carry the label's letter.
        const QSet<QWidget*> dual = {w.AfterMnemonic(Qt::Key_C), w.AfterMnemonic(Qt::Key_C),
                                     w.AfterMnemonic(Qt::Key_C)};
        QCOMPARE(dual, (QSet<QWidget*>{connect, Control<QWidget>(can, IDC_CAN_ACCEPT_CODE1),
                                       Control<QWidget>(can, IDC_CAN_ACCEPT_CODE2)}));
        QVERIFY(!w.sheet.m_port.IsOpen());

        // "&Filter Mode:" and "Frame &Format:" share F: repeated presses move between them.
        QWidget* first = w.AfterMnemonic(Qt::Key_F);
        QWidget* second = w.AfterMnemonic(Qt::Key_F);
        QWidget* third = w.AfterMnemonic(Qt::Key_F);
        const QSet<QWidget*> both = {Control<QWidget>(can, IDC_CAN_FILTER_MODE),
                                     Control<QWidget>(can, IDC_CAN_FRAME_FORMAT)};
        QVERIFY(both.contains(first) && both.contains(second));
        QVERIFY(first != second);
        QCOMPARE(third, first);
    }

    void eachInputControlIsHeardByItsLabel() {
        Window w;
        const struct {
            fw::CDialog* dialog;
            int id;
            const char* name;
        } expected[] = {
            {&w.sheet.m_panel, IDC_DEVICE, "Device:"},
            {&w.sheet.m_panel, IDC_COM_PORT, "COM Port:"},
            {&w.sheet.m_tranPage, IDC_TRAN_MODE, "Conversion Mode:"},
            {&w.sheet.m_tranPage, IDC_TRAN_SPACE, "Interval between two frames:"},
            {&w.sheet.m_tranPage, IDC_TRAN_SPACE_SPIN, "Interval between two frames:"},
            {&w.sheet.m_tranPage, IDC_TRAN_ID_OFFSET, "Offset:"},
            {&w.sheet.m_tranPage, IDC_TRAN_ID_LENGTH_SPIN, "Length:"},
            {&w.sheet.m_tranPage, IDC_TRAN_ALLOW_ID,
             "Allow a serial frames to contain CAN Frame ID"},
            {&w.sheet.m_serialPage, IDC_SERIAL_BAUDRATE, "Baudrate:"},
            {&w.sheet.m_serialPage, IDC_SERIAL_FLOWCTRL, "Flow Ctrl:"},
            {&w.sheet.m_canPage, IDC_CAN_BAUDRATE, "Baudrate:"},
            {&w.sheet.m_canPage, IDC_CAN_BTR0, "BTR0/1:"},
            {&w.sheet.m_canPage, IDC_CAN_BTR1, "BTR0/1:"},
            {&w.sheet.m_canPage, IDC_CAN_FRAME_FORMAT, "Frame Format:"},
            {&w.sheet.m_canPage, IDC_CAN_TX_ID, "Identifier(Tx):"},
            {&w.sheet.m_canPage, IDC_CAN_ACCEPT_CODE, "Acceptance Code:"},
            {&w.sheet.m_canPage, IDC_CAN_ACCEPT_CODE2, "Acceptance Code:"},
            {&w.sheet.m_canPage, IDC_CAN_ACCEPT_MASK1, "Acceptance Mask:"},
            {&w.sheet.m_canPage, IDC_CAN_CUSTOM_MASK, "Custom mask"},
        };
        for (const auto& e : expected) {
            QWidget* control = fw::qt::WidgetOf(e.dialog->GetDlgItem(e.id));
            QVERIFY(control != nullptr);
            QCOMPARE(SpokenName(control), QString(e.name));
        }
    }
};

QTEST_MAIN(LabelsTest)
#include "labels_test.moc"
