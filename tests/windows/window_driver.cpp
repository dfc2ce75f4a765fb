// Drives a running linkmate.exe from outside, the way another program can: through window
// messages only. Steps run in the order given; the first that fails ends the run with status 1.
//   window TITLE                wait (up to 30 s) for the top-level window with that title
//   click ID                    press a button (BM_CLICK)
//   choose ID INDEX             pick a list entry as the operator does (the list notifies)
//   type ID TEXT                replace an edit's text (the edit notifies)
//   page N                      go to page N with the tab control's arrow keys
//   expect ID TEXT [SECONDS]    wait until the control's text contains TEXT
//   equals ID TEXT              wait (up to 10 s) until the control's text is TEXT
//   enabled ID                  wait until the control is enabled
//   answer                      wait for a message box of the window and press its first button
//   key NAME                    press a function key (F1 .. F12) in the window
//   alt LETTER                  press Alt+LETTER on the keyboard
//   press KEYS                  press Tab, Shift+Tab, Ctrl+Tab or Ctrl+Z on the keyboard
//   arrow ID Up|Down            an arrow key pressed in the control (sent to it, as a key)
//   text TEXT                   type TEXT on the keyboard
//   focus ID[,ID...]            wait until one of these controls has the keyboard focus
//   tabto ID                    press Tab until that control has the keyboard focus
//   shot FILE.png               save the window as the screen shows it
//   shotbox FILE.png            save the dialog or message box the window has open
//   close                       close the window as the system menu's Close does
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "protocol/win32_text.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStepTimeout = std::chrono::seconds(60);
constexpr auto kPoll = std::chrono::milliseconds(50);

HWND g_window = nullptr;

using linkmate::Narrow;
using linkmate::Widen;

std::wstring TextOf(HWND window) {
    wchar_t text[4096] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return text;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = kStepTimeout) {
    const auto end = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

// The control with identifier `id` anywhere inside the window (its pages and panel included).
HWND FindControl(int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        g_window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) != s->id || !IsWindowVisible(child)) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND NeedControl(int id) {
    HWND control = nullptr;
    WaitFor([&] { return (control = FindControl(id)) != nullptr; });
    if (control == nullptr) std::fprintf(stderr, "window_driver: no control %d\n", id);
    return control;
}

// A dialog of the same program as the window, other than the window itself: a message box.
HWND FindMessageBox() {
    DWORD process = 0;
    GetWindowThreadProcessId(g_window, &process);
    struct Search {
        DWORD process;
        HWND found;
    } search{process, nullptr};
    EnumWindows(
        [](HWND top, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(top, &owner);
            if (owner != s->process || top == g_window || !IsWindowVisible(top)) return TRUE;
            if (GetWindow(top, GW_OWNER) != g_window) return TRUE;
            s->found = top;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FirstButton(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            if (lstrcmpiW(name, L"Button") != 0 || !IsWindowVisible(child)) return TRUE;
            *reinterpret_cast<HWND*>(data) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Keys as the keyboard sends them, to the window in front: the window first.
void SendKeys(std::vector<INPUT> inputs) {
    SetForegroundWindow(g_window);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

INPUT Key(WORD key, bool up, wchar_t unicode = 0) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = unicode != 0 ? 0 : key;
    input.ki.wScan = unicode;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (unicode != 0 ? KEYEVENTF_UNICODE : 0);
    return input;
}

// A chord: the modifiers held while `key` is pressed.
void Chord(const std::vector<WORD>& modifiers, WORD key) {
    std::vector<INPUT> inputs;
    for (WORD m : modifiers) inputs.push_back(Key(m, false));
    inputs.push_back(Key(key, false));
    inputs.push_back(Key(key, true));
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) inputs.push_back(Key(*m, true));
    SendKeys(inputs);
}

// The identifier of the control of the window's thread that has the keyboard focus; 0 for none.
int FocusedId() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(g_window, nullptr), &info) ||
        info.hwndFocus == nullptr)
        return 0;
    return GetDlgCtrlID(info.hwndFocus);
}

bool SaveShot(HWND window, const std::string& path) {
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    bool saved = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        // The PNG encoder's class id, as the encoder list names it.
        UINT count = 0;
        UINT size = 0;
        Gdiplus::GetImageEncodersSize(&count, &size);
        std::vector<unsigned char> buffer(size);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        Gdiplus::GetImageEncoders(count, size, encoders);
        for (UINT i = 0; i < count; ++i) {
            if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
                saved = image.Save(Widen(path).c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
            }
        }
    }
    Gdiplus::GdiplusShutdown(token);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

bool Step(const std::vector<std::string>& args, size_t& i) {
    const std::string& verb = args[i++];
    const auto next = [&]() -> std::string { return i < args.size() ? args[i++] : std::string(); };
    if (verb == "window") {
        const std::wstring title = Widen(next());
        return WaitFor([&] {
            return (g_window = FindWindowW(L"#32770", title.c_str())) != nullptr &&
                   IsWindowVisible(g_window);
        });
    }
    if (g_window == nullptr) return false;
    if (verb == "click") {
        HWND button = NeedControl(std::atoi(next().c_str()));
        if (button == nullptr || !WaitFor([&] { return IsWindowEnabled(button) != FALSE; }))
            return false;
        // Posted: a click that opens a modal box would otherwise hold the driver until it closes.
        PostMessageW(button, BM_CLICK, 0, 0);
        return true;
    }
    if (verb == "choose") {
        const int id = std::atoi(next().c_str());
        HWND list = NeedControl(id);
        if (list == nullptr) return false;
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(next().c_str())), 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }
    if (verb == "type") {
        HWND edit = NeedControl(std::atoi(next().c_str()));
        if (edit == nullptr) return false;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(next()).c_str()));
        return true;
    }
    if (verb == "page") {
        HWND tabs = NeedControl(12320);
        if (tabs == nullptr) return false;
        const int page = std::atoi(next().c_str());
        for (int guard = 0; guard < 8; ++guard) {
            const int current = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
            if (current == page) return true;
            SendMessageW(tabs, WM_KEYDOWN, current < page ? VK_RIGHT : VK_LEFT, 0);
            SendMessageW(tabs, WM_KEYUP, current < page ? VK_RIGHT : VK_LEFT, 0);
        }
        return false;
    }
    if (verb == "expect") {
        HWND control = NeedControl(std::atoi(next().c_str()));
        const std::wstring want = Widen(next());
        const int seconds = i < args.size() && std::isdigit(static_cast<unsigned char>(args[i][0]))
                                ? std::atoi(next().c_str())
                                : 30;
        if (control == nullptr) return false;
        // A text laid out in lines (the status line) is read as one.
        const auto flat = [&] {
            std::wstring text = TextOf(control);
            std::replace(text.begin(), text.end(), L'\n', L' ');
            return text;
        };
        if (WaitFor([&] { return flat().find(want) != std::wstring::npos; },
                    std::chrono::seconds(seconds)))
            return true;
        std::fprintf(stderr, "window_driver: control says \"%s\"\n",
                     Narrow(TextOf(control)).c_str());
        return false;
    }
    if (verb == "equals") {
        HWND control = NeedControl(std::atoi(next().c_str()));
        const std::wstring want = Widen(next());
        if (control == nullptr) return false;
        if (WaitFor([&] { return TextOf(control) == want; }, std::chrono::seconds(10))) return true;
        std::fprintf(stderr, "window_driver: control says \"%s\"\n",
                     Narrow(TextOf(control)).c_str());
        return false;
    }
    if (verb == "enabled") {
        HWND control = NeedControl(std::atoi(next().c_str()));
        return control != nullptr && WaitFor([&] { return IsWindowEnabled(control) != FALSE; });
    }
    if (verb == "answer") {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = FindMessageBox()) != nullptr; })) return false;
        std::fprintf(stderr, "window_driver: message box \"%s\"\n", Narrow(TextOf(box)).c_str());
        HWND button = nullptr;
        WaitFor([&] { return (button = FirstButton(box)) != nullptr; }, std::chrono::seconds(5));
        if (button != nullptr) {
            PostMessageW(button, BM_CLICK, 0, 0);
        } else {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); });
    }
    if (verb == "shot") return SaveShot(g_window, next());
    if (verb == "shotbox") {
        HWND box = nullptr;
        return WaitFor([&] { return (box = FindMessageBox()) != nullptr; }) &&
               SaveShot(box, next());
    }
    if (verb == "key") {
        const std::string name = next();
        const int n = name.size() > 1 && name[0] == 'F' ? std::atoi(name.c_str() + 1) : 0;
        if (n < 1 || n > 12) return false;
        PostMessageW(g_window, WM_KEYDOWN, static_cast<WPARAM>(VK_F1 + n - 1), 0);
        PostMessageW(g_window, WM_KEYUP, static_cast<WPARAM>(VK_F1 + n - 1), 0);
        return true;
    }
    if (verb == "alt") {
        const std::string letter = next();
        if (letter.size() != 1) return false;
        Chord({VK_MENU}, static_cast<WORD>(std::toupper(static_cast<unsigned char>(letter[0]))));
        return true;
    }
    if (verb == "press") {
        const std::string keys = next();
        if (keys == "Tab")
            Chord({}, VK_TAB);
        else if (keys == "Shift+Tab")
            Chord({VK_SHIFT}, VK_TAB);
        else if (keys == "Ctrl+Tab")
            Chord({VK_CONTROL}, VK_TAB);
        else if (keys == "Ctrl+Z")
            Chord({VK_CONTROL}, 'Z');
        else
            return false;
        return true;
    }
    if (verb == "arrow") {
        HWND control = NeedControl(std::atoi(next().c_str()));
        const std::string which = next();
        if (control == nullptr || (which != "Up" && which != "Down")) return false;
        const WPARAM key = which == "Up" ? VK_UP : VK_DOWN;
        SendMessageW(control, WM_KEYDOWN, key, 1);
        SendMessageW(control, WM_KEYUP, key, 1 | (3u << 30));
        return true;
    }
    if (verb == "text") {
        std::vector<INPUT> inputs;
        for (wchar_t c : Widen(next())) {
            inputs.push_back(Key(0, false, c));
            inputs.push_back(Key(0, true, c));
        }
        SendKeys(inputs);
        return true;
    }
    if (verb == "focus") {
        std::vector<int> ids;
        const std::string list = next();
        for (size_t at = 0; at < list.size();) {
            size_t comma = list.find(',', at);
            if (comma == std::string::npos) comma = list.size();
            ids.push_back(std::atoi(list.substr(at, comma - at).c_str()));
            at = comma + 1;
        }
        if (WaitFor([&] { return std::find(ids.begin(), ids.end(), FocusedId()) != ids.end(); },
                    std::chrono::seconds(10))) {
            return true;
        }
        std::fprintf(stderr, "window_driver: the focus is on %d\n", FocusedId());
        return false;
    }
    if (verb == "tabto") {
        const int id = std::atoi(next().c_str());
        for (int presses = 0; presses < 40; ++presses) {
            if (FocusedId() == id) return true;
            Chord({}, VK_TAB);
        }
        std::fprintf(stderr, "window_driver: Tab never reached %d\n", id);
        return false;
    }
    if (verb == "close") {
        // Asked again while the window keeps itself open (an exchange still ending).
        return WaitFor([] {
            if (!IsWindow(g_window)) return true;
            PostMessageW(g_window, WM_SYSCOMMAND, SC_CLOSE, 0);
            std::this_thread::sleep_for(std::chrono::seconds(1));
            return !IsWindow(g_window);
        });
    }
    std::fprintf(stderr, "window_driver: unknown step %s\n", verb.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size();) {
        const size_t at = i;
        if (!Step(args, i)) {
            std::fprintf(stderr, "window_driver: step %zu (%s) failed\n", at + 1, args[at].c_str());
            return 1;
        }
    }
    return 0;
}
