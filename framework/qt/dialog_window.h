// Windows as Qt widgets: the generic part of every window, the dialogs and pages built from their
// templates, and what the property sheet builds on.
#pragma once

#include <QDialog>
#include <QPointer>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "framework/backend.h"
#include "framework/dialog_template.h"
#include "framework/qt/control_peer.h"
#include "framework/qt/dialog_units.h"
#include "framework/window.h"

namespace linkmate::fw {
class CDialog;
}

namespace linkmate::fw::qt {

// Creates the controls of `tmpl` on `parent`, in template order, with their template entries
// (labels and lines too), labels associated with the controls beside them.
std::vector<std::pair<const ControlTemplate*, QWidget*>> CreateControls(QWidget* parent,
                                                                        const DialogTemplate& tmpl,
                                                                        const DialogUnits& units);
QFont TemplateFont(const DialogTemplate& tmpl);

// Places a pop-up before it is shown: centred on the window that owns it, or on the work area.
void PlaceOnOwner(QWidget* window);

// Hands the mnemonic shortcut of `widget` (a button's, a check box's, a label's) to the mnemonic
// handler of the window it sits in, when that window has one; true when it was handed on.
bool ForwardMnemonic(QWidget* widget, QEvent* event);
// Makes a button's or check box's mnemonic go to its window's handler.
void ForwardMnemonics(QWidget* button);

using WindowHost = backend::WindowHost<QWidget*>;

// A window peer over a widget it owns: state, place, caption, icon, shortcuts, context menu,
// modal run.
class WidgetWindow : public WindowPeer, public WindowHost {
public:
    explicit WidgetWindow(QDialog* widget);
    ~WidgetWindow() override;
    QDialog* widget() const { return m_widget; }
    QWidget* TopWindow() const override { return m_widget; }

    ControlPeer* Item(int) override { return nullptr; }
    bool IsEnabled() const override;
    void Enable(bool enable) override;
    bool IsVisible() const override;
    void Show(bool show) override;
    Rect Bounds() const override;
    void Move(const Rect& rect) override;
    Rect Frame() const override;
    void SetFixedSize(Size size) override;
    std::string Title() const override;
    void SetTitle(const std::string& title) override;
    void SetIcon(int resource) override;
    void AddMinimizeBox() override;
    void AddShortcut(const std::string& keys, std::function<void()> run) override;
    void SetContextMenu(std::vector<MenuItem> items) override;
    void SetTabOrder(const std::vector<ControlPeer*>& controls) override;
    void SetMnemonicHandler(std::function<void(char)> press) override;
    int RunModal() override;
    void End(int result) override;
    void AfterFirstPaint(std::function<void()> work) override;

    // Shows the context menu at `globalPos`, if there is one; runs the chosen entry.
    void ShowContextMenu(const QPoint& globalPos);

private:
    QPointer<QDialog> m_widget;
    std::vector<MenuItem> m_menu;
};

class DialogWidget : public QDialog {
public:
    DialogWidget(CDialog& owner, QWidget* parent, bool popup);
    void SetBuilt() { m_built = true; }

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    CDialog& m_owner;
    bool m_popup;
    bool m_built = false;
    bool m_ownEnabled = true;  // the state last told to the owner
};

class DialogWindow : public WidgetWindow {
public:
    DialogWindow(CDialog& owner, QWidget* parent, bool popup);
    ControlPeer* Item(int id) override;

private:
    std::map<int, std::unique_ptr<QtControl>> m_controls;
};

}  // namespace linkmate::fw::qt
