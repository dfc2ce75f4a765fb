// What every window of the framework has, whatever it is (dialog, page, property sheet): its
// state and place, its caption and icon, keyboard shortcuts and a context menu, and a modal run.
// The backend keeps the window itself (its peer); the classes here hold the behaviour.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/control.h"

namespace linkmate::fw {

// An entry of a context menu; an entry without text is a separator. `shortcut` is shown beside
// the text ("Ctrl+P"); the window's own shortcuts are added separately.
struct MenuItem {
    std::string text;
    std::string shortcut;
    std::function<void()> run;
};

class WindowPeer {
public:
    virtual ~WindowPeer() = default;
    // The control with identifier `id`, or nullptr.
    virtual ControlPeer* Item(int id) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void Enable(bool enable) = 0;
    virtual bool IsVisible() const = 0;
    virtual void Show(bool show) = 0;
    // In the parent's coordinates (a top-level window: its client area's size at 0, 0).
    virtual Rect Bounds() const = 0;
    virtual void Move(const Rect& rect) = 0;
    // The window on the screen, its caption and border included, in screen pixels.
    virtual Rect Frame() const = 0;
    // A top-level window: the size of its client area, which the operator cannot change.
    virtual void SetFixedSize(Size size) = 0;
    virtual std::string Title() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetIcon(int resource) = 0;
    virtual void AddMinimizeBox() = 0;
    // `keys` as "Ctrl+P" or "F1"; active while the window is.
    virtual void AddShortcut(const std::string& keys, std::function<void()> run) = 0;
    virtual void SetContextMenu(std::vector<MenuItem> items) = 0;
    // Tab and Shift+Tab visit `controls` in this order (controls of child windows included).
    virtual void SetTabOrder(const std::vector<ControlPeer*>& controls) = 0;
    // Alt+letter goes to `press` with the letter, upper case, instead of the toolkit's own
    // mnemonic handling; for the window and the child windows in it.
    virtual void SetMnemonicHandler(std::function<void(char)> press) = 0;
    // Runs the window modally until End; returns End's result.
    virtual int RunModal() = 0;
    virtual void End(int result) = 0;
    // Runs `work` once the window's first paint has been handled, not at all if the window is
    // hidden by then: what the window's first sight does not show need not keep it waiting. A
    // backend that cannot tell runs it at once.
    virtual void AfterFirstPaint(std::function<void()> work) { work(); }
};

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    // The backend's window; nullptr until the window is created.
    WindowPeer* peer() const { return m_peer.get(); }

    bool IsWindowEnabled() const;
    // Enabling or disabling a created window sends it the enable notification (OnEnable).
    void EnableWindow(bool enable);
    bool IsWindowVisible() const;
    void ShowWindow(bool show);
    Rect GetWindowRect() const;
    void MoveWindow(const Rect& rect);
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);
    void AddShortcut(const std::string& keys, std::function<void()> run);
    void SetContextMenu(std::vector<MenuItem> items);
    // See WindowPeer::AfterFirstPaint; at once while the window is not created.
    void AfterFirstPaint(std::function<void()> work);
    // The context menu as it was last set; tests and the backend read it.
    const std::vector<MenuItem>& contextMenu() const { return m_menu; }

protected:
    void SetPeer(std::unique_ptr<WindowPeer> peer) { m_peer = std::move(peer); }

private:
    std::unique_ptr<WindowPeer> m_peer;
    std::vector<MenuItem> m_menu;
};

}  // namespace linkmate::fw
