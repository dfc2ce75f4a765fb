#include "framework/win32/details_box_w.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "framework/translate.h"
#include "framework/win32/dialog_template_w.h"
#include "framework/win32/window_w.h"

namespace linkmate::fw::win32 {
namespace {

// The details pane opens this many characters wide and lines high; the box can be resized.
constexpr int kDetailsColumns = 90;
constexpr int kDetailsLines = 16;
// The message wraps at about this many characters: a sentence per line rather than a few words.
constexpr int kTextColumns = 48;

constexpr int kIconId = 100;
constexpr int kTextId = 101;
constexpr int kDetailId = 102;
constexpr int kToggleId = 103;
constexpr int kCopyId = 104;
constexpr int kDetailsId = 105;
constexpr int kAlternativeId = 106;

// Faces with columns of equal width, best first; the first the system has is taken.
constexpr const wchar_t* kFixedFaces[] = {L"Consolas", L"Courier New", L"Liberation Mono",
                                          L"DejaVu Sans Mono", L"Noto Mono"};

bool HasFace(HDC dc, const wchar_t* face) {
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(
        dc, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM data) -> int {
            *reinterpret_cast<bool*>(data) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// A fixed-width font as high as `like`, so that byte runs and trace columns line up.
HFONT FixedWidthFont(HFONT like) {
    LOGFONTW font = {};
    GetObjectW(like, sizeof font, &font);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    font.lfFaceName[0] = L'\0';
    const HDC dc = GetDC(nullptr);
    for (const wchar_t* face : kFixedFaces) {
        if (!HasFace(dc, face)) continue;
        wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
        break;
    }
    ReleaseDC(nullptr, dc);
    return CreateFontIndirectW(&font);
}

// Puts `text` on the clipboard as Unicode text, with the CR LF line ends Windows programs expect.
void CopyToClipboard(HWND owner, const std::wstring& text) {
    std::wstring lines;
    for (const wchar_t c : text) {
        if (c == L'\n') lines += L'\r';
        lines += c;
    }
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    const size_t bytes = (lines.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        void* target = GlobalLock(memory);
        if (target != nullptr) {
            std::memcpy(target, lines.c_str(), bytes);
            GlobalUnlock(memory);
        }
        // The clipboard owns the memory once it has taken it.
        if (target == nullptr || SetClipboardData(CF_UNICODETEXT, memory) == nullptr)
            GlobalFree(memory);
    }
    CloseClipboard();
}

std::wstring BoxText(const char* source) { return Widen(Translate("CMessageBox", source)); }

// The box: icon, message and informative text; a row with the details' toggle and Copy on the
// left and the answers on the right; under it the details pane, hidden until asked for.
class DetailsBox {
public:
    explicit DetailsBox(const MessageBoxCall& call) : m_call(call) {}
    ~DetailsBox() {
        if (m_fixedFont != nullptr) DeleteObject(m_fixedFont);
    }

    int Run(HWND owner) {
        m_owner = owner;
        const DialogTemplate frame{0, "", 100, 40, "MS Shell Dlg", 8, false, false, {}, ""};
        const std::vector<DWORD> bytes = BuildDialogTemplate(
            frame, {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME,
                    WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, false});
        const INT_PTR answer =
            DialogBoxIndirectParamW(Instance(), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()),
                                    owner, &DetailsBox::Proc, reinterpret_cast<LPARAM>(this));
        return answer < 0 ? kAnswerNo : static_cast<int>(answer);
    }

private:
    struct Button {
        HWND window;
        int width;
    };

    static INT_PTR CALLBACK Proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrW(box, DWLP_USER, lParam);
        auto* self = reinterpret_cast<DetailsBox*>(GetWindowLongPtrW(box, DWLP_USER));
        if (self == nullptr) return FALSE;
        switch (message) {
            case WM_INITDIALOG: self->Build(box); return FALSE;
            case WM_SIZE: self->Layout(); return TRUE;
            case WM_GETMINMAXINFO: self->Limit(*reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
            case WM_COMMAND: self->Command(LOWORD(wParam)); return TRUE;
            default: return FALSE;
        }
    }

    int Units(int x, int y = 0) const {
        RECT r = {0, 0, x, y};
        MapDialogRect(m_box, &r);
        return x != 0 ? r.right : r.bottom;
    }

    HWND Add(const wchar_t* kind, const std::wstring& text, DWORD style, int id, DWORD ex = 0) {
        const HWND made =
            CreateWindowExW(ex, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                            m_box, reinterpret_cast<HMENU>(INT_PTR{id}), Instance(), nullptr);
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        return made;
    }

    Button AddButton(const std::wstring& text, int id, bool isDefault) {
        const HWND made =
            Add(L"BUTTON", text, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), id);
        return {made, std::max(Units(50), static_cast<int>(TextSize(text, 0).cx) + Units(12))};
    }

    // The size of `text` in the box's font, wrapped at `width` pixels (0: one line).
    SIZE TextSize(const std::wstring& text, int width) const {
        const HDC dc = GetDC(m_box);
        const HGDIOBJ previous = SelectObject(dc, m_font);
        RECT r = {0, 0, width, 0};
        DrawTextW(dc, text.c_str(), -1, &r,
                  DT_CALCRECT | DT_NOPREFIX | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, previous);
        ReleaseDC(m_box, dc);
        return {r.right - r.left, r.bottom - r.top};
    }

    void Build(HWND box) {
        m_box = box;
        m_font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
        SetWindowTextW(box, Widen(m_call.caption).c_str());
        const bool question = m_call.buttons == MessageButtons::kYesNo;

        const LPCWSTR icon = m_call.icon == MessageIcon::kExclamation ? IDI_WARNING
                             : m_call.icon == MessageIcon::kQuestion  ? IDI_QUESTION
                                                                      : nullptr;
        if (icon != nullptr) {
            m_icon = Add(L"STATIC", L"", SS_ICON, kIconId);
            SendMessageW(m_icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)),
                         0);
        }
        const std::wstring text = Widen(m_call.text);
        const std::wstring detail = Widen(m_call.detail);
        m_text = Add(L"STATIC", text, SS_LEFT | SS_NOPREFIX, kTextId);
        if (!detail.empty()) m_detail = Add(L"STATIC", detail, SS_LEFT | SS_NOPREFIX, kDetailId);

        m_left.push_back(AddButton(BoxText("Show Details..."), kToggleId, false));
        m_toggle = m_left.back().window;
        m_left.push_back(AddButton(BoxText("&Copy"), kCopyId, false));
        if (question) {
            m_right.push_back(AddButton(BoxText("&Yes"), IDYES, false));
            if (!m_call.alternative.empty())
                m_right.push_back(AddButton(Widen(m_call.alternative), kAlternativeId, false));
            m_right.push_back(AddButton(BoxText("&No"), IDNO, true));
        } else {
            m_right.push_back(AddButton(BoxText("OK"), IDOK, true));
        }
        SendMessageW(box, DM_SETDEFID, question ? IDNO : IDOK, 0);

        // Unwrapped and read-only; its own scroll bars when the box is smaller than the text.
        std::wstring details;
        for (const wchar_t c : Widen(m_call.details)) {
            if (c == L'\n') details += L'\r';
            details += c;
        }
        m_details = Add(L"EDIT", details,
                        WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                            ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                        kDetailsId, WS_EX_CLIENTEDGE);
        m_fixedFont = FixedWidthFont(m_font);
        SendMessageW(m_details, WM_SETFONT, reinterpret_cast<WPARAM>(m_fixedFont), FALSE);
        ShowWindow(m_details, SW_HIDE);

        // The parts above the buttons keep the height they take at the box's first width.
        m_margin = Units(7);
        m_gap = Units(4);
        m_buttonHeight = Units(0, 14);
        const int iconSize = icon != nullptr ? GetSystemMetrics(SM_CXICON) : 0;
        m_textX = m_margin + (icon != nullptr ? iconSize + 2 * m_gap : 0);
        const int textWidth = Units(4 * kTextColumns);
        m_textHeight = TextSize(text, textWidth).cy;
        m_detailHeight = detail.empty() ? 0 : TextSize(detail, textWidth).cy;
        const int top =
            std::max(iconSize, m_textHeight + (detail.empty() ? 0 : m_gap + m_detailHeight));
        m_rowY = m_margin + top + 2 * m_gap;
        int row = 0;
        for (const Button& b : m_left) row += b.width + m_gap;
        for (const Button& b : m_right) row += b.width + m_gap;
        m_compact = {std::max(m_textX + textWidth, m_margin + row + 2 * m_gap) + m_margin,
                     m_rowY + m_buttonHeight + m_margin};
        ResizeClient(m_compact.cx, m_compact.cy);
        PlaceOnOwner(box, m_owner);
        SetFocus(m_right.back().window);
    }

    void ResizeClient(int width, int height) {
        RECT r = {0, 0, width, height};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(m_box, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(m_box, GWL_EXSTYLE)));
        SetWindowPos(m_box, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    SIZE FrameOf(SIZE client) const {
        RECT r = {0, 0, client.cx, client.cy};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(m_box, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(m_box, GWL_EXSTYLE)));
        return {r.right - r.left, r.bottom - r.top};
    }

    bool Expanded() const { return m_details != nullptr && IsWindowVisible(m_details); }

    // Never smaller than the box without its details; without them, no taller either.
    void Limit(MINMAXINFO& limits) const {
        if (m_box == nullptr || m_compact.cx == 0) return;
        const int lines = Expanded() ? 4 * LineHeight() + m_gap : 0;
        const SIZE least = FrameOf({m_compact.cx, m_compact.cy + lines});
        limits.ptMinTrackSize = {least.cx, least.cy};
        if (!Expanded()) limits.ptMaxTrackSize.y = least.cy;
    }

    int LineHeight() const {
        const HDC dc = GetDC(m_details);
        const HGDIOBJ previous = SelectObject(dc, m_fixedFont);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(m_details, dc);
        return metrics.tmHeight;
    }

    int AverageWidth() const {
        const HDC dc = GetDC(m_details);
        const HGDIOBJ previous = SelectObject(dc, m_fixedFont);
        SIZE zero = {};
        GetTextExtentPoint32W(dc, L"0", 1, &zero);
        SelectObject(dc, previous);
        ReleaseDC(m_details, dc);
        return zero.cx;
    }

    void Layout() {
        if (m_text == nullptr) return;
        RECT client;
        GetClientRect(m_box, &client);
        const int width = client.right;
        const int textWidth = std::max(0, width - m_textX - m_margin);
        if (m_icon != nullptr) {
            const int size = GetSystemMetrics(SM_CXICON);
            MoveWindow(m_icon, m_margin, m_margin, size, size, TRUE);
        }
        MoveWindow(m_text, m_textX, m_margin, textWidth, m_textHeight, TRUE);
        if (m_detail != nullptr)
            MoveWindow(m_detail, m_textX, m_margin + m_textHeight + m_gap, textWidth,
                       m_detailHeight, TRUE);
        int x = m_margin;
        for (const Button& b : m_left) {
            MoveWindow(b.window, x, m_rowY, b.width, m_buttonHeight, TRUE);
            x += b.width + m_gap;
        }
        x = width - m_margin;
        for (auto b = m_right.rbegin(); b != m_right.rend(); ++b) {
            x -= b->width;
            MoveWindow(b->window, x, m_rowY, b->width, m_buttonHeight, TRUE);
            x -= m_gap;
        }
        const int top = m_rowY + m_buttonHeight + m_gap;
        MoveWindow(m_details, m_margin, top, std::max(0, width - 2 * m_margin),
                   std::max(0, static_cast<int>(client.bottom) - top - m_margin), TRUE);
        // The texts rewrap at the new width: what they showed before goes.
        InvalidateRect(m_box, nullptr, TRUE);
    }

    void ToggleDetails() {
        const bool show = !Expanded();
        SetWindowTextW(m_toggle, BoxText(show ? "Hide Details..." : "Show Details...").c_str());
        ShowWindow(m_details, show ? SW_SHOW : SW_HIDE);
        RECT client;
        GetClientRect(m_box, &client);
        if (show) {
            const int wide = 2 * m_margin + AverageWidth() * kDetailsColumns +
                             GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE);
            ResizeClient(std::max(static_cast<int>(client.right), wide),
                         m_compact.cy + m_gap + LineHeight() * kDetailsLines +
                             GetSystemMetrics(SM_CYHSCROLL) + 2 * GetSystemMetrics(SM_CYEDGE));
        } else {
            ResizeClient(client.right, m_compact.cy);
        }
        // Kept whole on the work area, where it grew past its edge.
        RECT frame;
        GetWindowRect(m_box, &frame);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(m_box, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        const int w = std::min(frame.right - frame.left, work.right - work.left);
        const int h = std::min(frame.bottom - frame.top, work.bottom - work.top);
        const int x = std::clamp(static_cast<int>(frame.left), static_cast<int>(work.left),
                                 static_cast<int>(work.right) - w);
        const int y = std::clamp(static_cast<int>(frame.top), static_cast<int>(work.top),
                                 static_cast<int>(work.bottom) - h);
        SetWindowPos(m_box, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void Command(int id) {
        switch (id) {
            case kToggleId: ToggleDetails(); break;
            case kCopyId: {
                // The whole message, for a report or a mail: what was said, the diagnosis, every
                // attempt.
                std::string all = m_call.text;
                if (!m_call.detail.empty()) all += "\n\n" + m_call.detail;
                all += "\n\n" + m_call.details;
                CopyToClipboard(m_box, Widen(all));
                break;
            }
            case IDYES: EndDialog(m_box, kAnswerYes); break;
            case kAlternativeId: EndDialog(m_box, kAnswerAlternative); break;
            case IDNO: EndDialog(m_box, kAnswerNo); break;
            case IDOK: EndDialog(m_box, kAnswerNo); break;
            case IDCANCEL:
                // Esc and the caption's Close end a message; a question waits for its answer.
                if (m_call.buttons != MessageButtons::kYesNo) EndDialog(m_box, kAnswerNo);
                break;
            default: break;
        }
    }

    const MessageBoxCall& m_call;
    HWND m_owner = nullptr;
    HWND m_box = nullptr;
    HFONT m_font = nullptr;
    HFONT m_fixedFont = nullptr;
    HWND m_icon = nullptr;
    HWND m_text = nullptr;
    HWND m_detail = nullptr;
    HWND m_toggle = nullptr;
    HWND m_details = nullptr;
    std::vector<Button> m_left;
    std::vector<Button> m_right;
    int m_margin = 0;
    int m_gap = 0;
    int m_buttonHeight = 0;
    int m_textX = 0;
    int m_textHeight = 0;
    int m_detailHeight = 0;
    int m_rowY = 0;
    SIZE m_compact = {0, 0};
};

}  // namespace

int ShowDetailsBox(const MessageBoxCall& call, HWND owner) {
    DetailsBox box(call);
    return box.Run(owner);
}

}  // namespace linkmate::fw::win32
