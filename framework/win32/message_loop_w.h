// The window thread's side of the Win32 backend: the modal message loop that every modal run
// shares (keyboard shortcuts, the dialog keys, the sheet's Enter and Esc), the hidden window that
// brings tasks and timer ticks to the thread, and the wait cursor's count.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "framework/win32/win32_api.h"

namespace linkmate::fw::win32 {

// A keyboard shortcut ("Ctrl+P", "F1") of a top-level window.
struct Shortcut {
    UINT key = 0;  // virtual-key code
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};
bool ParseShortcut(const std::string& keys, Shortcut& out);

// What the loop asks of the top-level window a message is for.
class TopLevel {
public:
    virtual ~TopLevel() = default;
    // Runs the window's command for a key press; true when it had one.
    virtual bool RunShortcut(const MSG& msg) = 0;
    // Alt+`letter` (upper case) where the window decides which control it reaches; false to leave
    // it to the dialog manager.
    virtual bool PressMnemonic(char letter) = 0;
    // True where Enter and Esc must not reach the dialog manager (the sheet: they would press
    // its Default and Read buttons, whose identifiers are IDOK and IDCANCEL).
    virtual bool SwallowsDialogKeys() const = 0;
};
void RegisterTopLevel(HWND window, TopLevel* top);
void UnregisterTopLevel(HWND window);

// Runs messages until `ended` turns true (set from a handler; the loop is woken by WakeLoop).
void RunLoop(const bool& ended);
void WakeLoop();

// Runs what is queued for the window thread (messages, tasks, timer ticks) for up to `timeout`,
// or until `done` returns true; returns `done()`. For tests and programs without a modal run.
bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// The hidden window of the window thread; made on its first use, on the window thread.
HWND DispatchWindow();

// A timer on the dispatch window; its id for KillTimer.
UINT_PTR StartTimer(std::chrono::milliseconds interval, std::function<void()> tick);
void StopTimer(UINT_PTR id);

// The wait cursor: the windows show it while the count is above zero.
void AddWaitCursor(int delta);
bool WaitCursorShown();

// The instance the windows and resources belong to.
HINSTANCE Instance();

}  // namespace linkmate::fw::win32
