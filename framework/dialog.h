// Windows built from templates: controls created from their template and known by identifier,
// data exchange that no change handler can interrupt, and an enable notification.
#pragma once

#include <QPointer>
#include <QWidget>
#include <map>

#include "framework/data_exchange.h"
#include "framework/dialog_template.h"
#include "framework/dialog_units.h"

namespace linkmate::fw {

// Creates the controls of `tmpl` on `parent` and returns them by identifier (IDC_STATIC ones are
// created but not returned).
std::map<int, QWidget*> CreateControls(QWidget* parent, const DialogTemplate& tmpl,
                                       const DialogUnits& units);

class CDialog : public QWidget {
public:
    explicit CDialog(const DialogTemplate& tmpl);

    // Creates the window and its controls as a child of `parent` and runs OnInitDialog. A
    // property sheet creates its pages enabled and sets their state itself, so it passes false
    // for `applyTemplateState`.
    bool Create(QWidget* parent, bool applyTemplateState = true);
    bool IsCreated() const { return m_created; }

    const DialogTemplate& dialogTemplate() const { return m_template; }
    const DialogUnits& units() const { return m_units; }
    QSize TemplateSizePixels() const;

    QWidget* GetDlgItem(int id) const;
    template <typename T>
    T* Item(int id) const {
        return dynamic_cast<T*>(GetDlgItem(id));
    }
    void EnableItem(int id, bool enable);
    void ShowItem(int id, bool show);

    // save: controls to members, false when a value could not be read. load: members to controls.
    // No change handler runs while either direction is in progress.
    bool ExchangeData(bool save);
    bool InExchange() const { return m_exchangeDepth > 0; }
    // After a save that failed: the control whose value was rejected (else nullptr), and giving it
    // the focus with its text selected again, as the failed save did.
    QWidget* RejectedControl() const { return m_rejected; }
    void FocusRejected();

    // The explicit enable notification, in addition to the one a change of state sends.
    void SendEnable(bool enable) { OnEnable(enable); }

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnEnable(bool enable);

    // Wraps a notification handler so that it does not run during an exchange.
    template <typename Owner>
    auto Notification(void (Owner::*handler)()) {
        Owner* owner = static_cast<Owner*>(this);
        return [owner, handler](auto&&...) {
            if (!owner->InExchange()) (owner->*handler)();
        };
    }

    void changeEvent(QEvent* event) override;

private:
    const DialogTemplate& m_template;
    DialogUnits m_units;
    std::map<int, QWidget*> m_controls;
    bool m_created = false;
    int m_exchangeDepth = 0;
    QPointer<QWidget> m_rejected;
};

class CPropertyPage : public CDialog {
public:
    using CDialog::CDialog;

    QString title() const;

    // Becoming the current page: loads the members, except on the very first activation.
    virtual bool OnSetActive();
    // Leaving: saves the members; false keeps the page current.
    virtual bool OnKillActive();

private:
    bool m_firstSetActive = true;
};

}  // namespace linkmate::fw
