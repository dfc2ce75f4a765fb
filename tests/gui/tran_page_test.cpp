// The Conversion page: the mode table, the arrows' ranges against typed values, the failed
// integer exchange and its consequences, enabling.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "framework/qt/edit_rules.h"
#include "gui_harness.h"
#include "res/resource.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

struct TranFixture {
    GuiEnvironment env{false};
    MessageLog log;
    TestSheet sheet;
    CTranPage& page = sheet.m_tranPage;

    TranFixture() {
        sheet.Init();
        page.EnableWindow(true);
        page.SendEnable(true);
    }
    QLineEdit* Edit(int id) { return Control<QLineEdit>(page, id); }
    QCheckBox* Box(int id) { return Control<QCheckBox>(page, id); }
    QComboBox* Mode() { return Control<QComboBox>(page, IDC_TRAN_MODE); }
    fw::qt::UpDownControl* Spin(int id) { return Control<fw::qt::UpDownControl>(page, id); }

    // Enabled states of interval, offset, length, allow-ID, allow-info.
    std::vector<bool> Enabling() {
        return {Edit(IDC_TRAN_SPACE)->isEnabled(), Edit(IDC_TRAN_ID_OFFSET)->isEnabled(),
                Edit(IDC_TRAN_ID_LENGTH)->isEnabled(), Box(IDC_TRAN_ALLOW_ID)->isEnabled(),
                Box(IDC_TRAN_ALLOW_INFO)->isEnabled()};
    }
};

}  // namespace

class TranPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void modeDecidesWhatCanBeChanged() {
        TranFixture f;
        Choose(f.Mode(), 1);
        QCOMPARE(f.Enabling(), (std::vector<bool>{true, true, true, false, false}));
        Choose(f.Mode(), 2);
        QCOMPARE(f.Enabling(), (std::vector<bool>{false, false, false, false, false}));
        Choose(f.Mode(), 0);
        QCOMPARE(f.Enabling(), (std::vector<bool>{false, false, false, true, true}));
        QVERIFY(f.Mode()->isEnabled());
        QVERIFY(Control<QComboBox>(f.page, IDC_TRAN_DIR)->isEnabled());
        QCOMPARE(Control<QComboBox>(f.page, IDC_TRAN_DIR)->itemText(1), QString("Serial → CAN"));
        QCOMPARE(Control<QComboBox>(f.page, IDC_TRAN_DIR)->itemText(2), QString("Serial ← CAN"));

        // Disabled controls keep their values, which are still exchanged.
        f.page.tran.TranSpace = 7;
        f.page.ExchangeData(false);
        f.page.ExchangeData(true);
        QCOMPARE(f.page.tran.TranSpace, 7);
    }

    void modeOutsideTheListChangesNoEnabling() {
        TranFixture f;
        Choose(f.Mode(), 2);
        f.page.tran.TranMode = 7;
        f.page.ExchangeData(false);
        QCOMPARE(f.Mode()->currentIndex(), -1);
        const auto before = f.Enabling();
        f.page.RefreshTranControls();
        QCOMPARE(f.Enabling(), before);
        QCOMPARE(f.page.tran.TranMode, -1);  // read back from the list without a selection

        f.page.EnableWindow(false);
        for (bool enabled : f.Enabling()) QVERIFY(!enabled);
        f.page.EnableWindow(true);
        QCOMPARE(f.Enabling(), (std::vector<bool>{true, true, true, true, true}));
    }

    void arrowsKeepTheRangeTypingDoesNot() {
        TranFixture f;
        Choose(f.Mode(), 1);
        const struct {
            int edit, spin, lower, upper;
        } ranges[] = {{IDC_TRAN_SPACE, IDC_TRAN_SPACE_SPIN, 2, 10},
                      {IDC_TRAN_ID_OFFSET, IDC_TRAN_ID_OFFSET_SPIN, 0, 7},
                      {IDC_TRAN_ID_LENGTH, IDC_TRAN_ID_LENGTH_SPIN, 1, 4}};
        for (const auto& r : ranges) {
            QCOMPARE(f.Spin(r.spin)->buddy(), f.Edit(r.edit));
            for (int i = 0; i < 15; ++i) f.Spin(r.spin)->upButton()->click();
            QCOMPARE(f.Edit(r.edit)->text(), QString::number(r.upper));
            for (int i = 0; i < 15; ++i) QTest::keyClick(f.Edit(r.edit), Qt::Key_Down);
            QCOMPARE(f.Edit(r.edit)->text(), QString::number(r.lower));
        }
        Retype(f.Edit(IDC_TRAN_SPACE), "25");
        Retype(f.Edit(IDC_TRAN_ID_OFFSET), "0");
        QVERIFY(f.page.ExchangeData(true));
        QCOMPARE(f.page.tran.TranSpace, 25);
        QCOMPARE(f.page.tran.TranIdBase, 0);
        // An arrow on an out-of-range value comes back into the range.
        f.Spin(IDC_TRAN_SPACE_SPIN)->downButton()->click();
        QCOMPARE(f.Edit(IDC_TRAN_SPACE)->text(), QString("10"));
    }

    void numberEditsTakeOnlyDigitsFromTheKeyboard() {
        TranFixture f;
        Choose(f.Mode(), 1);
        QLineEdit* offset = f.Edit(IDC_TRAN_ID_OFFSET);
        offset->clear();
        QTest::keyClicks(offset, "1a-2 ");
        QCOMPARE(offset->text(), QString("12"));
        QApplication::clipboard()->setText("x5");
        QTest::keyClick(offset, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(offset->text(), QString("12x5"));
        QVERIFY(f.page.ExchangeData(true));  // "12x5" reads as 12
        QCOMPARE(f.page.tran.TranIdBase, 12);
    }

    void emptyIntervalThenAnotherModeKeepsWhatWasTyped() {
        TranFixture f;
        Choose(f.Mode(), 1);
        f.page.tran = {1, 0, 6, 0, 0, 3, 2};
        f.page.ExchangeData(false);
        f.Edit(IDC_TRAN_SPACE)->clear();
        Retype(f.Edit(IDC_TRAN_ID_OFFSET), "5");  // not exchanged yet
        Retype(f.Edit(IDC_TRAN_ID_LENGTH), "4");

        Choose(f.Mode(), 0);
        QCOMPARE(f.log.texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(f.log.calls[0].caption, std::string("linkmate"));
        QVERIFY(f.log.calls[0].icon == fw::MessageIcon::kExclamation);
        // The mode was read before the failing edit: taken, and its enabling applied.
        QCOMPARE(f.page.tran.TranMode, 0);
        QCOMPARE(f.Enabling(), (std::vector<bool>{false, false, false, true, true}));
        // What was typed stays; only the emptied interval, greyed now and so beyond correction,
        // shows its last value again.
        QCOMPARE(f.Edit(IDC_TRAN_ID_OFFSET)->text(), QString("5"));
        QCOMPARE(f.Edit(IDC_TRAN_ID_LENGTH)->text(), QString("4"));
        QCOMPARE(f.Edit(IDC_TRAN_SPACE)->text(), QString("6"));
        QVERIFY(f.page.ExchangeData(true));
        QCOMPARE(f.page.tran.TranIdBase, 5);
        QCOMPARE(f.page.tran.TranLength, 4);

        // A mode that keeps the field editable leaves it as the operator left it.
        f.log.calls.clear();
        Choose(f.Mode(), 1);
        f.Edit(IDC_TRAN_ID_OFFSET)->clear();
        Choose(f.Mode(), 1);
        QCOMPARE(f.log.texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(f.Edit(IDC_TRAN_ID_OFFSET)->text(), QString());
        QCOMPARE(f.Edit(IDC_TRAN_ID_LENGTH)->text(), QString("4"));
    }

    void failedExchangeKeepsThePageCurrent() {
        TranFixture f;
        QTabBar* tabs =
            fw::qt::WidgetOf(f.sheet.GetDlgItem(fw::AFX_IDC_TAB_CONTROL))->findChild<QTabBar*>();
        Choose(f.Mode(), 1);
        Retype(f.Edit(IDC_TRAN_ID_LENGTH), "");
        tabs->setCurrentIndex(2);
        QCOMPARE(f.log.texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(f.sheet.GetActiveIndex(), 0);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(f.Edit(IDC_TRAN_ID_LENGTH)->hasFocus() ||
                QApplication::focusWidget() == nullptr);  // offscreen may have no active window

        Retype(f.Edit(IDC_TRAN_ID_LENGTH), "3");
        tabs->setCurrentIndex(2);
        QCOMPARE(f.sheet.GetActiveIndex(), 2);
        QCOMPARE(f.page.tran.TranLength, 3);
        QCOMPARE(f.log.calls.size(), size_t{1});
    }
};

QTEST_MAIN(TranPageTest)
#include "tran_page_test.moc"
