// Windows built from templates: controls created from their template and reached by identifier,
// notifications wired in one place per window, data exchange that no notification handler can
// interrupt, and an enable notification.
#pragma once

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "framework/data_exchange.h"
#include "framework/dialog_template.h"
#include "framework/window.h"

namespace linkmate::fw {

class CDialog : public CWnd {
public:
    explicit CDialog(const DialogTemplate& tmpl);
    ~CDialog() override;

    // Creates the window and its controls as a child of `parent` and runs OnInitDialog. A
    // property sheet creates its pages on its tab control, enabled, and sets their state itself:
    // it passes true for `asPage`.
    bool Create(CWnd* parent, bool asPage = false);
    bool IsCreated() const { return peer() != nullptr; }
    // Creates the window as a pop-up owned by `owner`, runs OnInitDialog and then the window
    // until EndDialog; returns EndDialog's result.
    int DoModal(CWnd* owner);
    void EndDialog(int result);

    const DialogTemplate& dialogTemplate() const { return m_template; }

    // The control `id` as a handle of kind `T` (empty when there is none of that kind).
    template <typename T = Control>
    T Item(int id) const {
        return HandleOf<T>(peer() ? peer()->Item(id) : nullptr);
    }
    Control GetDlgItem(int id) const { return Item<Control>(id); }
    // The controls the Tab key visits, in reading order.
    std::vector<Control> TabStops() const;
    void EnableItem(int id, bool enable) { GetDlgItem(id).EnableWindow(enable); }
    void ShowItem(int id, bool show) { GetDlgItem(id).ShowWindow(show); }

    // save: controls to members, false when a value could not be read. load: members to controls.
    // No notification handler runs while either direction is in progress.
    bool ExchangeData(bool save);
    bool InExchange() const { return m_exchangeDepth > 0; }
    // After a save that failed: the control whose value was rejected (else an empty handle), and
    // giving it the focus with its text selected again, as the failed save did.
    Control RejectedControl() const { return GetDlgItem(m_rejectedId); }
    void FocusRejected();

    // The explicit enable notification, in addition to the one a change of state sends.
    void SendEnable(bool enable) { OnEnable(enable); }
    // Delivers `code` from control `id` as the control itself would.
    void SendNotify(int id, Notify code);

    // Runs after every change the operator makes to a control (an edit's text, a list's choice, a
    // check box), never for a change made during an exchange.
    void SetChangeObserver(std::function<void()> observer) {
        m_changeObserver = std::move(observer);
    }

    // The backend's side: a control's notification, a change of the window's enabled state.
    void HandleNotify(int id, Notify code);
    void HandleEnable(bool enable);

    // Tests watch modal runs through this: called once the dialog is set up, before it runs; a
    // dialog ended from inside does not run.
    using ModalObserver = std::function<void(CDialog&)>;
    static void SetModalObserver(ModalObserver observer);

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnEnable(bool enable);
    // IDOK and IDCANCEL end a pop-up with that result; a page or panel ignores them.
    virtual void OnOK();
    virtual void OnCancel();

    // Wires `handler` to `code` from control `id`. It never runs during an exchange.
    template <typename Owner>
    void On(int id, Notify code, void (Owner::*handler)()) {
        Owner* owner = static_cast<Owner*>(this);
        m_handlers[{id, code}] = [owner, handler] { (owner->*handler)(); };
    }

private:
    const DialogTemplate& m_template;
    std::map<std::pair<int, Notify>, std::function<void()>> m_handlers;
    std::function<void()> m_changeObserver;
    int m_exchangeDepth = 0;
    int m_rejectedId = 0;
    bool m_popup = false;
    bool m_ended = false;
    int m_result = 0;
};

class CPropertyPage : public CDialog {
public:
    using CDialog::CDialog;

    // The tab's label, in the operator's language.
    std::string title() const;

    // Becoming the current page: loads the members, except on the very first activation.
    virtual bool OnSetActive();
    // Leaving: saves the members; false keeps the page current.
    virtual bool OnKillActive();

private:
    bool m_firstSetActive = true;
};

}  // namespace linkmate::fw
