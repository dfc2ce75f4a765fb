// The CAN page and its hexadecimal edits: presets and "Custom", the mask rule on every trigger,
// the single/dual layout, typing limits and filtering, enabling.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QTest>

#include "gui_harness.h"
#include "profile/settings_profile.h"
#include "res/resource.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

// A window whose CAN page is current and enabled, as after connecting.
struct CanFixture {
    GuiEnvironment env{false};
    TestSheet sheet;
    CCanPage& page = sheet.m_canPage;

    CanFixture() {
        sheet.Init();
        sheet.SetActivePage(2);
        page.EnableWindow(true);
        page.SendEnable(true);
    }
    QLineEdit* Edit(int id) { return Control<QLineEdit>(page, id); }
    QComboBox* List(int id) { return Control<QComboBox>(page, id); }
    QCheckBox* CustomMask() { return Control<QCheckBox>(page, IDC_CAN_CUSTOM_MASK); }
    QString Text(int id) { return Edit(id)->text(); }
};

}  // namespace

class CanPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void presetsAndCustom() {
        CanFixture f;
        Choose(f.List(IDC_CAN_BAUDRATE), 13);
        QCOMPARE(f.Text(IDC_CAN_BTR0), QString("80"));
        QCOMPARE(f.Text(IDC_CAN_BTR1), QString("B6"));
        QVERIFY(!f.Edit(IDC_CAN_BTR0)->isEnabled());

        // "Custom" keeps the preset's texts and lets them be typed.
        Choose(f.List(IDC_CAN_BAUDRATE), 0);
        QCOMPARE(f.Text(IDC_CAN_BTR0), QString("80"));
        QVERIFY(f.Edit(IDC_CAN_BTR0)->isEnabled());
        QVERIFY(f.Edit(IDC_CAN_BTR1)->isEnabled());
        Retype(f.Edit(IDC_CAN_BTR0), "3f");
        f.page.ExchangeData(true);
        QCOMPARE(f.page.can.CanBTR0, std::string("3f"));  // lower case kept

        // A preset after "Custom" replaces the typed texts and locks them.
        Choose(f.List(IDC_CAN_BAUDRATE), 15);
        QCOMPARE(f.Text(IDC_CAN_BTR0), QString("00"));
        QCOMPARE(f.Text(IDC_CAN_BTR1), QString("14"));
        QVERIFY(!f.Edit(IDC_CAN_BTR1)->isEnabled());
    }

    void rateOutsideTheTableNeverIndexesIt() {
        CanFixture f;
        f.page.can.CanBaudrate = 42;
        f.page.can.CanBTR0 = "AA";
        f.page.ExchangeData(false);  // the list now has no selection
        f.page.RefreshCanControls();
        QCOMPARE(f.page.can.CanBaudrate, -1);
        QCOMPARE(f.Text(IDC_CAN_BTR0), QString("AA"));
        QVERIFY(!f.Edit(IDC_CAN_BTR0)->isEnabled());
    }

    void maskRuleOnEveryTrigger() {
        CanFixture f;
        Retype(f.Edit(IDC_CAN_ACCEPT_CODE), "11 22 33 44");
        // Ticking: all ones, editable.
        f.CustomMask()->click();
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_MASK), QString("FF FF FF FF"));
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_MASK1), QString("FF FF"));
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_MASK2), QString("FF FF"));
        QVERIFY(f.Edit(IDC_CAN_ACCEPT_MASK)->isEnabled());

        // A typed mask lasts until the next trigger, whichever list it is.
        for (int list : {IDC_CAN_FRAME_FORMAT, IDC_CAN_FILTER_MODE, IDC_CAN_BAUDRATE}) {
            Retype(f.Edit(IDC_CAN_ACCEPT_MASK), "00 00 00 0F");
            QCOMPARE(f.Text(IDC_CAN_ACCEPT_MASK), QString("00 00 00 0F"));
            Choose(f.List(list), f.List(list)->currentIndex() == 0 ? 1 : 0);
            QCOMPARE(f.Text(IDC_CAN_ACCEPT_MASK), QString("FF FF FF FF"));
        }
        // Clearing: zero, locked. The codes survive every run of the rule.
        f.CustomMask()->click();
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_MASK), QString("00 00 00 00"));
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_MASK2), QString("00 00"));
        QVERIFY(!f.Edit(IDC_CAN_ACCEPT_MASK)->isEnabled());
        QVERIFY(!f.Edit(IDC_CAN_ACCEPT_MASK1)->isEnabled());
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_CODE), QString("11 22 33 44"));
    }

    void dualAndSingleLayoutKeepBothForms() {
        CanFixture f;
        Choose(f.List(IDC_CAN_FILTER_MODE), 1);
        QVERIFY(f.Edit(IDC_CAN_ACCEPT_CODE)->isVisible());
        QVERIFY(!f.Edit(IDC_CAN_ACCEPT_CODE1)->isVisible());
        Retype(f.Edit(IDC_CAN_ACCEPT_CODE), "01 02 03 04");

        Choose(f.List(IDC_CAN_FILTER_MODE), 0);
        for (int id : {IDC_CAN_ACCEPT_CODE1, IDC_CAN_ACCEPT_CODE2, IDC_CAN_ACCEPT_MASK1,
                       IDC_CAN_ACCEPT_MASK2}) {
            QVERIFY(f.Edit(id)->isVisible());
        }
        QVERIFY(!f.Edit(IDC_CAN_ACCEPT_CODE)->isVisible());
        QVERIFY(!f.Edit(IDC_CAN_ACCEPT_MASK)->isVisible());
        // The half edits lie over the single edit, each half as wide.
        const QRect single = f.Edit(IDC_CAN_ACCEPT_CODE)->geometry();
        QCOMPARE(f.Edit(IDC_CAN_ACCEPT_CODE1)->geometry().topLeft(), single.topLeft());
        QVERIFY(qAbs(f.Edit(IDC_CAN_ACCEPT_CODE1)->width() * 2 - single.width()) <= 1);
        Retype(f.Edit(IDC_CAN_ACCEPT_CODE2), "ab cd");

        // The hidden form is still exchanged and keeps its text.
        f.page.ExchangeData(true);
        QCOMPARE(f.page.can.CanAcptCode, std::string("01 02 03 04"));
        QCOMPARE(f.page.can.CanAcptCode2, std::string("ab cd"));
        Choose(f.List(IDC_CAN_FILTER_MODE), 1);
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_CODE), QString("01 02 03 04"));
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_CODE2), QString("ab cd"));
    }

    void typingStopsAtTheLimitButProgramTextDoesNot() {
        CanFixture f;
        Choose(f.List(IDC_CAN_BAUDRATE), 0);
        const struct {
            int id;
            int limit;
        } limits[] = {{IDC_CAN_BTR0, 2}, {IDC_CAN_TX_ID, 11}, {IDC_CAN_ACCEPT_CODE, 11}};
        for (const auto& l : limits) {
            Retype(f.Edit(l.id), "1234567890abcdef1234");
            QCOMPARE(f.Text(l.id).size(), l.limit);
        }
        Choose(f.List(IDC_CAN_FILTER_MODE), 0);
        Retype(f.Edit(IDC_CAN_ACCEPT_CODE1), "1 2 3 4 5 6");
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_CODE1), QString("1 2 3"));

        // Set by the program (a Read, the profile, a rule): never cut.
        f.page.can.CanID = "12 34 56 78 9A BC";
        f.page.ExchangeData(false);
        QCOMPARE(f.Text(IDC_CAN_TX_ID), QString("12 34 56 78 9A BC"));
        // ... and typing into a text already over the limit adds nothing.
        f.Edit(IDC_CAN_TX_ID)->end(false);
        QTest::keyClicks(f.Edit(IDC_CAN_TX_ID), "D");
        QCOMPARE(f.Text(IDC_CAN_TX_ID), QString("12 34 56 78 9A BC"));
        QTest::keyClick(f.Edit(IDC_CAN_TX_ID), Qt::Key_Backspace);
        QCOMPARE(f.Text(IDC_CAN_TX_ID), QString("12 34 56 78 9A B"));

        // A paste is cut to the room that is left.
        QApplication::clipboard()->setText("ABCDEFGH");
        f.Edit(IDC_CAN_ACCEPT_CODE)->setText("00 00");
        f.Edit(IDC_CAN_ACCEPT_CODE)->end(false);
        QTest::keyClick(f.Edit(IDC_CAN_ACCEPT_CODE), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_CODE), QString("00 00ABCDEF"));

        // So is Paste from the context menu.
        QLineEdit* half = f.Edit(IDC_CAN_ACCEPT_CODE1);
        half->setText("1");
        half->end(false);
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            for (QAction* action : menu->actions()) {
                if (action->text().startsWith("&Paste")) action->trigger();
            }
            menu->close();
        });
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2),
                                    half->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(half, &menuEvent);
        QCOMPARE(half->text(), QString("1ABCD"));
    }

    void hexEditFiltersTypingOnly() {
        CanFixture f;
        QCOMPARE(f.page.hexEdits().size(), size_t{9});
        for (const CHexEdit& hex : f.page.hexEdits()) QVERIFY(hex.IsAttached());

        QLineEdit* edit = f.Edit(IDC_CAN_TX_ID);
        edit->clear();
        QTest::keyClicks(edit, "g-x:1a F");
        QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier,
                           QString::fromUtf8("\xC3\xA9"));
        QApplication::sendEvent(edit, &accented);
        QCOMPARE(edit->text(), QString("1a F"));
        // Ctrl+X, Ctrl+Z and Ctrl+A are dropped; Delete and the arrows work.
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(edit->text(), QString("1a F"));
        edit->setCursorPosition(0);
        QTest::keyClick(edit, Qt::Key_Right);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QString("1 F"));
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(edit->text(), QString("1 F"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QString(" F"));

        // Copy and paste reach the edit; pasted text is not filtered.
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString(" F"));
        QApplication::clipboard()->setText("zz-9");
        edit->clear();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QString("zz-9"));
        // The context menu's commands are the edit's own.
        edit->undo();
        QCOMPARE(edit->text(), QString(""));

        // Text set by the program is never filtered.
        edit->setText("not hex!");
        QCOMPARE(edit->text(), QString("not hex!"));
        QVERIFY(CHexEdit::IsAccepted(0x16) && CHexEdit::IsAccepted(0x03));
        QVERIFY(!CHexEdit::IsAccepted(0x18) && !CHexEdit::IsAccepted(0x01));
    }

    void disablingAndEnablingThePage() {
        CanFixture f;
        f.CustomMask()->click();  // ticked: masks editable
        Choose(f.List(IDC_CAN_BAUDRATE), 0);
        f.page.EnableWindow(false);
        for (int id : {IDC_CAN_BAUDRATE, IDC_CAN_FRAME_FORMAT, IDC_CAN_FILTER_MODE}) {
            QVERIFY(!f.List(id)->isEnabled());
        }
        QVERIFY(!f.CustomMask()->isEnabled());

        Retype(f.Edit(IDC_CAN_ACCEPT_MASK), "00 00 00 01");  // disabled: nothing typed
        f.page.can.CanAcptMask = "12 34 56 78";
        f.page.ExchangeData(false);
        f.page.EnableWindow(true);
        // Enabling re-applies the rules from the current values.
        QVERIFY(f.Edit(IDC_CAN_BTR0)->isEnabled());
        QVERIFY(f.Edit(IDC_CAN_ACCEPT_MASK)->isEnabled());
        QCOMPARE(f.Text(IDC_CAN_ACCEPT_MASK), QString("FF FF FF FF"));
        QVERIFY(f.Edit(IDC_CAN_TX_ID)->isEnabled());
        // The same notification twice gives the same result.
        f.page.SendEnable(true);
        QVERIFY(f.Edit(IDC_CAN_ACCEPT_MASK)->isEnabled());
        QVERIFY(f.Edit(IDC_CAN_BTR1)->isEnabled());
    }

    void profileMaskGivesWayOnFirstEnable() {
        GuiEnvironment env(false);
        {
            DeviceConfig saved;
            saved.can.CanAcptMask = "00 00 12 34";
            saved.can.CanBTR0 = "00";
            saved.can.CanBTR1 = "14";
            SaveProfile(saved);
        }
        TestSheet sheet;
        sheet.Init();
        QLineEdit* mask = Control<QLineEdit>(sheet.m_canPage, IDC_CAN_ACCEPT_MASK);
        QCOMPARE(mask->text(), QString("00 00 12 34"));  // shown as loaded
        sheet.m_canPage.EnableWindow(true);
        QCOMPARE(mask->text(), QString("00 00 00 00"));  // the box is clear after a start
        QCOMPARE(Control<QLineEdit>(sheet.m_canPage, IDC_CAN_BTR0)->text(), QString("01"));
    }
};

QTEST_MAIN(CanPageTest)
#include "can_page_test.moc"
