// The main window: the connection panel on top, the Conversion, Serial and CAN pages, and the
// Default, Read and Write commands.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/sheet_status.h"
#include "framework/application.h"
#include "framework/property_sheet.h"
#include "protocol/cancellable_port.h"
#include "protocol/exchange_trace.h"
#include "protocol/frame_check.h"
#include "serial/hotplug.h"
#include "serial/serial_comm.h"
#include "ui/can_page.h"
#include "ui/connect_panel.h"
#include "ui/serial_page.h"
#include "ui/tran_page.h"

namespace linkmate {

class CPortMapDlg;

// WM_USER + 100: the panel asks the main window to connect or disconnect.
inline constexpr int WM_CONNECT_TOGGLE = 0x0400 + 100;

// The model and port index chosen on the command line, over the profile's, for one start.
struct StartChoice {
    std::optional<int32_t> model;
    std::optional<int32_t> port;
    std::string language;  // from --lang; empty: the locale's
};

class CLINKMATESheet : public fw::CPropertySheet, public ConnectionHost {
public:
    CLINKMATESheet(int captionId, fw::CWnd* parent, int startPage);
    ~CLINKMATESheet() override;
    void SetStartChoice(const StartChoice& choice) { m_startChoice = choice; }

    long OnConnectToggle(int32_t deviceType, int32_t configPort) override;
    std::vector<fw::CDialog*> SettingsPages() override;

    // System commands; IDM_ABOUTBOX (any of 0x10..0x1F) opens the About box.
    bool OnSysCommand(unsigned command);
    // The "Ports" dialog (context menu and Ctrl+P).
    void OnPorts();
    // The bit timing calculator (context menu and Ctrl+B); "Use" fills BTR0/BTR1 with Custom.
    void OnBitTimingCalculator();
    // "Find converter..." (context menu and Ctrl+F): searches every COM port; "Use" chooses the
    // model and port that answered in the panel. Connected, the window lets its port go first,
    // so that the search can ask it at both rates.
    void OnFindConverter();
    // Configuration files (context menu, Ctrl+S and Ctrl+O): the pages to a file, a file to the
    // pages.
    void OnSaveConfiguration();
    void OnOpenConfiguration();

    // Where the commands run; the buttons (1, 2, 12321) lead here.
    bool OnCommand(int id) override;

    // True while a Read or Write runs off the window thread.
    bool IsExchanging() const { return m_exchange != nullptr; }
    // Stops the running Read or Write (the Cancel button): nothing is saved, the pages stay.
    void CancelExchange();
    // Brings back what the pages showed before the last Default, Open or bit timing Use (Ctrl+Z
    // and the Undo button), once, until something is read or written.
    void OnUndo();
    bool CanUndo() const { return m_undo.has_value(); }
    // The line under the command buttons: progress, then what the pages show.
    // The status line's whole text (also its tip), and the lines it shows of it.
    const std::string& StatusText() const { return m_statusText; }
    std::string ShownStatusText() const { return m_statusLine.GetWindowText(); }
    // Every status the line showed in this run (progress ticks aside), each with its time.
    const std::vector<std::string>& EventLog() const { return m_eventLog; }
    // The log in a box, copyable (context menu and Ctrl+L).
    void OnEventLog();
    // The last failure's report (message, diagnosis, context, trace) and the event log to a text
    // file, for a support ticket (context menu).
    void OnSaveReport();

    // Members in declaration order, as they are constructed.
    CSerialComm m_port;
    CLINKMATEDlg m_panel;
    CTranPage m_tranPage;
    CSerialPage m_serialPage;
    CCanPage m_canPage;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    // Closing during an exchange cancels it and closes once it has ended.
    bool OnCloseRequest() override;

private:
    // The shortcuts and the context menu, in one place.
    void WireCommands();
    void OnDefault();
    void OnRead();
    void OnWrite();
    void ExchangePages(bool save);
    // Copies every page into its members; the first page that rejected an entry, or nullptr.
    fw::CDialog* SavePages();
    // The pages saved without a rejected entry and every hex field the frame reads well-formed;
    // otherwise the operator is told, the focus goes to the field in question, and false.
    bool PagesSayWhatTheyShow();
    // Before a Write: the above, and the operator's consent where the converter would hold
    // something else than a field shows.
    bool ReadyToSend();
    void ShowPage(const fw::CDialog* page);
    // After the pages were loaded: their enabling and layout follow the values.
    void ShowControlStates();
    // The pages the start did not make, made hidden, in the window's state.
    void CreateHiddenPages();
    DeviceConfig CurrentConfig() const;
    struct ExchangeOutcome {
        bool ok = false;
        bool cancelled = false;
        DeviceConfig config;  // what the transaction left: decoded by a Read
        ExchangeTrace trace;
        bool heardNothing = false;          // not a byte came back
        bool probed = false;                // the other models' rates were asked after silence
        std::optional<int32_t> otherModel;  // then: the model that answered at its own rate
        ExchangeTrace probe;                // then: each ask at another rate, as sent and heard
        std::string startedAt;              // local date and time the exchange began
    };
    // Fills the outcome's config, trace and heardNothing; true on success.
    using Transaction = std::function<bool(PortIo&, ExchangeOutcome&)>;
    // Runs `transaction` over the port on a thread of its own with a copy of the settings, the
    // window kept live but its commands locked; `finish` gets the outcome on the window thread.
    void RunExchange(const char* progress, Transaction transaction,
                     std::function<void(ExchangeOutcome&)> finish);
    void LockForExchange(bool locked);
    void ShowProgress();
    void SetStatus(const std::string& text);
    // The status line from the facts: the connection, the pages' origin, the latest event.
    void RefreshStatus();
    void SetEvent(const std::string& text);
    // The pages now show values from `origin`, not edited since; the event is over.
    void SetOrigin(PagesOrigin origin, const std::string& detail = {});
    void MarkEdited();
    // On success saves the profile, then tells `success`; otherwise tells of the error with the
    // exchange's diagnosis and trace.
    // `advice`, when given, goes under the diagnosis of a failure, after the hint of the model
    // that answered at its own rate.
    void Report(bool ok, const std::string& success, const ExchangeOutcome& outcome,
                const std::string& advice = {});
    // What a support ticket needs beside the trace: program, system, date and time, port, device,
    // model and bit rate, and what was asked at the other models' rates.
    std::string ReportContext(const ExchangeOutcome& outcome) const;
    void ReportDifferences(const ExchangeOutcome& outcome, const ConfigFrame& held,
                           const std::vector<FrameFieldDifference>& differences);
    void ClosePort();
    void Tell(const std::string& text);
    // Before a command replaces every page: what they show now, for one Undo.
    void KeepForUndo(const char* command);
    void DropUndo();
    // The control that has the keyboard focus, and giving it back after an exchange or a dialog:
    // never to Default or Disconnect, where a stray Space would undo the operator's work.
    fw::Control FocusedControl() const;
    void RestoreFocus(fw::Control where);
    // Enabling the pages (Connect) leaves values that were opened, read or written as they are;
    // over the profile's or the factory values it runs the rules.
    void FollowOriginOnConnect();
    // Adapters and virtual converters that come and go while the window is open: the COM list's
    // tips and an open Ports dialog follow them; the open port's device going away disconnects.
    void OnPortWatchTick();

    struct PagesSnapshot {
        SerialSettings serial;
        CanSettings can;
        TranSettings tran;
        PagesOrigin origin;
        std::string originDetail;
        bool editedSince;
        const char* command;  // untranslated
    };
    std::optional<PagesSnapshot> m_undo;
    std::vector<std::string> m_eventLog;
    bool m_logStatus = true;  // off for the progress line's ticks
    bool m_progressLogged = false;
    std::string m_lastLogged;
    std::string m_lastReport;  // the last failure's box, whole
    fw::Control m_undoButton;

    StartChoice m_startChoice;
    fw::Control m_statusLine;
    std::string m_statusText;
    SheetStatus m_facts;
    fw::Control m_cancel;
    std::shared_ptr<ExchangeControl> m_exchange;  // while one runs
    const char* m_progress = nullptr;             // its progress text, untranslated
    std::chrono::steady_clock::time_point m_exchangeStart;
    fw::Timer m_progressTimer;
    bool m_closeWhenDone = false;
    // Lets an exchange's result that arrives after the window is gone be dropped.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    PortWatch m_portWatch;
    fw::Timer m_portWatchTimer;
    CPortMapDlg* m_portsDialog = nullptr;  // while the Ports dialog is open
    int m_openComNumber = 0;
    bool m_openDeviceGone = false;  // seen while an exchange ran; closed once it has ended
};

}  // namespace linkmate
