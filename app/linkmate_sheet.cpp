#include "app/linkmate_sheet.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/about_dlg.h"
#include "app/bit_timing_dlg.h"
#include "app/config_file_place.h"
#include "app/find_converter_dlg.h"
#include "app/held_differences.h"
#include "app/port_map_dlg.h"
#include "framework/text_lines.h"
#include "framework/application.h"
#include "framework/file_dialog.h"
#include "framework/message_box.h"
#include "framework/translate.h"
#include "profile/config_file.h"
#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "protocol/config_exchange.h"
#include "protocol/config_lists.h"
#include "protocol/hex_fields.h"
#include "protocol/hex_text.h"
#include "protocol/system_name.h"
#include "protocol/text.h"
#include "res/resource.h"
#include "res/resources.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/converter_finder.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"

namespace linkmate {
namespace {

// The buttons and the offset of their row from where the sheet put them.
constexpr int kButtonShiftRightPx = 81;
constexpr int kButtonGapBelowTabsPx = 6;
constexpr int kWindowBottomBelowTabsPx = 48;
// The status line sits under the button row; the window grows by it.
constexpr int kStatusGapPx = 4;
constexpr int kWindowBottomBelowStatusPx = 6;

// How often the progress line's clock moves while an exchange runs.
constexpr std::chrono::milliseconds kProgressInterval{100};
// The request number rather than an attempt: a Read that succeeds sends two or three requests,
// and a Write is read back.
constexpr const char* kReadProgress =
    TRANSLATE_NOOP("CLINKMATESheet", "Reading the configuration: request %1, %2 s");
constexpr const char* kWriteProgress = TRANSLATE_NOOP(
    "CLINKMATESheet", "Writing the configuration and reading it back: request %1, %2 s");

constexpr const char* kPortsShortcut = "Ctrl+P";
constexpr const char* kFindShortcut = "Ctrl+F";
constexpr const char* kOpenShortcut = "Ctrl+O";
constexpr const char* kBitTimingShortcut = "Ctrl+B";
constexpr const char* kSaveShortcut = "Ctrl+S";
constexpr const char* kAboutShortcut = "F1";
constexpr const char* kUndoShortcut = "Ctrl+Z";
constexpr const char* kEventLogShortcut = "Ctrl+L";
// The commands that replace every page, as the Undo event names them.
constexpr const char* kDefaultCommand = TRANSLATE_NOOP("CLINKMATESheet", "Default");
constexpr const char* kOpenCommand = TRANSLATE_NOOP("CLINKMATESheet", "Open");
constexpr const char* kBitTimingCommand = TRANSLATE_NOOP("CLINKMATESheet", "the bit timing");
constexpr const char* kConfigFileFilter =
    TRANSLATE_NOOP("CLINKMATESheet", "LINKMATE configuration (*.reg);;All files (*)");

struct SheetButton {
    int id;
    const char* label;  // nullptr: hidden
};
constexpr SheetButton kButtons[] = {
    {fw::IDOK, TRANSLATE_NOOP("CLINKMATESheet", "&Default")},
    {fw::IDCANCEL, TRANSLATE_NOOP("CLINKMATESheet", "&Read")},
    {fw::ID_APPLY_NOW, TRANSLATE_NOOP("CLINKMATESheet", "&Write")},
    {fw::IDHELP, nullptr},
};

std::string FormatBytes(uint32_t value, int bytes) {
    return bytes == 1 ? FormatHex8(value) : bytes == 2 ? FormatHex16(value) : FormatHex32(value);
}

std::string SheetText(const char* source) { return fw::Translate("CLINKMATESheet", source); }

std::string MalformedFieldMessage(HexField field, const std::string& text) {
    const int bytes = HexFieldBytes(field);
    const std::string hint =
        bytes == 1
            ? fw::Translate("CLINKMATESheet", "Type one byte as two hex digits (for example 1C).")
            : text::Arg(
                  fw::Translate("CLINKMATESheet",
                                "Type up to %1 bytes as pairs of hex digits separated by blanks, "
                                "most significant first (for example %2)."),
                  {std::to_string(bytes), text::Unbroken(FormatBytes(0x7FF, bytes))});
    return text::Arg(
        fw::Translate("CLINKMATESheet",
                      "%1: \"%2\" is not hexadecimal byte text.\n\n%3 Nothing was sent."),
        {CCanPage::FieldName(field), text, hint});
}

std::string HeldDifferentlyQuestion(const CanSettings& can, const std::vector<HeldValue>& values) {
    std::string question =
        fw::Translate("CLINKMATESheet",
                      "The converter cannot hold these values as the page shows them:") +
        "\n";
    for (const HeldValue& v : values) {
        const int bytes = HexFieldBytes(v.field);
        const std::string typed = HexFieldText(can, v.field);
        const std::string readAs = FormatBytes(v.typed, bytes);
        const std::string held = FormatBytes(v.held, bytes);
        const std::string name = CCanPage::FieldName(v.field);
        question +=
            "\n" +
            (typed != readAs
                 ? text::Arg(
                       fw::Translate(
                           "CLINKMATESheet",
                           "%1: you typed \"%2\" (read as %3); the converter will hold %4."),
                       {name, text::Unbroken(typed), text::Unbroken(readAs), text::Unbroken(held)})
                 : text::Arg(fw::Translate("CLINKMATESheet",
                                           "%1: you typed \"%2\"; the converter will hold %3."),
                             {name, text::Unbroken(typed), text::Unbroken(held)}));
    }
    question +=
        "\n\n" +
        text::Arg(fw::Translate("CLINKMATESheet",
                                "Standard frames carry 11-bit identifiers (at most %1, or %2 "
                                "in a dual filter), extended frames 29-bit ones (at most %3)."),
                  {text::Unbroken(FormatHex32(0x7FF)), text::Unbroken(FormatHex16(0x7FF)),
                   text::Unbroken(FormatHex32(0x1FFFFFFF))}) +
        "\n\n" + fw::Translate("CLINKMATESheet", "Write anyway?");
    return question;
}

// "14:02:11", local time.
std::string ClockTime() {
    const std::time_t now = std::time(nullptr);
    char text[16];
    // The window thread is the only caller, so the shared result of localtime is safe.
    std::strftime(text, sizeof text, "%H:%M:%S", std::localtime(&now));
    return text;
}

// "2026-12-08 14:02:11 +0000", local time.
std::string DateTimeNow() {
    const std::time_t now = std::time(nullptr);
    char text[48];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", std::localtime(&now));
    return text;
}

// When the profile was last saved, "2026-12-07 14:02"; empty when nothing has been saved.
std::string ProfileSavedAt() {
    const std::time_t time = static_cast<std::time_t>(ProfileSavedTime());
    if (time == 0) return {};
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&time));
    return text;
}

}  // namespace

CLINKMATESheet::CLINKMATESheet(int captionId, fw::CWnd* parent, int startPage)
    : fw::CPropertySheet(res::LoadString(captionId), parent, startPage) {
    m_panel.SetHost(this);
    AddPage(&m_tranPage);
    AddPage(&m_serialPage);
    AddPage(&m_canPage);
}

CLINKMATESheet::~CLINKMATESheet() {
    if (!m_exchange) return;
    // The window went away without its Close (the program is ending): the thread still uses the
    // port, so stop it and wait the one slice it takes to notice.
    m_exchange->cancelled = true;
    while (!m_exchange->finished) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::vector<fw::CDialog*> CLINKMATESheet::SettingsPages() {
    return {&m_tranPage, &m_serialPage, &m_canPage};
}

bool CLINKMATESheet::OnInitDialog() {
    const bool result = fw::CPropertySheet::OnInitDialog();
    WireCommands();
    peer()->AddMinimizeBox();
    peer()->SetIcon(IDR_MAINFRAME);
    fw::Control tabs = GetDlgItem(fw::AFX_IDC_TAB_CONTROL);

    const fw::Rect sheet = GetWindowRect();
    m_panel.Create(this);
    AppendToTabOrder(&m_panel);
    const int panelHeight = m_panel.GetWindowRect().height;
    m_panel.MoveWindow({0, 0, sheet.width, panelHeight});
    m_panel.ShowWindow(true);

    fw::Rect t = tabs.GetWindowRect();
    t.y = panelHeight;
    tabs.MoveWindow(t);
    const int tabsBottom = tabs.GetWindowRect().bottom();

    for (const SheetButton& b : kButtons) {
        fw::Control button = GetDlgItem(b.id);
        if (!button) continue;
        fw::Rect r = button.GetWindowRect();
        r.x += kButtonShiftRightPx;
        r.y = tabsBottom + kButtonGapBelowTabsPx;
        button.MoveWindow(r);
        button.EnableWindow(false);
        if (b.label != nullptr) {
            button.SetWindowText(SheetText(b.label));
        } else {
            button.ShowWindow(false);
        }
    }
    // The status line under the buttons, and Cancel at the row's left while an exchange runs.
    const fw::Rect button = GetDlgItem(fw::IDOK).GetWindowRect();
    const fw::Rect tabsRect = tabs.GetWindowRect();
    m_cancel = AddItem(IDC_SHEET_CANCEL, fw::ControlKind::kPushButton,
                       SheetText(TRANSLATE_NOOP("CLINKMATESheet", "&Cancel")));
    m_cancel.MoveWindow({tabsRect.x, button.y, button.width, button.height});
    m_cancel.ShowWindow(false);
    // Undo stands where Cancel does: one is there only while an exchange runs, the other only
    // when it does not.
    m_undoButton = AddItem(IDC_SHEET_UNDO, fw::ControlKind::kPushButton,
                           SheetText(TRANSLATE_NOOP("CLINKMATESheet", "Undo")));
    m_undoButton.MoveWindow({tabsRect.x, button.y, button.width, button.height});
    m_undoButton.ShowWindow(false);
    m_statusLine = AddItem(IDC_SHEET_STATUS, fw::ControlKind::kText, {});
    const int statusTop =
        std::max(button.bottom(), tabsBottom + kWindowBottomBelowTabsPx - kStatusGapPx) +
        kStatusGapPx;
    // Room for four lines: the connection and the pages take two or three with a long device
    // description, then the latest event (a diagnosis can take two).
    const int statusHeight = 3 * button.height;
    m_statusLine.MoveWindow({tabsRect.x, statusTop, sheet.width - 2 * tabsRect.x, statusHeight});
    peer()->SetFixedSize({sheet.width, statusTop + statusHeight + kWindowBottomBelowStatusPx});

    // The start page is made and disabled now; the others, which the window's first sight does
    // not show, right after its first paint (CreateHiddenPages).
    GetPage(GetActiveIndex())->EnableWindow(false);

    m_panel.ExchangeData(true);
    m_tranPage.ExchangeData(true);
    m_serialPage.ExchangeData(true);
    m_canPage.ExchangeData(true);
    LoadProfile(m_serialPage.serial, m_canPage.can, m_tranPage.tran, m_panel.connection);
    // A choice made on the command line wins over the profile's for this start.
    if (m_startChoice.model) m_panel.connection.DeviceType = *m_startChoice.model;
    if (m_startChoice.port) m_panel.connection.ConfigPort = *m_startChoice.port;
    m_panel.ExchangeData(false);
    m_tranPage.ExchangeData(false);
    m_serialPage.ExchangeData(false);
    m_canPage.ExchangeData(false);
    ShowControlStates();
    m_portWatchTimer.Start(PortWatch::kPollInterval, true, [this] { OnPortWatchTick(); });

    SetOrigin(PagesOrigin::kProfile, ProfileSavedAt());
    AfterFirstPaint([this] { CreateHiddenPages(); });
    return result;
}

void CLINKMATESheet::CreateHiddenPages() {
    // A page's own set-up runs its rules over its members; the pages show the profile's values as
    // they are, as if they had been made before it was loaded, and the set-up is neither an edit
    // nor an event.
    const SerialSettings serial = m_serialPage.serial;
    const CanSettings can = m_canPage.can;
    const TranSettings tran = m_tranPage.tran;
    const std::vector<fw::CPropertyPage*> created = CreatePages();
    m_serialPage.serial = serial;
    m_canPage.can = can;
    m_tranPage.tran = tran;
    for (fw::CPropertyPage* page : created) {
        page->ExchangeData(false);
        page->EnableWindow(m_port.IsOpen());
    }
    ShowControlStates();

    for (fw::CDialog* page : SettingsPages()) page->SetChangeObserver([this] { MarkEdited(); });
    m_canPage.onRuleReplaced = [this](HexField field, const std::string& was,
                                      const std::string& now) {
        SetEvent(
            text::Arg(fw::Translate("CLINKMATESheet", "The mask rule replaced %1 \"%2\" with %3."),
                      {CCanPage::FieldName(field), text::Unbroken(was), text::Unbroken(now)}));
    };
}

bool CLINKMATESheet::OnCommand(int id) {
    if (id == IDC_SHEET_CANCEL) {
        CancelExchange();
        return true;
    }
    if (id == IDC_SHEET_UNDO) {
        OnUndo();
        return true;
    }
    // A command that arrives while an exchange runs (a key, a click queued before the buttons
    // were disabled) is dropped, never run after it.
    if (IsExchanging() && (id == fw::IDOK || id == fw::IDCANCEL || id == fw::ID_APPLY_NOW))
        return true;
    switch (id) {
        case fw::IDOK: OnDefault(); return true;
        case fw::IDCANCEL: OnRead(); return true;
        case fw::ID_APPLY_NOW: OnWrite(); return true;
        default: return fw::CPropertySheet::OnCommand(id);
    }
}

void CLINKMATESheet::ExchangePages(bool save) {
    m_tranPage.ExchangeData(save);
    m_serialPage.ExchangeData(save);
    m_canPage.ExchangeData(save);
}

void CLINKMATESheet::Tell(const std::string& text) {
    fw::MessageBox(this, text, res::LoadString(IDS_MSG_CAPTION));
}

void CLINKMATESheet::OnDefault() {
    ExchangePages(true);
    KeepForUndo(kDefaultCommand);
    ApplyDefaults(m_serialPage.serial, m_canPage.can, m_tranPage.tran);
    ExchangePages(false);
    m_tranPage.RefreshTranControls();
    m_canPage.RefreshCanControls();
    SetOrigin(PagesOrigin::kDefaults);
    SetEvent(
        fw::Translate("CLINKMATESheet",
                      "Default replaced every page; Undo (Ctrl+Z) brings back what they showed."));
}

void CLINKMATESheet::KeepForUndo(const char* command) {
    m_undo =
        PagesSnapshot{m_serialPage.serial,  m_canPage.can,       m_tranPage.tran, m_facts.origin,
                      m_facts.originDetail, m_facts.editedSince, command};
    m_undoButton.ShowWindow(!IsExchanging());
    m_undoButton.SetToolTip(text::Arg(fw::Translate("CLINKMATESheet", "Undo %1 (%2)"),
                                      {SheetText(command), kUndoShortcut}));
}

void CLINKMATESheet::DropUndo() {
    m_undo.reset();
    // The focus leaves the button before it goes away, so it does not fall on Default.
    if (m_undoButton.HasFocus()) RestoreFocus({});
    m_undoButton.ShowWindow(false);
}

void CLINKMATESheet::OnUndo() {
    if (!m_undo || IsExchanging()) return;
    const PagesSnapshot was = *m_undo;
    DropUndo();
    m_serialPage.serial = was.serial;
    m_canPage.can = was.can;
    m_tranPage.tran = was.tran;
    ExchangePages(false);
    ShowControlStates();
    SetOrigin(was.origin, was.originDetail);
    m_facts.editedSince = was.editedSince;
    SetEvent(text::Arg(
        fw::Translate("CLINKMATESheet", "Undone: the pages show again what they showed before %1."),
        {SheetText(was.command)}));
}

fw::Control CLINKMATESheet::FocusedControl() const {
    for (const fw::Control& c : TabStops()) {
        if (c.HasFocus()) return c;
    }
    return {};
}

void CLINKMATESheet::RestoreFocus(fw::Control where) {
    const fw::Control disconnect = m_panel.GetDlgItem(IDC_CONNECT);
    const auto fit = [&](const fw::Control& c) {
        return c && c.CanTakeFocus() && !(c == GetDlgItem(fw::IDOK)) && !(c == disconnect) &&
               !(c == m_undoButton);
    };
    if (fit(where)) {
        where.SetFocus();
        return;
    }
    // Else the current page's first field, then Read, then the panel.
    std::vector<fw::Control> candidates;
    if (const int active = GetActiveIndex(); active >= 0) candidates = GetPage(active)->TabStops();
    candidates.push_back(GetDlgItem(fw::IDCANCEL));
    for (const fw::Control& c : m_panel.TabStops()) candidates.push_back(c);
    for (fw::Control& c : candidates) {
        if (fit(c)) {
            c.SetFocus();
            return;
        }
    }
}

void CLINKMATESheet::FollowOriginOnConnect() {
    const PagesOrigin o = m_facts.origin;
    m_canPage.KeepValuesWhenEnabled(o == PagesOrigin::kFile || o == PagesOrigin::kRead ||
                                    o == PagesOrigin::kWritten);
}

void CLINKMATESheet::OnRead() {
    if (!m_port.IsOpen()) return;
    // A rejected entry does not stop a Read: its answer replaces every page anyway.
    const fw::CDialog* rejected = SavePages();
    RunExchange(
        kReadProgress,
        [](PortIo& io, ExchangeOutcome& outcome) {
            const bool ok = ReadConfig(io, outcome.config, &outcome.trace);
            outcome.heardNothing = outcome.trace.heardNothing();
            return ok;
        },
        [this, rejected](ExchangeOutcome& outcome) {
            if (outcome.cancelled) {
                SetEvent(fw::Translate("CLINKMATESheet",
                                       "Read cancelled: the pages and the profile are unchanged."));
                return;
            }
            if (outcome.ok) {
                m_serialPage.serial = outcome.config.serial;
                m_canPage.can = outcome.config.can;
                m_tranPage.tran = outcome.config.tran;
            }
            // Without an answer, the page that rejected an entry keeps what was typed rather than
            // the older values its members still hold.
            for (fw::CDialog* page : SettingsPages()) {
                if (outcome.ok || page != rejected) page->ExchangeData(false);
            }
            ShowControlStates();
            Report(outcome.ok, fw::Translate("CLINKMATESheet", "Read Configration Successfully!"),
                   outcome);
        });
}

void CLINKMATESheet::OnWrite() {
    if (!m_port.IsOpen()) return;
    if (!ReadyToSend()) return;
    // Filled on the exchange's thread, read on the window's once the exchange has ended.
    auto write = std::make_shared<VerifiedWrite>();
    RunExchange(
        kWriteProgress,
        [write](PortIo& io, ExchangeOutcome& outcome) {
            // A write counts only once the converter has been read back and holds what was sent.
            *write = WriteAndVerify(io, outcome.config);
            outcome.trace = write->verified() ? write->write : write->lastTrace();
            outcome.heardNothing = write->heardNothing();
            return write->verified();
        },
        [this, write](ExchangeOutcome& outcome) {
            if (outcome.cancelled) {
                SetEvent(fw::Translate(
                    "CLINKMATESheet",
                    "Write cancelled: nothing was saved; the converter may hold what was sent."));
                return;
            }
            if (write->outcome == VerifiedWrite::Outcome::kDiffers) {
                ReportDifferences(outcome, write->held, write->differences);
                return;
            }
            Report(outcome.ok, fw::Translate("CLINKMATESheet", "Write Configration Successfully!"),
                   outcome,
                   fw::Translate("CLINKMATESheet",
                                 "The converter may have taken the new values: press Read to see "
                                 "what it holds."));
            ExchangePages(false);
            ShowControlStates();
        });
}

fw::CDialog* CLINKMATESheet::SavePages() {
    fw::CDialog* rejected = nullptr;
    for (fw::CDialog* page : SettingsPages()) {
        if (!page->ExchangeData(true) && rejected == nullptr) rejected = page;
    }
    return rejected;
}

bool CLINKMATESheet::PagesSayWhatTheyShow() {
    if (fw::CDialog* rejected = SavePages()) {
        ShowPage(rejected);
        rejected->FocusRejected();
        return false;
    }
    if (const auto field = FirstMalformedField(m_canPage.can)) {
        Tell(MalformedFieldMessage(*field, HexFieldText(m_canPage.can, *field)));
        ShowPage(&m_canPage);
        m_canPage.FocusField(*field);
        return false;
    }
    return true;
}

bool CLINKMATESheet::ReadyToSend() {
    if (!PagesSayWhatTheyShow()) return false;
    for (;;) {
        const DeviceConfig config = CurrentConfig();
        const std::vector<HeldValue> differences = ValuesHeldDifferently(config);
        if (differences.empty()) return true;
        // A field typed as one run of digits ("7FF") was almost surely meant as one number
        // (00 00 07 FF), not as the byte groups it reads as (7F 0F 00 00): offered as a third
        // answer.
        std::vector<std::pair<HexField, std::string>> asNumbers;
        std::string numbers;
        for (const HeldValue& v : differences) {
            const int bytes = HexFieldBytes(v.field);
            const auto number = ParseHexRun(HexFieldText(config.can, v.field), bytes);
            if (!number || *number == v.typed) continue;
            asNumbers.emplace_back(v.field, FormatBytes(*number, bytes));
            numbers += (numbers.empty() ? "" : ", ") + text::Unbroken(asNumbers.back().second);
        }
        const std::string alternative =
            asNumbers.empty()
                ? std::string()
                : text::Arg(SheetText(TRANSLATE_NOOP("CLINKMATESheet", "Use %1")), {numbers});
        switch (fw::Ask(this, HeldDifferentlyQuestion(config.can, differences),
                        res::LoadString(IDS_MSG_CAPTION), alternative)) {
            case fw::kAnswerYes: return true;
            case fw::kAnswerAlternative:
                // Into the fields, then asked again only if the converter would still hold
                // something else.
                for (const auto& [field, text] : asNumbers)
                    HexFieldText(m_canPage.can, field) = text;
                m_canPage.ExchangeData(false);
                MarkEdited();
                continue;
            case fw::kAnswerNo: break;
        }
        ShowPage(&m_canPage);
        m_canPage.FocusField(differences.front().field);
        return false;
    }
}

void CLINKMATESheet::ShowPage(const fw::CDialog* page) {
    for (int index = 0; index < GetPageCount(); ++index) {
        if (GetPage(index) == page) SetActivePage(index);
    }
}

void CLINKMATESheet::ShowControlStates() {
    m_tranPage.ShowControlStates();
    m_canPage.ShowControlStates();
}

void CLINKMATESheet::RunExchange(const char* progress, Transaction transaction,
                                 std::function<void(ExchangeOutcome&)> finish) {
    auto control = std::make_shared<ExchangeControl>();
    const fw::Control focus = FocusedControl();
    m_exchange = control;
    m_progress = progress;
    m_exchangeStart = std::chrono::steady_clock::now();
    LockForExchange(true);
    m_progressLogged = false;
    ShowProgress();
    m_progressTimer.Start(kProgressInterval, true, [this] { ShowProgress(); });

    const uint32_t readTimeoutMs = m_port.readTimeoutMs();
    fw::RunOffWindowThread<ExchangeOutcome>(
        [this, control, readTimeoutMs, transaction = std::move(transaction),
         config = CurrentConfig(), startedAt = DateTimeNow()] {
            ExchangeOutcome outcome;
            outcome.config = config;
            outcome.startedAt = startedAt;
            {
                SerialPortIo serial(m_port);
                CancellablePortIo io(serial, readTimeoutMs, *control);
                outcome.ok = transaction(io, outcome);
                // Silence may be the other model, which talks at another bit rate.
                if (!outcome.ok && outcome.heardNothing && !control->cancelled) {
                    outcome.probed = true;
                    outcome.probe.start = outcome.trace.start;
                    outcome.otherModel = ProbeOtherModels(m_port, io, &outcome.probe);
                }
            }
            // An answer that made it despite a late cancel still counts.
            // A device that went away ends the exchange at once; the port watch then closes the
            // port and says so, as after a cancel.
            outcome.cancelled =
                !outcome.ok && (control->cancelled || outcome.trace.deviceRemoved());
            control->finished = true;
            return outcome;
        },
        [this, focus, alive = std::weak_ptr<bool>(m_alive),
         finish = std::move(finish)](ExchangeOutcome outcome) {
            if (alive.expired()) return;
            m_progressTimer.Stop();
            m_exchange.reset();
            LockForExchange(false);
            RestoreFocus(focus);
            finish(outcome);
            RestoreFocus(focus);
            if (m_closeWhenDone) Close();
        });
}

void CLINKMATESheet::LockForExchange(bool locked) {
    // The tab control with the pages in it; the pages keep their own state, so their enable
    // handlers do not re-apply rules to what they show.
    GetDlgItem(fw::AFX_IDC_TAB_CONTROL).EnableWindow(!locked);
    for (int id : {fw::IDOK, fw::IDCANCEL, fw::ID_APPLY_NOW}) GetDlgItem(id).EnableWindow(!locked);
    // Disconnecting would close the port under the exchange.
    m_panel.GetDlgItem(IDC_CONNECT).EnableWindow(!locked);
    m_undoButton.ShowWindow(!locked && m_undo);
    m_cancel.ShowWindow(locked);
    m_cancel.EnableWindow(locked);
    if (locked) m_cancel.SetFocus();
}

void CLINKMATESheet::ShowProgress() {
    if (!m_exchange) return;
    const auto elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_exchangeStart);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", elapsed.count());
    const int request = std::max(m_exchange->sends.load(), 1);
    // Only the first tick goes into the log: the rest say the same with another clock.
    m_logStatus = !m_progressLogged;
    m_progressLogged = true;
    SetEvent(text::Arg(SheetText(m_progress), {std::to_string(request), seconds}));
    m_logStatus = true;
}

void CLINKMATESheet::CancelExchange() {
    if (m_exchange) m_exchange->cancelled = true;
}

bool CLINKMATESheet::OnCloseRequest() {
    if (!m_exchange) return true;
    m_closeWhenDone = true;
    CancelExchange();
    return false;
}

void CLINKMATESheet::RefreshStatus() {
    SetStatus(FormatStatus(m_facts));
    if (!m_logStatus) return;
    // The log keeps what changed: the event, or else the connection and the pages' origin.
    SheetStatus facts = m_facts;
    facts.event.clear();
    const std::string entry = OneLine(m_facts.event.empty() ? FormatStatus(facts) : m_facts.event);
    if (!m_lastLogged.empty() && m_lastLogged == entry) return;
    m_lastLogged = entry;
    m_eventLog.push_back(ClockTime() + "  " + entry);
}

void CLINKMATESheet::SetEvent(const std::string& text) {
    m_facts.event = text;
    RefreshStatus();
}

void CLINKMATESheet::SetOrigin(PagesOrigin origin, const std::string& detail) {
    m_facts.origin = origin;
    m_facts.originDetail = detail;
    m_facts.editedSince = false;
    m_facts.event.clear();
    FollowOriginOnConnect();
    RefreshStatus();
}

void CLINKMATESheet::MarkEdited() {
    if (m_facts.editedSince) return;
    m_facts.editedSince = true;
    RefreshStatus();
}

void CLINKMATESheet::SetStatus(const std::string& text) {
    // Laid out only when it changes: a progress tick or a repeated event costs nothing.
    if (text == m_statusText) return;
    m_statusText = text;
    // The line has room for a few lines only: the whole text is in its tip and in the log.
    fw::SetFittedText(m_statusLine, text);
    m_statusLine.SetToolTip(text);
    SetAccessibleDescription(text);
}

void CLINKMATESheet::OnSaveReport() {
    if (m_lastReport.empty()) {
        Tell(fw::Translate("CLINKMATESheet", "No failure has been reported in this run."));
        return;
    }
    const fw::Control focus = FocusedControl();
    const std::string suggested =
        (std::filesystem::path(LastConfigFolder()) / "linkmate-report.txt").string();
    const std::string path = fw::AskFileName(
        this,
        {fw::FileDialogKind::kSave, fw::Translate("CLINKMATESheet", "Save report"),
         fw::Translate("CLINKMATESheet", "Text files (*.txt);;All files (*)"), suggested, "txt"});
    RestoreFocus(focus);
    if (path.empty()) return;
    // The event log goes with it: what happened before the failure.
    std::string log;
    for (const std::string& entry : m_eventLog) log += entry + "\n";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << m_lastReport << "\n" << log;
    out.close();
    if (!out) {
        fw::MessageBox(
            this,
            text::Arg(fw::Translate("CLINKMATESheet", "The report could not be saved: %1."),
                      {path}),
            res::LoadString(IDS_MSG_CAPTION), fw::MessageIcon::kExclamation);
    }
}

void CLINKMATESheet::OnEventLog() {
    const fw::Control focus = FocusedControl();
    std::string log;
    for (const std::string& entry : m_eventLog) log += entry + "\n";
    fw::MessageBox(
        this,
        text::Arg(fw::Translate("CLINKMATESheet",
                                "%1 events in this run; Show Details lists them with their times."),
                  {std::to_string(m_eventLog.size())}),
        res::LoadString(IDS_MSG_CAPTION), fw::MessageIcon::kNone, {}, log);
    RestoreFocus(focus);
}

void CLINKMATESheet::Report(bool ok, const std::string& success, const ExchangeOutcome& outcome,
                            const std::string& advice) {
    const ExchangeTrace& trace = outcome.trace;
    if (!ok) {
        std::string hint = outcome.otherModel ? ModelHint(*outcome.otherModel) : std::string();
        for (const std::string_view model : lists::DeviceType)
            hint = text::KeepUnbroken(hint, model);
        SetEvent(text::Arg(fw::Translate("CLINKMATESheet", "Communication error: %1"),
                           {JoinSentences(trace.Diagnosis(), hint)}));
        // What the engineer can act on under the message; every attempt behind "Show Details...".
        std::string detail = trace.Diagnosis();
        for (const std::string& more : {hint, advice}) {
            if (!more.empty()) detail += (detail.empty() ? "" : "\n\n") + more;
        }
        const std::string details =
            ReportContext(outcome) + "\n" + trace.Format() + outcome.probe.Format();
        const std::string heading = fw::Translate("CLINKMATESheet", "Communication Error!");
        m_lastReport = heading + "\n\n" + detail + "\n\n" + details;
        fw::MessageBox(this, heading, res::LoadString(IDS_MSG_CAPTION), fw::MessageIcon::kNone,
                       detail, details);
        return;
    }
    std::string error;
    const bool saved = SaveProfile(m_serialPage.serial, m_canPage.can, m_tranPage.tran,
                                   m_panel.connection, &error);
    // The pages now match the converter; what they showed before is no longer theirs to bring back.
    DropUndo();
    SetOrigin(trace.exchange == "write" ? PagesOrigin::kWritten : PagesOrigin::kRead, ClockTime());
    Tell(success);
    if (!saved) {
        // The converter has its configuration; only the next start will not show it.
        fw::MessageBox(
            this,
            text::Arg(fw::Translate("CLINKMATESheet",
                                    "The settings could not be saved in the profile, so the next "
                                    "start will not show them: %1."),
                      {error}),
            res::LoadString(IDS_MSG_CAPTION), fw::MessageIcon::kExclamation);
    }
}

std::string CLINKMATESheet::ReportContext(const ExchangeOutcome& outcome) const {
    const auto line = [](const char* source, std::initializer_list<std::string> values) {
        return text::Arg(fw::Translate("CLINKMATESheet", source), values) + "\n";
    };
    std::string device =
        m_facts.device.empty() ? fw::Translate("CLINKMATESheet", "unknown") : m_facts.device;
    if (!m_facts.deviceDescription.empty()) device += " (" + m_facts.deviceDescription + ")";
    std::string out =
        line(TRANSLATE_NOOP("CLINKMATESheet", "Program: %1 %2 on %3"),
             {fw::ApplicationName(), LINKMATE_VERSION, SystemName()}) +
        line(TRANSLATE_NOOP("CLINKMATESheet", "Started: %1"), {outcome.startedAt}) +
        line(TRANSLATE_NOOP("CLINKMATESheet", "Port: %1, device %2"), {m_facts.port, device}) +
        line(TRANSLATE_NOOP("CLINKMATESheet", "Model: %1 at %2 bit/s"),
             {m_facts.model, std::to_string(m_facts.bitRate)});
    if (outcome.probed) {
        for (size_t model = 0; model < ConfigPortBaudTable.size(); ++model) {
            if (ConfigPortBaudTable[model] == m_facts.bitRate) continue;
            const bool answered =
                outcome.otherModel && static_cast<size_t>(*outcome.otherModel) == model;
            out += line(
                answered
                    ? TRANSLATE_NOOP("CLINKMATESheet",
                                     "Asked again at %1 bit/s (%2): a converter answered")
                    : TRANSLATE_NOOP("CLINKMATESheet", "Asked again at %1 bit/s (%2): no answer"),
                {std::to_string(ConfigPortBaudTable[model]),
                 std::string(lists::DeviceType.at(model))});
        }
    }
    return out;
}

void CLINKMATESheet::ReportDifferences(const ExchangeOutcome& outcome, const ConfigFrame& held,
                                       const std::vector<FrameFieldDifference>& differences) {
    // The converter answered the read-back with other values: nothing is saved and the pages keep
    // what was typed, so the operator can write again or read what the converter holds.
    std::string fields;
    for (const std::string& line : DescribeHeldDifferences(outcome.config, held, differences)) {
        fields += (fields.empty() ? "" : "\n") + line;
    }
    const std::string text = fw::Translate(
        "CLINKMATESheet", "The converter answered, but it holds other values than you wrote.");
    // The line has room for the heading; the fields are in the box and its details.
    SetEvent(text);
    const std::string details = ReportContext(outcome) + "\n" + outcome.trace.Format();
    m_lastReport = text + "\n\n" + fields + "\n\n" + details;
    fw::MessageBox(this, text, res::LoadString(IDS_MSG_CAPTION), fw::MessageIcon::kExclamation,
                   fields, details);
}

void CLINKMATESheet::ClosePort() {
    m_portWatch.Closed();
    try {
        m_port.Close();
    } catch (const CFileException& e) {
        // The port counts as closed all the same; an exception must not leave an event handler.
        Tell(text::Arg(
            fw::Translate("CLINKMATESheet", "The serial port could not be closed cleanly: %1"),
            {e.what()}));
    }
}

long CLINKMATESheet::OnConnectToggle(int32_t deviceType, int32_t configPort) {
    if (IsExchanging()) return m_port.IsOpen() ? 1 : 0;
    long result = 0;
    if (m_port.IsOpen()) {
        ClosePort();
    } else if (CFileException error; OpenConfigPort(m_port, deviceType, configPort, &error)) {
        result = 1;
        m_openComNumber = configPort + 1;
        m_portWatch.Opened(ResolvePortName(FormatComPortName(m_openComNumber)));
    } else {
        fw::MessageBox(this, fw::Translate("CLINKMATESheet", "Invalid serial port!"),
                       res::LoadString(IDS_MSG_CAPTION), fw::MessageIcon::kNone,
                       DescribeOpenFailure(FormatComPortName(configPort + 1LL), error));
    }
    for (int id : {fw::IDOK, fw::IDCANCEL, fw::ID_APPLY_NOW})
        GetDlgItem(id).EnableWindow(result == 1);
    m_facts.connected = result == 1;
    if (m_facts.connected) {
        const ComPortInfo info = DescribeComPort(configPort + 1);
        m_facts.port = "COM" + std::to_string(configPort + 1);
        m_facts.device = info.devicePath;
        m_facts.deviceDescription = info.description;
        // Raw TCP runs at the server's settings, whatever the model: the status line says so.
        for (const std::string& note : m_port.networkNotes())
            m_facts.deviceDescription += "; " + note;
        m_facts.model = std::string(lists::DeviceType.at(static_cast<size_t>(deviceType)));
        m_facts.bitRate = ConfigPortBaudTable.at(static_cast<size_t>(deviceType));
    }
    m_facts.event.clear();
    RefreshStatus();
    return result;
}

void CLINKMATESheet::OnDestroy() {
    m_portWatchTimer.Stop();
    if (m_port.IsOpen()) ClosePort();
}

bool CLINKMATESheet::OnSysCommand(unsigned command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    const fw::Control focus = FocusedControl();
    CAboutDlg about;
    about.DoModal(this);
    RestoreFocus(focus);
    return true;
}

void CLINKMATESheet::WireCommands() {
    AddShortcut(kPortsShortcut, [this] { OnPorts(); });
    AddShortcut(kFindShortcut, [this] { OnFindConverter(); });
    AddShortcut(kOpenShortcut, [this] { OnOpenConfiguration(); });
    AddShortcut(kBitTimingShortcut, [this] { OnBitTimingCalculator(); });
    AddShortcut(kSaveShortcut, [this] { OnSaveConfiguration(); });
    AddShortcut(kAboutShortcut, [this] { OnSysCommand(IDM_ABOUTBOX); });
    AddShortcut(kUndoShortcut, [this] { OnUndo(); });
    AddShortcut(kEventLogShortcut, [this] { OnEventLog(); });
    // No program-controlled system menu here: the About entry lives in the window's context
    // menu instead (and on F1).
    SetContextMenu({
        {fw::Translate("CLINKMATESheet", "&Open configuration..."), kOpenShortcut,
         [this] { OnOpenConfiguration(); }},
        {fw::Translate("CLINKMATESheet", "&Save configuration..."), kSaveShortcut,
         [this] { OnSaveConfiguration(); }},
        {},
        {fw::Translate("CLINKMATESheet", "&Find converter..."), kFindShortcut,
         [this] { OnFindConverter(); }},
        {fw::Translate("CLINKMATESheet", "&Ports..."), kPortsShortcut, [this] { OnPorts(); }},
        {fw::Translate("CLINKMATESheet", "&Bit timing calculator..."), kBitTimingShortcut,
         [this] { OnBitTimingCalculator(); }},
        {fw::Translate("CLINKMATESheet", "Event &log..."), kEventLogShortcut,
         [this] { OnEventLog(); }},
        {fw::Translate("CLINKMATESheet", "Save &report..."), {}, [this] { OnSaveReport(); }},
        {res::LoadString(IDS_ABOUTBOX), {}, [this] { OnSysCommand(IDM_ABOUTBOX); }},
    });
}

void CLINKMATESheet::OnSaveConfiguration() {
    // The pages as they are; an entry that Write would refuse stops the save as well.
    if (!PagesSayWhatTheyShow()) return;
    // The model the panel shows, chosen or connected.
    const int shown = m_panel.Item<fw::ComboBox>(IDC_DEVICE).GetCurSel();
    const std::string model(lists::DeviceType.at(shown == 1 ? 1 : 0));
    const std::string suggested = (std::filesystem::path(LastConfigFolder()) /
                                   SuggestedConfigFileName(model, std::time(nullptr)))
                                      .string();
    const std::string path = WithConfigFileExtension(fw::AskFileName(
        this, {fw::FileDialogKind::kSave, fw::Translate("CLINKMATESheet", "Save configuration"),
               SheetText(kConfigFileFilter), suggested, kConfigFileExtension}));
    if (path.empty()) return;
    std::string error;
    if (!WriteConfigFile(path, CurrentConfig(), &error)) {
        fw::MessageBox(
            this,
            text::Arg(fw::Translate("CLINKMATESheet", "The configuration could not be saved: %1."),
                      {error}),
            res::LoadString(IDS_MSG_CAPTION), fw::MessageIcon::kExclamation);
        return;
    }
    RememberConfigFolder(path);
}

void CLINKMATESheet::OnOpenConfiguration() {
    if (IsExchanging()) return;  // the pages and the port belong to the exchange
    const fw::Control focus = FocusedControl();
    const std::string path = fw::AskFileName(
        this, {fw::FileDialogKind::kOpen, fw::Translate("CLINKMATESheet", "Open configuration"),
               SheetText(kConfigFileFilter), LastConfigFolder(), kConfigFileExtension});
    RestoreFocus(focus);
    if (path.empty()) return;
    DeviceConfig config = CurrentConfig();
    std::string error;
    if (!ReadConfigFile(path, config, &error)) {
        fw::MessageBox(
            this,
            text::Arg(fw::Translate("CLINKMATESheet", "The configuration could not be opened: %1."),
                      {error}),
            res::LoadString(IDS_MSG_CAPTION), fw::MessageIcon::kExclamation);
        return;
    }
    RememberConfigFolder(path);
    // What the pages show, typed entries included, is what Undo brings back.
    ExchangePages(true);
    // The file has no custom-mask box: ticked for a mask that compares anything, as a Read decodes
    // it, so the mask the file holds can be edited and a rule leaves it as the box says.
    const CanSettings& can = config.can;
    const bool zeroMask = can.CanFiterMode != 0 ? ParseHexGroups(can.CanAcptMask, 4) == 0
                                                : ParseHexGroups(can.CanAcptMask1, 2) == 0 &&
                                                      ParseHexGroups(can.CanAcptMask2, 2) == 0;
    config.can.CanCustomMask = zeroMask ? 0 : 1;
    // Into the pages, as Default puts its values there: nothing is sent until Write. The texts
    // stay as the file has them.
    KeepForUndo(kOpenCommand);
    m_serialPage.serial = config.serial;
    m_canPage.can = config.can;
    m_tranPage.tran = config.tran;
    ExchangePages(false);
    ShowControlStates();
    SetOrigin(PagesOrigin::kFile, std::filesystem::path(path).filename().string());
}

DeviceConfig CLINKMATESheet::CurrentConfig() const {
    return DeviceConfig{m_serialPage.serial, m_canPage.can, m_tranPage.tran, m_panel.connection};
}

void CLINKMATESheet::OnBitTimingCalculator() {
    if (IsExchanging()) return;  // the pages and the port belong to the exchange
    fw::Control focus = FocusedControl();
    CBitTimingDlg dialog([this, &focus](const BitTiming& t) {
        ExchangePages(true);
        KeepForUndo(kBitTimingCommand);
        m_canPage.UseBitTiming(t.btr0, t.btr1);
        MarkEdited();
        ShowPage(&m_canPage);
        focus = m_canPage.GetDlgItem(IDC_CAN_BTR0);
    });
    dialog.DoModal(this);
    RestoreFocus(focus);
}

void CLINKMATESheet::OnPorts() {
    if (IsExchanging()) return;  // the pages and the port belong to the exchange
    const fw::Control focus = FocusedControl();
    CPortMapDlg dialog;
    m_portsDialog = &dialog;
    dialog.DoModal(this);
    m_portsDialog = nullptr;
    RestoreFocus(focus);
    m_panel.RefreshPortTips();
}

void CLINKMATESheet::OnFindConverter() {
    if (IsExchanging()) return;  // the port belongs to the exchange
    // The search asks every port, the open one too: the window lets it go for the search and
    // connects again afterwards, to the converter chosen if one was.
    const fw::Control focus = FocusedControl();
    const bool wasConnected = m_port.IsOpen();
    if (wasConnected) m_panel.OnConnect();
    std::vector<int> ports;
    for (int n = kFirstComPort; n < kFirstComPort + static_cast<int>(lists::ConfigPort.size()); ++n)
        ports.push_back(n);
    bool used = false;
    CFindConverterDlg dialog(ports, [this, &used](std::optional<int32_t> model, int comNumber) {
        if (model) m_panel.connection.DeviceType = *model;
        m_panel.connection.ConfigPort = comNumber - kFirstComPort;
        m_panel.ExchangeData(false);
        used = true;
    });
    dialog.DoModal(this);
    const std::string com = std::to_string(m_panel.connection.ConfigPort + kFirstComPort);
    if (wasConnected) {
        m_panel.OnConnect();
        // A failure to connect again has been told already.
        if (m_port.IsOpen()) {
            SetEvent(used ? text::Arg(fw::Translate("CLINKMATESheet",
                                                    "Connected to the converter found on COM%1."),
                                      {com})
                          : text::Arg(fw::Translate("CLINKMATESheet",
                                                    "Connected to COM%1 again after the search."),
                                      {com}));
        }
    } else if (used) {
        SetEvent(text::Arg(
            fw::Translate("CLINKMATESheet", "The converter on COM%1 is chosen: press Connect."),
            {com}));
    }
    RestoreFocus(focus);
}

void CLINKMATESheet::OnPortWatchTick() {
    const HotplugEffect effect = m_portWatch.Poll();
    if (effect.refreshPorts) {
        m_panel.RefreshPortTips();
        if (m_portsDialog != nullptr && m_portsDialog->IsCreated()) m_portsDialog->Refresh();
    }
    // A server's port has no device to watch: its connection is looked at instead, while no
    // exchange uses the port (one that loses it ends at once, and the next tick closes).
    const bool connectionLost = m_port.isNetwork() && !IsExchanging() && !m_port.CheckConnection();
    m_openDeviceGone =
        (m_openDeviceGone || effect.openedDeviceRemoved || connectionLost) && m_port.IsOpen();
    if (!m_openDeviceGone) return;
    // The exchange's thread uses the port: it ends first (cancelled), and a later tick closes.
    if (IsExchanging()) {
        CancelExchange();
        return;
    }
    m_openDeviceGone = false;
    const bool network = m_port.isNetwork();
    const std::string lost = m_port.RemovalText();
    ClosePort();
    for (int id : {fw::IDOK, fw::IDCANCEL, fw::ID_APPLY_NOW}) GetDlgItem(id).EnableWindow(false);
    m_panel.ShowConnection(false);
    m_facts.connected = false;
    SetEvent(network
                 ? text::Arg(fw::Translate("CLINKMATESheet", "COM%1: %2."),
                             {std::to_string(m_openComNumber), lost})
                 : text::Arg(fw::Translate("CLINKMATESheet", "The adapter of COM%1 was unplugged."),
                             {std::to_string(m_openComNumber)}));
}

}  // namespace linkmate
