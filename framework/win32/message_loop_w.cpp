#include "framework/win32/message_loop_w.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

#include "framework/backend.h"

namespace linkmate::fw::win32 {
namespace {

constexpr UINT kRunTask = WM_APP + 1;
constexpr wchar_t kDispatchClass[] = L"LinkmateDispatch";

std::map<HWND, TopLevel*>& TopLevels() {
    static std::map<HWND, TopLevel*> windows;
    return windows;
}

std::map<UINT_PTR, std::function<void()>>& Timers() {
    static std::map<UINT_PTR, std::function<void()>> timers;
    return timers;
}

int& WaitCount() {
    static int count = 0;
    return count;
}

LRESULT CALLBACK DispatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunTask) {
        std::unique_ptr<std::function<void()>> task(
            reinterpret_cast<std::function<void()>*>(lParam));
        (*task)();
        return 0;
    }
    if (message == WM_TIMER) {
        const auto it = Timers().find(wParam);
        if (it != Timers().end()) {
            // A copy: the tick may stop or restart its own timer.
            const std::function<void()> tick = it->second;
            tick();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TopLevel* TopLevelOf(HWND window) {
    if (window == nullptr) return nullptr;
    const HWND root = GetAncestor(window, GA_ROOT);
    const auto it = TopLevels().find(root);
    return it == TopLevels().end() ? nullptr : it->second;
}

bool IsDroppedCombo(HWND window) {
    for (HWND w = window; w != nullptr; w = GetParent(w)) {
        wchar_t name[32] = {};
        GetClassNameW(w, name, 32);
        if (lstrcmpiW(name, L"COMBOBOX") == 0)
            return SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0) != 0;
        if ((GetWindowLongW(w, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    return false;
}

bool IsEdit(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, L"EDIT") == 0;
}

void Handle(MSG& msg) {
    // Ctrl+A selects an edit's whole text, as in every other edit the operator knows; the
    // system's edit control leaves it to the program.
    if (msg.message == WM_KEYDOWN && msg.wParam == 'A' && GetKeyState(VK_CONTROL) < 0 &&
        GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0 && IsEdit(msg.hwnd)) {
        SendMessageW(msg.hwnd, EM_SETSEL, 0, -1);
        return;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        if (TopLevel* top = TopLevelOf(msg.hwnd)) {
            if (top->RunShortcut(msg)) return;
            const bool letter = (msg.wParam >= 'A' && msg.wParam <= 'Z') ||
                                (msg.wParam >= '0' && msg.wParam <= '9');
            if (msg.message == WM_SYSKEYDOWN && letter && GetKeyState(VK_CONTROL) >= 0 &&
                top->PressMnemonic(static_cast<char>(msg.wParam))) {
                return;
            }
            if ((msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) && top->SwallowsDialogKeys() &&
                !IsDroppedCombo(msg.hwnd)) {
                return;
            }
        }
    }
    const HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && IsDialogMessageW(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

bool ParseShortcut(const std::string& keys, Shortcut& out) {
    Shortcut s;
    std::string rest = keys;
    for (;;) {
        const size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) break;
        const std::string modifier = rest.substr(0, plus);
        if (modifier == "Ctrl") {
            s.ctrl = true;
        } else if (modifier == "Shift") {
            s.shift = true;
        } else if (modifier == "Alt") {
            s.alt = true;
        } else {
            return false;
        }
        rest = rest.substr(plus + 1);
    }
    if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
        s.key = static_cast<UINT>(std::toupper(static_cast<unsigned char>(rest[0])));
    } else if (rest.size() >= 2 && rest[0] == 'F' &&
               std::all_of(rest.begin() + 1, rest.end(), ::isdigit)) {
        const int n = std::stoi(rest.substr(1));
        if (n < 1 || n > 24) return false;
        s.key = static_cast<UINT>(VK_F1 + n - 1);
    } else if (rest == "Tab") {
        s.key = VK_TAB;
    } else if (rest == "PgUp" || rest == "PageUp") {
        s.key = VK_PRIOR;
    } else if (rest == "PgDown" || rest == "PageDown") {
        s.key = VK_NEXT;
    } else {
        return false;
    }
    out = s;
    return true;
}

void RegisterTopLevel(HWND window, TopLevel* top) { TopLevels()[window] = top; }
void UnregisterTopLevel(HWND window) { TopLevels().erase(window); }

void RunLoop(const bool& ended) {
    MSG msg;
    while (!ended) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT ends every loop: leave it for the one outside.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        Handle(msg);
    }
}

void WakeLoop() { PostMessageW(DispatchWindow(), WM_NULL, 0, 0); }

bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    MSG msg;
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return done();
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                      static_cast<DWORD>(std::min<long long>(left.count(), 50)),
                                      QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return done();
        }
        Handle(msg);
    }
    return true;
}

HWND DispatchWindow() {
    static HWND window = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DispatchProc;
        wc.hInstance = Instance();
        wc.lpszClassName = kDispatchClass;
        RegisterClassW(&wc);
        return CreateWindowExW(0, kDispatchClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               Instance(), nullptr);
    }();
    return window;
}

UINT_PTR StartTimer(std::chrono::milliseconds interval, std::function<void()> tick) {
    static UINT_PTR next = 1;
    const UINT_PTR id = next++;
    Timers()[id] = std::move(tick);
    SetTimer(DispatchWindow(), id,
             static_cast<UINT>(std::max<long long>(USER_TIMER_MINIMUM, interval.count())), nullptr);
    return id;
}

void StopTimer(UINT_PTR id) {
    if (id == 0) return;
    KillTimer(DispatchWindow(), id);
    Timers().erase(id);
}

void AddWaitCursor(int delta) {
    WaitCount() += delta;
    SetCursor(LoadCursorW(nullptr, WaitCount() > 0 ? IDC_WAIT : IDC_ARROW));
}

bool WaitCursorShown() { return WaitCount() > 0; }

}  // namespace linkmate::fw::win32

namespace linkmate::fw::backend {

void PostToWindowThread(std::function<void()> task) {
    auto* queued = new std::function<void()>(std::move(task));
    if (!PostMessageW(win32::DispatchWindow(), win32::kRunTask, 0,
                      reinterpret_cast<LPARAM>(queued)))
        delete queued;
}

}  // namespace linkmate::fw::backend
