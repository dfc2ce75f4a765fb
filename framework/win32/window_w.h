// Windows as USER32 keeps them: the generic part of every window (state, place, caption, icon,
// shortcuts, context menu, modal run), the dialogs built from their templates, and what the
// property sheet builds on.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "framework/backend.h"
#include "framework/win32/control_w.h"
#include "framework/win32/message_loop_w.h"
#include "framework/window.h"

namespace linkmate::fw {
class CDialog;
}

namespace linkmate::fw::win32 {

using WindowHost = backend::WindowHost<HWND>;

// A window peer over a window it owns.
class Win32Window : public WindowPeer, public WindowHost, public TopLevel {
public:
    Win32Window() = default;
    ~Win32Window() override;
    HWND hwnd() const { return m_hwnd; }
    HWND TopWindow() const override { return m_hwnd; }
    void Attach(HWND window);

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
    void SetMnemonicHandler(std::function<void(char)> press) override {
        m_mnemonics = std::move(press);
    }
    int RunModal() override;
    void End(int result) override;

    bool RunShortcut(const MSG& msg) override;
    bool PressMnemonic(char letter) override;
    bool SwallowsDialogKeys() const override { return false; }

    // Shows the context menu at `screen` (-1, -1: from the keyboard); false when there is none.
    bool ShowContextMenu(POINT screen);

private:
    HWND m_hwnd = nullptr;
    std::vector<std::pair<Shortcut, std::function<void()>>> m_shortcuts;
    std::vector<MenuItem> m_menu;
    std::function<void(char)> m_mnemonics;
    bool m_ended = false;
    int m_result = 0;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
};

class DialogWindow : public Win32Window {
public:
    DialogWindow(CDialog& owner, HWND parent, bool popup, bool page);
    ~DialogWindow() override;
    ControlPeer* Item(int id) override;

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void BuildControls();
    void OnCommand(int id, int code, HWND control);
    // True where the notification's answer is `result`.
    bool OnNotify(const NMHDR& header, LRESULT& result);
    Win32Control* ControlOf(HWND window);

    CDialog& m_owner;
    bool m_popup;
    bool m_built = false;
    HWND m_hovered = nullptr;
    std::map<int, std::unique_ptr<Win32Control>> m_controls;
    std::vector<HBITMAP> m_bitmaps;
    std::vector<HICON> m_icons;
    std::vector<HFONT> m_fonts;  // faces of labels whose characters the dialog's font lacks
    std::vector<HWND> m_onPicture;
    std::vector<std::pair<HWND, bool>> m_labels;  // with their own enabled state
};

// Moves a top-level window that is not shown yet to where it opens: centred on `owner` (or on
// the work area without one), whole on the work area.
void PlaceOnOwner(HWND window, HWND owner);

// Pixels of the dialog units of `tmpl`'s font.
Rect TemplatePixels(const DialogTemplate& tmpl, int x, int y, int cx, int cy);

}  // namespace linkmate::fw::win32
