// The framework's own promises, written against its interface alone and run on every backend
// (Qt offscreen on Linux, Win32 under Wine): no notification handler runs during an exchange,
// texts take their values in place, work run off the window thread brings its result back to it,
// a list shows the chosen entry's tip until it has its own, a window hears of its own enabled
// state, up-down ranges and timers; and what a window does from the keyboard: every list and edit
// of every window named by its label and reached by its letter in both languages, Alt+letter
// cycling and pressing, typing after a keyboard jump replacing the field's text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/keyboard.h"
#include "framework/placement.h"
#include "framework/text_lines.h"
#include "framework/translate.h"
#include "protocol/text.h"
#include "res/resource.h"
#include "res/resources.h"

using namespace linkmate;

namespace {

constexpr int kList = 10;
constexpr int kEdit = 11;
constexpr int kSpin = 12;
constexpr std::chrono::seconds kWait{10};

const fw::DialogTemplate& TestTemplate() {
    static const fw::DialogTemplate tmpl{
        1,
        "Test",
        100,
        60,
        "MS Shell Dlg",
        8,
        true,
        false,
        {{fw::ControlKind::kDropDownList,
          kList,
          "",
          4,
          4,
          60,
          60,
          fw::kTabStop,
          {"a", "b", "c"},
          0},
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
    // An entry's detail beside it in the opened list, gone with the entries.
    list.SetItemDetail(1, "ttyUSB0", true);
    EXPECT_EQ(list.GetItemDetail(1), "ttyUSB0");
    EXPECT_EQ(list.GetText(1), "b");
    list.ResetContent();
    list.AddString("d");
    EXPECT_EQ(list.GetItemDetail(0), "");
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

class Plain : public fw::CDialog {
public:
    using fw::CDialog::CDialog;
};

bool TakesText(fw::ControlKind kind) {
    return kind == fw::ControlKind::kDropDownList || kind == fw::ControlKind::kEdit ||
           kind == fw::ControlKind::kListView || kind == fw::ControlKind::kListBox;
}

TEST(FrameworkKeyboard, EveryListAndEditOfEveryWindowHasItsLabelsNameAndLetter) {
    const fw::DialogTemplate* windows[] = {&res::ConnectPanelTemplate(), &res::TranPageTemplate(),
                                           &res::SerialPageTemplate(),   &res::CanPageTemplate(),
                                           &res::PortMapTemplate(),      &res::BitTimingTemplate(),
                                           &res::FindConverterTemplate()};
    for (const char* language : {"zh_CN", "en"}) {
        ASSERT_TRUE(fw::LoadCatalogue(language));
        int controls = 0;
        std::vector<std::string> unnamed, withoutLetter;
        for (const fw::DialogTemplate* tmpl : windows) {
            Plain dialog(*tmpl);
            ASSERT_TRUE(dialog.Create(nullptr));
            for (const fw::ControlTemplate& c : tmpl->controls) {
                if (!TakesText(c.kind)) continue;
                ++controls;
                const fw::Control control = dialog.GetDlgItem(c.id);
                const std::string where = tmpl->context + " " + std::to_string(c.id);
                if (control.GetAccessibleName().empty()) unnamed.push_back(where);
                if (control.GetMnemonic() == 0) withoutLetter.push_back(where);
            }
        }
        EXPECT_EQ(controls, 24 + 7) << language;  // the panel and pages, then the dialogs
        EXPECT_EQ(unnamed, std::vector<std::string>{}) << language;
        EXPECT_EQ(withoutLetter, std::vector<std::string>{}) << language;
    }
    // Labels listed after their controls, pairs under one label, a unit label between a field
    // and its own label, a list under its label, an up-down named as its edit.
    const struct {
        const fw::DialogTemplate* tmpl;
        std::vector<std::pair<int, std::string>> named;  // control, name
    } cases[] = {
        {&res::ConnectPanelTemplate(), {{IDC_DEVICE, "Device:"}, {IDC_COM_PORT, "COM Port:"}}},
        {&res::CanPageTemplate(),
         {{IDC_CAN_BTR0, "BTR0/1:"},
          {IDC_CAN_BTR1, "BTR0/1:"},
          {IDC_CAN_TX_ID, "Identifier(Tx):"},
          {IDC_CAN_FILTER_MODE, "Filter Mode:"},
          {IDC_CAN_ACCEPT_CODE, "Acceptance Code:"},
          {IDC_CAN_ACCEPT_CODE2, "Acceptance Code:"},
          {IDC_CAN_ACCEPT_MASK2, "Acceptance Mask:"}}},
        {&res::TranPageTemplate(),
         {{IDC_TRAN_ID_OFFSET, "Offset:"},
          {IDC_TRAN_ID_LENGTH_SPIN, "Length:"},
          {IDC_TRAN_SPACE, "Interval between two frames:"}}},
        {&res::PortMapTemplate(),
         {{IDC_PORTS_LIST, "COM ports (changes take effect at the next Connect):"}}},
    };
    for (const auto& c : cases) {
        const std::vector<fw::LabelLink> links = fw::LabelLinks(*c.tmpl);
        for (const auto& [id, name] : c.named) {
            const auto link = std::find_if(links.begin(), links.end(), [&](const fw::LabelLink& l) {
                return c.tmpl->controls[l.control].id == id;
            });
            ASSERT_NE(link, links.end()) << c.tmpl->context << " " << id;
            EXPECT_EQ(link->name, name);
            EXPECT_EQ(link->mnemonic, fw::MnemonicOf(c.tmpl->controls[link->label].text));
        }
    }
}

TEST(FrameworkPlacement, ALabelAfterAFieldOnItsRowKeepsAGapToIt) {
    const fw::DialogTemplate* windows[] = {&res::ConnectPanelTemplate(), &res::TranPageTemplate(),
                                           &res::SerialPageTemplate(),   &res::CanPageTemplate(),
                                           &res::PortMapTemplate(),      &res::BitTimingTemplate(),
                                           &res::FindConverterTemplate()};
    int moved = 0;
    for (const fw::DialogTemplate* tmpl : windows) {
        for (size_t i = 0; i < tmpl->controls.size(); ++i) {
            const fw::ControlTemplate& label = tmpl->controls[i];
            const int x = fw::LaidOutX(*tmpl, i);
            if (x != label.x) ++moved;
            if (label.kind != fw::ControlKind::kText) continue;
            for (const fw::ControlTemplate& field : tmpl->controls) {
                if (field.kind != fw::ControlKind::kEdit || field.x >= label.x ||
                    std::abs(field.y - label.y) > 4)
                    continue;
                EXPECT_GE(x - (field.x + field.cx), 2) << tmpl->context << " " << label.text;
            }
        }
    }
    EXPECT_EQ(moved, 1);  // the unit after BTR1; every other control stands where it was drawn
}

constexpr int kCode = 20;
constexpr int kCode2 = 21;
constexpr int kConnect = 22;
constexpr int kDefault = 23;

const fw::DialogTemplate& KeyboardTemplate() {
    using fw::ControlKind;
    static const fw::DialogTemplate tmpl{
        2,
        "Keys",
        160,
        60,
        "MS Shell Dlg",
        8,
        true,
        false,
        {{ControlKind::kEdit, kCode, "", 60, 4, 30, 12, fw::kTabStop, {}, 0},
         {ControlKind::kEdit, kCode2, "", 90, 4, 30, 12, fw::kTabStop, {}, 0},
         {ControlKind::kText, fw::IDC_STATIC, "Acceptance &Code:", 4, 6, 54, 8, 0, {}, 0},
         {ControlKind::kPushButton, kConnect, "&Connect", 4, 40, 50, 14, fw::kTabStop, {}, 0},
         {ControlKind::kPushButton, kDefault, "&Default", 60, 40, 50, 14, fw::kTabStop, {}, 0}},
        "keys"};
    return tmpl;
}

class KeyProbe : public fw::CDialog {
public:
    KeyProbe() : fw::CDialog(KeyboardTemplate()) {}
    int connects = 0;
    int defaults = 0;

protected:
    bool OnInitDialog() override {
        On(kConnect, fw::Notify::kClicked, &KeyProbe::Connect);
        On(kDefault, fw::Notify::kClicked, &KeyProbe::Default);
        return fw::CDialog::OnInitDialog();
    }

private:
    void Connect() { ++connects; }
    void Default() { ++defaults; }
};

TEST(FrameworkKeyboard, AltLetterCyclesASharedLetterAndPressesAButtonOnlyWhenItIsAlone) {
    KeyProbe probe;
    ASSERT_TRUE(probe.Create(nullptr));
    probe.ShowWindow(true);
    fw::Edit code = probe.Item<fw::Edit>(kCode);
    const fw::Control code2 = probe.GetDlgItem(kCode2);
    const fw::Control connect = probe.GetDlgItem(kConnect);
    code.SetWindowText("00 00 07 FF");
    fw::Control last = probe.GetDlgItem(kDefault);
    last.SetFocus();
    ASSERT_TRUE(fw::RunEventsUntil([&] { return last.HasFocus(); }, kWait));
    // From the last control around to the first with the letter; the jump selects the field's
    // text, so what is typed next replaces it.
    ASSERT_TRUE(fw::PressMnemonic(probe.TabStops(), 'c'));
    ASSERT_TRUE(fw::RunEventsUntil([&] { return code.HasFocus(); }, kWait));
    code.ReplaceSel("12");
    EXPECT_EQ(code.GetWindowText(), "12");
    // A letter shared with a button only moves the focus there, around the end.
    for (const fw::Control& next : {code2, connect, fw::Control(code)}) {
        fw::PressMnemonic(probe.TabStops(), 'C');
        EXPECT_TRUE(fw::RunEventsUntil([&] { return next.HasFocus(); }, kWait))
            << next.GetDlgCtrlID();
    }
    EXPECT_EQ(probe.connects, 0);
    fw::PressMnemonic(probe.TabStops(), 'D');
    EXPECT_EQ(probe.defaults, 1);
    // Disabled and hidden fields are passed over: Connect alone has C now, and is pressed.
    code.EnableWindow(false);
    probe.ShowItem(kCode2, false);
    fw::PressMnemonic(probe.TabStops(), 'C');
    EXPECT_EQ(probe.connects, 1);
    EXPECT_FALSE(fw::PressMnemonic(probe.TabStops(), 'Q'));
}

TEST(FrameworkPlacement, APopUpOpensCentredOnItsOwner) {
    using fw::ControlKind;
    static const fw::DialogTemplate ownerTemplate{3, "",   200,   150, "MS Shell Dlg",
                                                  8, true, false, {},  "owner"};
    static const fw::DialogTemplate popupTemplate{
        4,
        "Pop-up",
        80,
        40,
        "MS Shell Dlg",
        8,
        false,
        false,
        {{ControlKind::kDefPushButton, fw::IDOK, "OK", 15, 20, 50, 14, fw::kTabStop, {}, 0}},
        "popup"};
    Plain owner(ownerTemplate);
    ASSERT_TRUE(owner.Create(nullptr));
    owner.ShowWindow(true);
    Plain popup(popupTemplate);
    fw::Rect placed;
    fw::Timer later;
    later.Start(std::chrono::milliseconds(100), false, [&] {
        placed = popup.peer()->Frame();
        popup.EndDialog(fw::IDCANCEL);
    });
    popup.DoModal(&owner);
    const fw::Rect around = owner.peer()->Frame();
    ASSERT_GT(placed.width, 0);
    EXPECT_LT(placed.width, around.width);
    EXPECT_NEAR(placed.x + placed.width / 2, around.x + around.width / 2, 2);
    EXPECT_NEAR(placed.y + placed.height / 2, around.y + around.height / 2, 2);
    // Where the owner leaves no room, the work area keeps the pop-up whole.
    const fw::Rect work{0, 0, 1024, 768};
    EXPECT_EQ(fw::CentredOn({-300, 700, 200, 100}, {400, 300}, work), (fw::Rect{0, 468, 400, 300}));
    EXPECT_EQ(fw::CentredOn({}, {400, 300}, work), (fw::Rect{312, 234, 400, 300}));
}

// Lines of a laid-out text, with what each holds.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1)
        lines.push_back(text.substr(from, end - from));
    lines.push_back(text.substr(from));
    return lines;
}

std::string WithoutBlanks(const std::string& text) {
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\n') out += c;
    return out;
}

TEST(FrameworkText, ALineBreaksBetweenWordsAndChineseCharactersButNeverInsideAValue) {
    // One unit per byte: the breaking rules alone, whatever the font.
    const fw::LineWidth bytes = [](const std::string& s) { return static_cast<int>(s.size()); };
    const struct {
        std::string text;
        int width, lines;
        std::string shown;
    } cases[] = {
        {"choose Ternix-B now", 10, 3, "choose\nTernix-B\nnow"},
        {"mask 00 00 07 F0 set", 12, 3, "mask\n00 00 07 F0\nset"},
        {"at 19200 00 11", 8, 3, "at 19200\n00 11"},
        // Chinese breaks between characters, never before its comma or inside the model name.
        {"型号Ternix-A，请选择", 12, 4, "型号\nTernix-A，\n请选择"},
        {"one two three four", 9, 2, "one two\nthree\xE2\x80\xA6"},
        {"first\nsecond", 40, 1, "first\xE2\x80\xA6"},
        {"/dev/ttyUSB0", 5, 4, "/dev/\nttyUS\nB0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fw::FitLines(c.text, c.width, c.lines, bytes), c.shown) << c.text;
}

TEST(FrameworkText, ALongStatusFitsItsControlInBothLanguages) {
    using fw::ControlKind;
    constexpr int kLine = 20;
    static const fw::DialogTemplate tmpl{
        5,       "Status",       240,
        60,      "MS Shell Dlg", 8,
        true,    false,          {{ControlKind::kText, kLine, "", 4, 4, 220, 30, 0, {}, 0}},
        "status"};
    for (const char* language : {"en", "zh_CN"}) {
        ASSERT_TRUE(fw::LoadCatalogue(language));
        Plain dialog(tmpl);
        ASSERT_TRUE(dialog.Create(nullptr));
        fw::Control line = dialog.GetDlgItem(kLine);
        const fw::Rect room = line.GetWindowRect();
        const int lineHeight = line.peer()->TextExtent("Ag").height;
        ASSERT_GT(lineHeight, 0);
        const std::string hint = text::Arg(
            fw::Translate("ConverterFinder", "A converter answered at %1 bit/s: choose %2."),
            {"19200", "Ternix-B"});
        const std::string verify = fw::Translate(
            "CLINKMATESheet", "The converter answered, but it holds other values than you wrote.");
        const std::string connection = "COM3 /dev/ttyUSB0 (FT232R USB UART), Ternix-A 57600 bit/s";
        const std::string mask = "00 00 07 F0 -> FF FF FF FF";
        for (const std::string& text :
             {connection + "\n" + hint,
              connection + "\n" + mask + " " + verify + " " + hint + " " + verify + " " + hint}) {
            fw::SetFittedText(line, text);
            const std::string shown = line.GetWindowText();
            const std::vector<std::string> lines = SplitLines(shown);
            EXPECT_LE(static_cast<int>(lines.size()) * lineHeight, room.height) << shown;
            for (const std::string& l : lines)
                EXPECT_LE(line.peer()->TextExtent(l).width, room.width) << l;
            // A value is on one line or not shown at all.
            for (const std::string value :
                 {"Ternix-B", "Ternix-A", "/dev/ttyUSB0", "00 00 07 F0"}) {
                for (size_t at = 1; at < value.size(); ++at) {
                    EXPECT_EQ(shown.find(value.substr(0, at) + "\n" + value.substr(at)),
                              std::string::npos)
                        << shown;
                    if (value[at - 1] == ' ') {
                        EXPECT_EQ(shown.find(value.substr(0, at - 1) + "\n" + value.substr(at)),
                                  std::string::npos)
                            << shown;
                    }
                }
            }
            // Nothing but blanks is lost before the cut.
            const std::string ellipsis = "\xE2\x80\xA6";
            std::string kept = WithoutBlanks(shown);
            const bool cut =
                kept.size() >= ellipsis.size() &&
                kept.compare(kept.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0;
            if (cut) kept.resize(kept.size() - ellipsis.size());
            EXPECT_EQ(WithoutBlanks(text).rfind(kept, 0), 0u) << shown;
            EXPECT_EQ(cut, WithoutBlanks(text) != kept) << shown;
        }
    }
    ASSERT_TRUE(fw::LoadCatalogue("en"));
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const fw::Application app(argv, "framework_test", "0");
    return RUN_ALL_TESTS();
}
