// The framework's own promises, written against its interface alone: no notification handler
// runs during an exchange, texts take their values in place, work run off the window thread
// brings its result back to it, a list shows the chosen entry's tip until it has its own.
#include <QTest>
#include <thread>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/translate.h"
#include "gui_harness.h"

using namespace linkmate;

namespace {

constexpr int kList = 10;
constexpr int kEdit = 11;

const fw::DialogTemplate& TestTemplate() {
    static const fw::DialogTemplate tmpl{
        1, "Test", 100, 60, "MS Shell Dlg", 8, true, false,
        {{fw::ControlKind::kDropDownList, kList, "", 4, 4, 60, 60, fw::kTabStop, {"a", "b", "c"}, 0},
         {fw::ControlKind::kEdit, kEdit, "", 4, 24, 60, 12, fw::kTabStop, {}, 0}},
        "test"};
    return tmpl;
}

class Probe : public fw::CDialog {
public:
    Probe() : fw::CDialog(TestTemplate()) {}
    int changes = 0;
    int32_t index = 1;
    std::string text = "loaded";

protected:
    bool OnInitDialog() override {
        On(kEdit, fw::Notify::kChange, &Probe::Changed);
        On(kList, fw::Notify::kSelChange, &Probe::Changed);
        return fw::CDialog::OnInitDialog();
    }
    void DoDataExchange(fw::DataExchange& dx) override {
        dx.ListIndex(kList, index);
        dx.Text(kEdit, text);
        // A control that notifies in the middle of an exchange is not heard.
        if (!dx.saving()) SendNotify(kList, fw::Notify::kSelChange);
    }

private:
    void Changed() { ++changes; }
};

}  // namespace

class FrameworkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { guitest::InitGuiTests(); }

    void noHandlerRunsDuringAnExchange() {
        Probe probe;
        QVERIFY(probe.Create(nullptr));
        QCOMPARE(probe.changes, 0);
        QCOMPARE(probe.Item<fw::ComboBox>(kList).GetCurSel(), 1);
        QCOMPARE(probe.GetDlgItem(kEdit).GetWindowText(), std::string("loaded"));
        probe.GetDlgItem(kEdit).SetWindowText("typed");  // outside an exchange: heard
        QCOMPARE(probe.changes, 1);
        probe.index = 7;  // an index the list lacks clears the selection
        probe.ExchangeData(false);
        QCOMPARE(probe.Item<fw::ComboBox>(kList).GetCurSel(), -1);
        QCOMPARE(probe.changes, 1);
        // A handle of the wrong kind is empty.
        QVERIFY(!probe.Item<fw::Edit>(kList));
    }

    void aListShowsTheChosenEntrysTipUntilItHasItsOwn() {
        Probe probe;
        probe.Create(nullptr);
        fw::ComboBox list = probe.Item<fw::ComboBox>(kList);
        list.SetItemToolTip(0, "first");
        list.SetItemToolTip(2, "third");
        list.SetCurSel(2);
        QCOMPARE(list.GetToolTip(), std::string("third"));
        list.SetToolTip("own");
        list.SetCurSel(0);
        QCOMPARE(list.GetToolTip(), std::string("own"));
    }

    void textsTakeTheirValuesInPlace() {
        QCOMPARE(fw::FormatText("%2 of %1, %3", {"a", "%1"}), std::string("%1 of a, %3"));
        QCOMPARE(fw::FormatText("100 %", {"x"}), std::string("100 %"));
    }

    void workOffTheWindowThreadReturnsItsResultThere() {
        const auto window = std::this_thread::get_id();
        std::thread::id ranOn, doneOn;
        int result = 0;
        fw::RunOffWindowThread<int>(
            [&] {
                ranOn = std::this_thread::get_id();
                return 42;
            },
            [&](int value) {
                doneOn = std::this_thread::get_id();
                result = value;
            });
        QTRY_COMPARE(result, 42);
        QVERIFY(ranOn != window);
        QVERIFY(doneOn == window);
    }
};

QTEST_MAIN(FrameworkTest)
#include "framework_test.moc"
