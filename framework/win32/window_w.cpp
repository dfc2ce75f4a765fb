#include "framework/win32/window_w.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwchar>

#include "framework/backend.h"
#include "framework/decimal.h"
#include "framework/dialog.h"
#include "framework/keyboard.h"
#include "framework/placement.h"
#include "framework/translate.h"
#include "framework/win32/dialog_template_w.h"
#include "framework/win32/png_bitmap_w.h"

namespace linkmate::fw::win32 {
namespace {

bool IsDigitOrCommand(int c) { return c < 0x20 || (c >= '0' && c <= '9'); }

DialogFrame FrameFor(HWND parent, bool popup, bool page) {
    if (popup)
        return {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, true};
    // A child window without a parent to sit in stands alone, unseen until shown.
    if (parent == nullptr) return {WS_POPUP, WS_EX_CONTROLPARENT, true};
    // Pages are shown by the sheet as they are chosen; other child windows with their parent.
    return {WS_CHILD | DS_CONTROL | (page ? 0u : static_cast<DWORD>(WS_VISIBLE)),
            WS_EX_CONTROLPARENT, true};
}

INT_PTR CALLBACK MeasureProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The width the text of a label or check box takes in its own font; a check box's box and the
// gap after it added.
int TextWidth(HWND control, bool checkBox) {
    const std::wstring text = Widen(WindowText(control));
    const HDC dc = GetDC(control);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    const int box =
        checkBox ? GetSystemMetrics(SM_CXMENUCHECK) + 3 * GetSystemMetrics(SM_CXEDGE) : 0;
    return r.right - r.left + box;
}

int DpiOf(HWND window) {
    const HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi;
}

// Faces that carry the arrows and signs a label may hold, best first; then faces that carry
// them beside Chinese.
constexpr const wchar_t* kSymbolFaces[] = {
    L"Segoe UI Symbol",    L"Segoe UI",        L"Arial Unicode MS",    L"DejaVu Sans",
    L"Noto Sans Symbols2", L"Microsoft YaHei", L"WenQuanYi Micro Hei", L"Noto Sans CJK SC"};

// Whether `font` itself draws every character of `text` that `which` picks.
bool Draws(HDC dc, HFONT font, const std::wstring& text, bool (*which)(wchar_t)) {
    std::wstring signs;
    for (const wchar_t c : text) {
        if (which(c)) signs += c;
    }
    if (signs.empty()) return true;
    const HGDIOBJ previous = SelectObject(dc, font);
    std::vector<WORD> glyphs(signs.size());
    const DWORD found = GetGlyphIndicesW(dc, signs.c_str(), static_cast<int>(signs.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, previous);
    return found != GDI_ERROR &&
           std::find(glyphs.begin(), glyphs.end(), WORD{0xffff}) == glyphs.end();
}

// A font like the label's that draws all of its signs, where the label's own draws a box for
// one (the banner's arrows under a system whose dialog face lacks them); nullptr when the label's
// own will do or no face has them all.
HFONT FontForSigns(HWND label) {
    const std::wstring text = Widen(WindowText(label));
    const auto own = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    const HDC dc = GetDC(label);
    HFONT chosen = nullptr;
    // Punctuation, arrows and symbols decide; a face taken instead must also draw the rest of
    // the text that is not ASCII (the Chinese of a translated label), which the system's font
    // linking would no longer supply.
    const auto sign = [](wchar_t c) { return c >= 0x2000 && c < 0x2c00; };
    const auto beyondAscii = [](wchar_t c) { return c >= 0x80; };
    if (!Draws(dc, own, text, sign)) {
        LOGFONTW like = {};
        GetObjectW(own, sizeof like, &like);
        for (const wchar_t* face : kSymbolFaces) {
            wcsncpy(like.lfFaceName, face, LF_FACESIZE - 1);
            const HFONT candidate = CreateFontIndirectW(&like);
            wchar_t got[LF_FACESIZE] = {};
            const HGDIOBJ previous = SelectObject(dc, candidate);
            GetTextFaceW(dc, LF_FACESIZE, got);
            SelectObject(dc, previous);
            // The mapper gives some face for any name: only the one asked for counts.
            if (lstrcmpiW(got, face) == 0 && Draws(dc, candidate, text, beyondAscii)) {
                chosen = candidate;
                break;
            }
            DeleteObject(candidate);
        }
    }
    ReleaseDC(label, dc);
    return chosen;
}

// How wide, in pixels, control `index` may grow before it comes within a label's gap of the next
// control on its row; the template's width where nothing follows it.
int RoomToTheRight(const DialogTemplate& tmpl, size_t index, HWND dialog) {
    // The closed height of a list, whose template height includes its opened list.
    constexpr int kRowHeight = 12;
    constexpr int kGap = 2;
    const ControlTemplate& c = tmpl.controls[index];
    const int x = LaidOutX(tmpl, index);
    int room = -1;
    for (size_t i = 0; i < tmpl.controls.size(); ++i) {
        const ControlTemplate& o = tmpl.controls[i];
        const int height = o.kind == ControlKind::kDropDownList ? kRowHeight : o.cy;
        const int left = LaidOutX(tmpl, i);
        if (i == index || left < x + c.cx || o.y >= c.y + kRowHeight || c.y >= o.y + height)
            continue;
        room = room < 0 ? left - kGap - x : std::min(room, left - kGap - x);
    }
    RECT r = {0, 0, room < 0 ? c.cx : room, 0};
    MapDialogRect(dialog, &r);
    return room < 0 ? INT_MAX : r.right;
}

// The heights of a plain drop-down list's field and entries in `dialog`'s font: the lists are
// drawn by the window, and keep the height the system gives the ones it draws.
std::pair<int, int> PlainListHeights(HWND dialog) {
    const HWND plain = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100,
                                       100, dialog, nullptr, Instance(), nullptr);
    if (plain == nullptr) return {0, 0};
    SendMessageW(plain, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    const auto field = static_cast<int>(SendMessageW(plain, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    const auto entry = static_cast<int>(SendMessageW(plain, CB_GETITEMHEIGHT, 0, 0));
    DestroyWindow(plain);
    return {field, entry};
}

}  // namespace

void PlaceOnOwner(HWND window, HWND owner) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : window, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    const RECT& w = monitor.rcWork;
    RECT frame;
    GetWindowRect(window, &frame);
    RECT around = {};
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &around);
    const Rect placed =
        CentredOn({around.left, around.top, around.right - around.left, around.bottom - around.top},
                  {frame.right - frame.left, frame.bottom - frame.top},
                  {w.left, w.top, w.right - w.left, w.bottom - w.top});
    SetWindowPos(window, nullptr, placed.x, placed.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect TemplatePixels(const DialogTemplate& tmpl, int x, int y, int cx, int cy) {
    // The dialog manager's own conversion, from a window made in the template's font.
    const std::vector<DWORD> bytes = BuildDialogTemplate(tmpl, {WS_POPUP, 0, false});
    const HWND probe = CreateDialogIndirectParamW(
        Instance(), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr, MeasureProc, 0);
    RECT r = {x, y, x + cx, y + cy};
    if (probe != nullptr) {
        MapDialogRect(probe, &r);
        DestroyWindow(probe);
    }
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

DialogWindow::~DialogWindow() {
    for (HBITMAP bitmap : m_bitmaps) DeleteObject(bitmap);
    for (HICON icon : m_icons) DestroyIcon(icon);
    for (HFONT font : m_fonts) DeleteObject(font);
}

Win32Window::~Win32Window() {
    if (m_hwnd != nullptr) {
        UnregisterTopLevel(m_hwnd);
        SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
        DestroyWindow(m_hwnd);
    }
    if (m_bigIcon != nullptr) DestroyIcon(m_bigIcon);
    if (m_smallIcon != nullptr) DestroyIcon(m_smallIcon);
}

void Win32Window::Attach(HWND window) {
    m_hwnd = window;
    RegisterTopLevel(window, this);
}

bool Win32Window::IsEnabled() const { return IsWindowEnabled(m_hwnd) != FALSE; }
void Win32Window::Enable(bool enable) { EnableWindow(m_hwnd, enable); }
bool Win32Window::IsVisible() const { return IsWindowVisible(m_hwnd) != FALSE; }
void Win32Window::Show(bool show) {
    ShowWindow(m_hwnd, show ? SW_SHOW : SW_HIDE);
    // A top-level window shown comes to the front with the keyboard, as the operator expects.
    if (show && (GetWindowLongW(m_hwnd, GWL_STYLE) & WS_CHILD) == 0) SetForegroundWindow(m_hwnd);
}

Rect Win32Window::Bounds() const {
    if ((GetWindowLongW(m_hwnd, GWL_STYLE) & WS_CHILD) == 0) {
        RECT client;
        GetClientRect(m_hwnd, &client);
        return {0, 0, client.right, client.bottom};
    }
    RECT r;
    GetWindowRect(m_hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(m_hwnd), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Window::Move(const Rect& rect) {
    if (GetWindowLongW(m_hwnd, GWL_STYLE) & WS_CHILD) {
        MoveWindow(m_hwnd, rect.x, rect.y, rect.width, rect.height, TRUE);
        return;
    }
    SetFixedSize({rect.width, rect.height});
}

Rect Win32Window::Frame() const {
    RECT r;
    GetWindowRect(m_hwnd, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Window::SetFixedSize(Size size) {
    // The client area gets the size; the frame is added around it.
    RECT r = {0, 0, size.width, size.height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_EXSTYLE)));
    SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Win32Window::Title() const { return WindowText(m_hwnd); }
void Win32Window::SetTitle(const std::string& title) {
    SetWindowTextW(m_hwnd, Widen(title).c_str());
}

void Win32Window::SetIcon(int resource) {
    // The icon file holds every size; the caption and the task bar take theirs.
    const auto load = [resource](int metricX, int metricY) {
        return static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                             GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                             0));
    };
    HICON big = load(SM_CXICON, SM_CYICON);
    HICON small = load(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (m_bigIcon != nullptr) DestroyIcon(m_bigIcon);
    if (m_smallIcon != nullptr) DestroyIcon(m_smallIcon);
    m_bigIcon = big;
    m_smallIcon = small;
}

void Win32Window::AddMinimizeBox() {
    SetWindowLongW(m_hwnd, GWL_STYLE, GetWindowLongW(m_hwnd, GWL_STYLE) | WS_MINIMIZEBOX);
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Win32Window::AddShortcut(const std::string& keys, std::function<void()> run) {
    Shortcut shortcut;
    if (ParseShortcut(keys, shortcut)) m_shortcuts.emplace_back(shortcut, std::move(run));
}

bool Win32Window::RunShortcut(const MSG& msg) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    for (const auto& [shortcut, run] : m_shortcuts) {
        if (shortcut.key == msg.wParam && shortcut.ctrl == ctrl && shortcut.shift == shift &&
            shortcut.alt == alt) {
            // Not while another window of ours is modal over this one.
            if (!IsWindowEnabled(GetAncestor(m_hwnd, GA_ROOT))) return false;
            const std::function<void()> copy = run;
            copy();
            return true;
        }
    }
    return false;
}

void Win32Window::SetContextMenu(std::vector<MenuItem> items) { m_menu = std::move(items); }

bool Win32Window::PressMnemonic(char letter) {
    if (!m_mnemonics) return false;
    const std::function<void(char)> press = m_mnemonics;
    press(letter);
    return true;
}

void Win32Window::SetTabOrder(const std::vector<ControlPeer*>& controls) {
    // The dialog manager's Tab follows the windows' order among their siblings, into child
    // dialogs (pages, panels) where they stand: each window in the chain from a control up to
    // this one takes its place among its siblings in the order the controls come.
    std::map<HWND, std::vector<HWND>> children;
    std::vector<HWND> parents;
    for (ControlPeer* control : controls) {
        auto* peer = dynamic_cast<Win32Control*>(control);
        if (peer == nullptr) continue;
        for (HWND child = peer->hwnd(); child != nullptr && child != m_hwnd;) {
            const HWND parent = GetParent(child);
            if (parent == nullptr) break;
            std::vector<HWND>& order = children[parent];
            if (std::find(order.begin(), order.end(), child) == order.end()) order.push_back(child);
            if (std::find(parents.begin(), parents.end(), parent) == parents.end())
                parents.push_back(parent);
            child = parent;
        }
    }
    for (HWND parent : parents) {
        HWND after = HWND_TOP;
        for (HWND child : children[parent]) {
            SetWindowPos(child, after, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            after = child;
        }
    }
}

bool Win32Window::ShowContextMenu(POINT screen) {
    if (m_menu.empty()) return false;
    if (screen.x == -1 && screen.y == -1) {
        RECT r;
        GetWindowRect(m_hwnd, &r);
        screen = {r.left + 16, r.top + 16};
    }
    const HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < m_menu.size(); ++i) {
        const MenuItem& item = m_menu[i];
        if (item.text.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring text =
            Widen(item.shortcut.empty() ? item.text : item.text + "\t" + item.shortcut);
        AppendMenuW(menu, MF_STRING, i + 1, text.c_str());
    }
    const int chosen =
        static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                        screen.x, screen.y, 0, m_hwnd, nullptr));
    DestroyMenu(menu);
    if (chosen > 0 && static_cast<size_t>(chosen) <= m_menu.size()) {
        const std::function<void()> run = m_menu[static_cast<size_t>(chosen) - 1].run;
        if (run) run();
    }
    return true;
}

int Win32Window::RunModal() {
    // The owner (a whole top-level window) takes no input while this one runs.
    HWND owner = GetWindow(m_hwnd, GW_OWNER);
    if (owner != nullptr) owner = GetAncestor(owner, GA_ROOT);
    const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    m_ended = false;
    if (!IsWindowVisible(m_hwnd)) PlaceOnOwner(m_hwnd, owner);
    ShowWindow(m_hwnd, SW_SHOW);
    SetForegroundWindow(m_hwnd);
    RunLoop(m_ended);
    // Enabled again before this one goes, so that the activation returns to it.
    if (disableOwner) EnableWindow(owner, TRUE);
    ShowWindow(m_hwnd, SW_HIDE);
    return m_result;
}

void Win32Window::End(int result) {
    m_result = result;
    m_ended = true;
    WakeLoop();
}

DialogWindow::DialogWindow(CDialog& owner, HWND parent, bool popup, bool page)
    : m_owner(owner), m_popup(popup) {
    const DialogTemplate& tmpl = owner.dialogTemplate();
    const std::vector<DWORD> bytes = BuildDialogTemplate(tmpl, FrameFor(parent, popup, page));
    const HWND window =
        CreateDialogIndirectParamW(Instance(), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()),
                                   parent, &DialogWindow::Proc, reinterpret_cast<LPARAM>(this));
    Attach(window);
    BuildControls();
    m_built = true;
}

ControlPeer* DialogWindow::Item(int id) {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second.get();
}

void DialogWindow::BuildControls() {
    const DialogTemplate& tmpl = m_owner.dialogTemplate();
    const HWND dialog = hwnd();
    Win32Control* previous = nullptr;
    const std::vector<LabelLink> links = LabelLinks(tmpl);
    // Measured before the walk below, which goes by the children's order.
    const bool hasLists =
        std::any_of(tmpl.controls.begin(), tmpl.controls.end(),
                    [](const ControlTemplate& c) { return c.kind == ControlKind::kDropDownList; });
    const std::pair<int, int> listHeights = hasLists ? PlainListHeights(dialog) : std::pair{0, 0};
    size_t at = 0;
    // The children stand in template order until the tab order is set: pictures and labels
    // (IDC_STATIC) are found by their place.
    for (HWND child = GetWindow(dialog, GW_CHILD); at < tmpl.controls.size(); ++at) {
        const ControlTemplate& c = tmpl.controls[at];
        const HWND made = child;
        if (child != nullptr) child = GetWindow(child, GW_HWNDNEXT);
        if (made == nullptr) continue;
        if (c.kind == ControlKind::kBitmap) {
            if (HBITMAP bitmap = LoadPngBitmap(c.resource, DpiOf(made)); bitmap != nullptr) {
                SendMessageW(made, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
                m_bitmaps.push_back(bitmap);
            }
        }
        if (c.kind == ControlKind::kIcon) {
            // The dialog manager loads an icon at the system's icon size, which some systems
            // keep at 32 pixels whatever the resolution: the icon grows with the text instead.
            constexpr int kIconPixelsAt96 = 32;
            const int size = MulDiv(kIconPixelsAt96, DpiOf(made), 96);
            const auto icon = static_cast<HICON>(
                LoadImageW(Instance(), MAKEINTRESOURCEW(c.resource), IMAGE_ICON, size, size, 0));
            if (icon != nullptr) {
                SendMessageW(made, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
                m_icons.push_back(icon);
            }
        }
        if (c.kind == ControlKind::kText) {
            if (const HFONT font = FontForSigns(made); font != nullptr) {
                SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
                m_fonts.push_back(font);
            }
        }
        if (c.kind == ControlKind::kText && (c.style & kOnPicture)) m_onPicture.push_back(made);
        if (FitsItsText(c)) {
            RECT r;
            GetWindowRect(made, &r);
            MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
            const int width = FittedWidth(c, r.right - r.left,
                                          TextWidth(made, c.kind == ControlKind::kAutoCheckBox));
            SetWindowPos(made, nullptr, 0, 0, width, r.bottom - r.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (c.id == IDC_STATIC) {
            if (c.kind == ControlKind::kText)
                m_labels.emplace_back(made, (c.style & kDisabled) == 0);
            continue;
        }
        const HWND window = made;
        auto control = std::make_unique<Win32Control>(window, c.kind, c.id);
        const auto link = std::find_if(links.begin(), links.end(),
                                       [at](const LabelLink& l) { return l.control == at; });
        if (link != links.end()) {
            control->SetAccessibleName(link->name);
            control->SetLabelMnemonic(link->mnemonic);
        }
        switch (c.kind) {
            case ControlKind::kDropDownList:
                if (listHeights.first > 0) {
                    SendMessageW(window, CB_SETITEMHEIGHT, WPARAM(-1), listHeights.first);
                    SendMessageW(window, CB_SETITEMHEIGHT, 0, listHeights.second);
                }
                for (const std::string& item : c.items) {
                    const std::wstring text = Widen(Translate("lists", item.c_str()));
                    SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
                }
                control->FitEntries(RoomToTheRight(tmpl, at, dialog));
                break;
            case ControlKind::kEdit:
                if (c.style & kNumberOnly) InstallCharacterFilter(window, &IsDigitOrCommand);
                break;
            case ControlKind::kUpDown:
                if (previous != nullptr && previous->Kind() == ControlKind::kEdit)
                    previous->SetUpDown(window);
                break;
            case ControlKind::kListView: {
                SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                             LVS_EX_FULLROWSELECT);
                for (size_t i = 0; i < c.items.size(); ++i) {
                    std::wstring header =
                        Widen(Translate(tmpl.context.c_str(), c.items[i].c_str()));
                    LVCOLUMNW column = {};
                    column.mask = LVCF_TEXT | LVCF_WIDTH;
                    column.pszText = header.data();
                    column.cx = 80;
                    SendMessageW(window, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
                }
                break;
            }
            default: break;
        }
        previous = control.get();
        m_controls.emplace(c.id, std::move(control));
    }
}

Win32Control* DialogWindow::ControlOf(HWND window) {
    if (window == nullptr) return nullptr;
    const auto it = m_controls.find(GetDlgCtrlID(window));
    return it != m_controls.end() && it->second->hwnd() == window ? it->second.get() : nullptr;
}

void DialogWindow::OnCommand(int id, int code, HWND control) {
    if (control == nullptr) {
        // Enter and Esc through the dialog manager: a pop-up's OK and Cancel.
        if (id == IDOK || id == IDCANCEL) m_owner.HandleNotify(id, Notify::kClicked);
        return;
    }
    Win32Control* peer = ControlOf(control);
    if (peer == nullptr) return;
    switch (peer->Kind()) {
        case ControlKind::kPushButton:
        case ControlKind::kDefPushButton:
        case ControlKind::kAutoCheckBox:
            if (code == BN_CLICKED) m_owner.HandleNotify(id, Notify::kClicked);
            if (code == BN_SETFOCUS) m_owner.HandleNotify(id, Notify::kSetFocus);
            break;
        case ControlKind::kEdit:
            if (code == EN_CHANGE) m_owner.HandleNotify(id, Notify::kChange);
            if (code == EN_SETFOCUS) m_owner.HandleNotify(id, Notify::kSetFocus);
            break;
        case ControlKind::kDropDownList:
            if (code == CBN_SELCHANGE) {
                peer->OnSelectionChanged();
                m_owner.HandleNotify(id, Notify::kSelChange);
            }
            if (code == CBN_SETFOCUS || code == CBN_DROPDOWN)
                m_owner.HandleNotify(id, Notify::kSetFocus);
            if (code == CBN_CLOSEUP) peer->OnListClosed();
            break;
        case ControlKind::kListBox:
            if (code == LBN_SELCHANGE) m_owner.HandleNotify(id, Notify::kSelChange);
            if (code == LBN_DBLCLK) m_owner.HandleNotify(id, Notify::kDblClk);
            if (code == LBN_SETFOCUS) m_owner.HandleNotify(id, Notify::kSetFocus);
            break;
        default: break;
    }
}

bool DialogWindow::OnNotify(const NMHDR& header, LRESULT& result) {
    Win32Control* peer = ControlOf(header.hwndFrom);
    if (peer != nullptr && peer->Kind() == ControlKind::kUpDown && header.code == UDN_DELTAPOS) {
        // The arrows go on from what the edit shows, typed or not: the control's own rule
        // keeps its last position when the typed number lies outside its range.
        const auto& step = reinterpret_cast<const NMUPDOWN&>(header);
        const auto buddy =
            reinterpret_cast<HWND>(SendMessageW(header.hwndFrom, UDM_GETBUDDY, 0, 0));
        if (buddy == nullptr) return false;
        int lower = 0;
        int upper = 0;
        SendMessageW(header.hwndFrom, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                     reinterpret_cast<LPARAM>(&upper));
        const int32_t next = StepUpDown(WindowText(buddy), step.iPos, step.iDelta, lower, upper);
        SendMessageW(header.hwndFrom, UDM_SETPOS32, 0, next);
        SetWindowTextW(buddy, std::to_wstring(next).c_str());
        result = TRUE;  // done here; the control changes nothing itself
        return true;
    }
    if (peer == nullptr || peer->Kind() != ControlKind::kListView) return false;
    const int id = peer->Id();
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) &&
            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED)) {
            m_owner.HandleNotify(id, Notify::kSelChange);
        }
    } else if (header.code == NM_DBLCLK) {
        m_owner.HandleNotify(id, Notify::kDblClk);
    } else if (header.code == NM_SETFOCUS) {
        m_owner.HandleNotify(id, Notify::kSetFocus);
    }
    return false;
}

bool DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            if (m_built) OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return true;
        case WM_NOTIFY: return m_built && OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            Win32Control* peer = item.CtlType == ODT_COMBOBOX ? ControlOf(item.hwndItem) : nullptr;
            if (peer == nullptr) return false;
            peer->DrawItem(item);
            result = TRUE;
            return true;
        }
        case WM_ENABLE:
            // A window hears of its own state only, as the sheet's pages and panel need.
            if (!m_built) return true;
            // The operator sees that a disabled page takes no input: its controls and labels
            // greyed, as a disabled window's are on Linux.
            for (auto& [id, control] : m_controls) control->SetWindowEnabled(wParam != FALSE);
            for (const auto& [label, own] : m_labels) EnableWindow(label, own && wParam != FALSE);
            m_owner.HandleEnable(wParam != FALSE);
            return true;
        case WM_CTLCOLORSTATIC:
            // Text over the picture before it: the banner's own pale blue on its dark ground.
            if (std::find(m_onPicture.begin(), m_onPicture.end(), reinterpret_cast<HWND>(lParam)) !=
                m_onPicture.end()) {
                constexpr COLORREF kOnPictureText = RGB(0xd5, 0xe3, 0xf5);
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, kOnPictureText);
                SetBkMode(dc, TRANSPARENT);
                result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
                return true;
            }
            return false;
        case WM_CTLCOLOREDIT:
            if (Win32Control* peer = ControlOf(reinterpret_cast<HWND>(lParam));
                peer != nullptr && peer->IsHighlighted() && peer->IsEnabled()) {
                constexpr COLORREF kHighlight =
                    RGB((kHighlightRgb >> 16) & 0xFF, (kHighlightRgb >> 8) & 0xFF,
                        kHighlightRgb & 0xFF);
                // One brush for the program's life: the system frees it at exit.
                static const HBRUSH brush = CreateSolidBrush(kHighlight);
                SetBkColor(reinterpret_cast<HDC>(wParam), kHighlight);
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
            return false;
        case WM_CLOSE:
            if (m_popup) m_owner.HandleNotify(IDCANCEL, Notify::kClicked);
            return true;
        case WM_CONTEXTMENU:
            // A window without a menu of its own leaves the click to the window it sits in.
            return ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_SETCURSOR: {
            // Pointing at a control is turning to it (the port list refreshes its tips then).
            const auto pointed = reinterpret_cast<HWND>(wParam);
            if (pointed != m_hovered) {
                m_hovered = pointed;
                if (Win32Control* peer = ControlOf(pointed))
                    m_owner.HandleNotify(peer->Id(), Notify::kSetFocus);
            }
            if (WaitCursorShown()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                result = TRUE;
                return true;
            }
            return false;
        }
        default: return false;
    }
}

INT_PTR CALLBACK DialogWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;  // the framework gives the focus where it wants it
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    LRESULT result = 0;
    if (!self->OnMessage(message, wParam, lParam, result)) return FALSE;
    // The colour messages return their brush itself, not through the message result.
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT)
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace linkmate::fw::win32

namespace linkmate::fw::backend {

std::unique_ptr<WindowPeer> CreateDialogWindow(CDialog& dialog, WindowPeer* parent,
                                               Placement placement) {
    win32::DispatchWindow();
    const HWND parentWindow = ParentWindow<HWND>(parent, placement);
    return std::make_unique<win32::DialogWindow>(
        dialog, parentWindow, placement == Placement::kPopup, placement == Placement::kPage);
}

Size TemplateSize(const DialogTemplate& tmpl) {
    const Rect r = win32::TemplatePixels(tmpl, 0, 0, tmpl.cx, tmpl.cy);
    return {r.width, r.height};
}

}  // namespace linkmate::fw::backend
