// The framework's own promises, written against its interface alone and run on every backend
// (Qt offscreen on Linux, Win32 under Wine): no notification handler runs during an exchange,
// texts take their values in place, work run off the window thread brings its result back to it,
// a list shows the chosen entry's tip until it has its own, a window hears of its own enabled
// state, up-down ranges and timers.
#include <gtest/gtest.h>

#include <thread>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/translate.h"

using namespace linkmate;

namespace {

constexpr int kList = 10;
constexpr int kEdit = 11;
constexpr int kSpin = 12;
constexpr std::chrono::seconds kWait{10};

const fw::DialogTemplate& TestTemplate() {
    static const fw::DialogTemplate tmpl{
        1, "Test", 100, 60, "MS Shell Dlg", 8, true, false,
        {{fw::ControlKind::kDropDownList, kList, "", 4, 4, 60, 60, fw::kTabStop, {"a", "b", "c"}, 0},
         {fw::ControlKind::kEdit, kEdit, "", 4, 24, 60, 12, fw::kTabStop, {}, 0},
         {fw::ControlKind::kUpDown, kSpin, "", 0, 0, 10, 12, 0, {}, 0}},
        "test"};
    return tmpl;
}

class Probe : public fw::CDialog {
public:
    Probe() : fw::CDialog(TestTemplate()) {}
    int changes = 0;
    std::vector<bool> enables;
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
    void OnEnable(bool enable) override { enables.push_back(enable); }

private:
    void Changed() { ++changes; }
};

TEST(Framework, NoHandlerRunsDuringAnExchange) {
    Probe probe;
    ASSERT_TRUE(probe.Create(nullptr));
    EXPECT_EQ(probe.changes, 0);
    EXPECT_EQ(probe.Item<fw::ComboBox>(kList).GetCurSel(), 1);
    EXPECT_EQ(probe.GetDlgItem(kEdit).GetWindowText(), "loaded");
    probe.GetDlgItem(kEdit).SetWindowText("typed");  // outside an exchange: heard
    EXPECT_EQ(probe.changes, 1);
    probe.index = 7;  // an index the list lacks clears the selection
    probe.ExchangeData(false);
    EXPECT_EQ(probe.Item<fw::ComboBox>(kList).GetCurSel(), -1);
    EXPECT_EQ(probe.changes, 1);
    // A handle of the wrong kind is empty.
    EXPECT_FALSE(probe.Item<fw::Edit>(kList));
}

TEST(Framework, AListShowsTheChosenEntrysTipUntilItHasItsOwn) {
    Probe probe;
    probe.Create(nullptr);
    fw::ComboBox list = probe.Item<fw::ComboBox>(kList);
    list.SetItemToolTip(0, "first");
    list.SetItemToolTip(2, "third");
    list.SetCurSel(2);
    EXPECT_EQ(list.GetToolTip(), "third");
    list.SetToolTip("own");
    list.SetCurSel(0);
    EXPECT_EQ(list.GetToolTip(), "own");
}

TEST(Framework, AWindowHearsOfItsOwnEnabledStateAndUpDownsKeepTheirRange) {
    Probe probe;
    probe.Create(nullptr);
    probe.EnableWindow(false);
    probe.EnableWindow(true);
    EXPECT_EQ(probe.enables, (std::vector<bool>{false, true}));
    fw::SpinButton spin = probe.Item<fw::SpinButton>(kSpin);
    ASSERT_TRUE(spin);
    spin.SetRange32(1, 3700);
    EXPECT_EQ(spin.GetRange32(), (std::pair<int, int>{1, 3700}));
    // The typing limit binds the operator, never the program.
    fw::Edit edit = probe.Item<fw::Edit>(kEdit);
    edit.SetLimitText(2);
    edit.SetWindowText("12345");
    EXPECT_EQ(edit.GetWindowText(), "12345");
}

TEST(Framework, TextsTakeTheirValuesInPlace) {
    EXPECT_EQ(fw::FormatText("%2 of %1, %3", {"a", "%1"}), "%1 of a, %3");
    EXPECT_EQ(fw::FormatText("100 %", {"x"}), "100 %");
}

TEST(Framework, WorkOffTheWindowThreadReturnsItsResultThere) {
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
    EXPECT_TRUE(fw::RunEventsUntil([&] { return result == 42; }, kWait));
    EXPECT_NE(ranOn, window);
    EXPECT_EQ(doneOn, window);
}

TEST(Framework, ATimerTicksOnceOrUntilStopped) {
    fw::Timer once;
    fw::Timer repeating;
    int onceTicks = 0;
    int repeatTicks = 0;
    once.Start(std::chrono::milliseconds(10), false, [&] { ++onceTicks; });
    repeating.Start(std::chrono::milliseconds(10), true, [&] {
        if (++repeatTicks == 3) repeating.Stop();
    });
    EXPECT_TRUE(fw::RunEventsUntil([&] { return repeatTicks == 3 && onceTicks == 1; }, kWait));
    EXPECT_FALSE(once.IsActive());
    EXPECT_FALSE(repeating.IsActive());
    fw::RunEventsUntil([] { return false; }, std::chrono::milliseconds(60));
    EXPECT_EQ(onceTicks, 1);
    EXPECT_EQ(repeatTicks, 3);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const fw::Application app(argv, "framework_test", "0");
    return RUN_ALL_TESTS();
}
