// Every way text enters a limited or filtered edit obeys the limit and the filter: typing, the
// clipboard, a middle-click paste of the selection, an input method's commit, a drop. Runs on a
// display with a selection clipboard (a virtual X server in the test run) where there is one.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

#include "gui_harness.h"
#include "res/resource.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

struct Pages {
    GuiEnvironment env{false};
    MessageLog log;
    TestSheet sheet;
    Pages() {
        sheet.Init();
        for (int page = 0; page < 3; ++page) {
            sheet.GetPage(page)->EnableWindow(true);
            sheet.GetPage(page)->SendEnable(true);
        }
        Choose(Control<QComboBox>(sheet.m_canPage, IDC_CAN_BAUDRATE), 0);  // BTR editable
        Choose(Control<QComboBox>(sheet.m_tranPage, IDC_TRAN_MODE), 1);    // numbers editable
    }
    QLineEdit* Can(int id) { return Control<QLineEdit>(sheet.m_canPage, id); }
    QLineEdit* Tran(int id) { return Control<QLineEdit>(sheet.m_tranPage, id); }
};

// An input method commits `text` (as a Chinese IME does after composing).
void Commit(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
}

void MiddleClick(QLineEdit* edit) {
    const QPoint at(edit->width() - 3, edit->height() / 2);
    QTest::mousePress(edit, Qt::MiddleButton, {}, at);
    QTest::mouseRelease(edit, Qt::MiddleButton, {}, at);
}

const QString kLong = "0123456789ABCDEF0123456789ABCDEF";

}  // namespace

class InputPathsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void inputMethodTextIsFilteredAndCut() {
        Pages p;
        QLineEdit* btr0 = p.Can(IDC_CAN_BTR0);
        btr0->clear();
        Commit(btr0, QString::fromUtf8("中1文f2"));
        QCOMPARE(btr0->text(), QString("1f"));

        QLineEdit* id = p.Can(IDC_CAN_TX_ID);
        id->clear();
        Commit(id, QString::fromUtf8("零 ") + kLong);
        QCOMPARE(id->text(), QString(" 0123456789"));

        QLineEdit* offset = p.Tran(IDC_TRAN_ID_OFFSET);
        offset->clear();
        Commit(offset, QString::fromUtf8("１2x3 "));
        QCOMPARE(offset->text(), QString("23"));
        QVERIFY(p.sheet.m_tranPage.ExchangeData(true));
        QCOMPARE(p.sheet.m_tranPage.tran.TranIdBase, 23);

        // With a selection, the committed text replaces it within the limit.
        QLineEdit* half = p.Can(IDC_CAN_ACCEPT_CODE1);
        half->setText("12 34");
        half->setSelection(3, 2);
        Commit(half, "abcdef");
        QCOMPARE(half->text(), QString("12 ab"));
    }

    void everyPasteIsCutToTheLimit() {
        Pages p;
        QApplication::clipboard()->setText(kLong);
        QLineEdit* id = p.Can(IDC_CAN_TX_ID);
        id->clear();
        id->setFocus();
        QTest::keyClick(id, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(id->text(), kLong.left(11));
        QLineEdit* btr1 = p.Can(IDC_CAN_BTR1);
        btr1->clear();
        QTest::keyClick(btr1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(btr1->text(), QString("01"));
    }

    void middleClickPasteIsCutToTheLimit() {
        if (!QApplication::clipboard()->supportsSelection()) {
            QSKIP("this display has no selection clipboard (run under a virtual X server)");
        }
        Pages p;
        QApplication::clipboard()->setText(kLong, QClipboard::Selection);
        QLineEdit* id = p.Can(IDC_CAN_TX_ID);
        id->clear();
        MiddleClick(id);
        QCOMPARE(id->text(), kLong.left(11));
        QLineEdit* btr0 = p.Can(IDC_CAN_BTR0);
        btr0->clear();
        MiddleClick(btr0);
        QCOMPARE(btr0->text(), QString("01"));
        QVERIFY(p.sheet.m_canPage.ExchangeData(true));
        QCOMPARE(p.sheet.m_canPage.can.CanBTR0, std::string("01"));
        // A greyed edit takes nothing.
        QLineEdit* mask = p.Can(IDC_CAN_ACCEPT_MASK);
        QVERIFY(!mask->isEnabled());
        const QString before = mask->text();
        MiddleClick(mask);
        QCOMPARE(mask->text(), before);
    }

    void dropsAreRefused() {
        Pages p;
        for (int id : {IDC_CAN_BTR0, IDC_CAN_TX_ID, IDC_CAN_ACCEPT_MASK2}) {
            QVERIFY(!p.Can(id)->acceptDrops());
        }
        for (int id : {IDC_TRAN_SPACE, IDC_TRAN_ID_OFFSET, IDC_TRAN_ID_LENGTH}) {
            QVERIFY(!p.Tran(id)->acceptDrops());
        }
    }
};

QTEST_MAIN(InputPathsTest)
#include "input_paths_test.moc"
