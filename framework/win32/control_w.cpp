#include "framework/win32/control_w.h"

#include <algorithm>

#include "framework/keyboard.h"
#include "framework/win32/accessible_w.h"
#include "framework/win32/message_loop_w.h"

namespace linkmate::fw::win32 {
namespace {

constexpr UINT_PTR kFilterSubclass = 1;
// Between an entry of a drop-down list and its detail, and around an entry's text.
constexpr const char* kDetailGap = "  ";
constexpr int kEntryMargin = 2;

LRESULT CALLBACK FilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR data) {
    // The filter sees what typing delivers, control characters (editing commands) included;
    // pasted text reaches the edit through WM_PASTE and is cut to the limit by the edit itself.
    if (message == WM_CHAR && data != 0) {
        const auto accepts = reinterpret_cast<CharacterFilter>(data);
        if (!accepts(static_cast<int>(wParam))) return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

int ListViewCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

}  // namespace

void InstallCharacterFilter(HWND edit, CharacterFilter accepts) {
    SetWindowSubclass(edit, FilterProc, kFilterSubclass, reinterpret_cast<DWORD_PTR>(accepts));
}

Win32Control::Win32Control(HWND window, ControlKind kind, int id)
    : m_hwnd(window), m_kind(kind), m_id(id), m_ownEnabled(IsWindowEnabled(window) != FALSE) {}

void Win32Control::SetAccessibleName(const std::string& name) {
    m_name = name;
    win32::SetAccessibleName(m_hwnd, name);
}

bool Win32Control::IsList() const {
    return m_kind == ControlKind::kDropDownList || m_kind == ControlKind::kListBox ||
           m_kind == ControlKind::kListView;
}

std::string Win32Control::Text() const {
    return IsWindow(m_hwnd) ? WindowText(m_hwnd) : std::string();
}

void Win32Control::SetText(const std::string& text) {
    if (m_kind == ControlKind::kDropDownList || m_kind == ControlKind::kListBox ||
        m_kind == ControlKind::kListView)
        return;
    SetWindowTextW(m_hwnd, Widen(text).c_str());
}

bool Win32Control::IsEnabled() const { return m_ownEnabled; }

void Win32Control::Enable(bool enable) {
    m_ownEnabled = enable;
    ApplyEnabled();
}

void Win32Control::SetWindowEnabled(bool enabled) {
    m_windowEnabled = enabled;
    ApplyEnabled();
}

void Win32Control::ApplyEnabled() {
    const bool shown = m_ownEnabled && m_windowEnabled;
    EnableWindow(m_hwnd, shown);
    // A greyed edit cannot be changed through its arrows either.
    if (m_upDown != nullptr) EnableWindow(m_upDown, shown);
}

bool Win32Control::IsVisible() const {
    return (GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Control::Show(bool show) {
    ShowWindow(m_hwnd, show ? SW_SHOWNA : SW_HIDE);
    if (m_upDown != nullptr) ShowWindow(m_upDown, show ? SW_SHOWNA : SW_HIDE);
}

void Win32Control::SetFocus() { ::SetFocus(m_hwnd); }

bool Win32Control::HasFocus() const {
    const HWND focus = GetFocus();
    return focus != nullptr && (focus == m_hwnd || IsChild(m_hwnd, focus));
}

std::string Win32Control::ToolTip() const { return m_tip; }

void Win32Control::SetToolTip(const std::string& tip) {
    m_ownTip = true;
    ShowTip(tip);
}

void Win32Control::ShowTip(const std::string& tip) {
    m_tip = tip;
    m_tipText = Widen(tip);
    if (m_tipWindow == nullptr) {
        if (tip.empty()) return;
        m_tipWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      GetAncestor(m_hwnd, GA_ROOT), nullptr, Instance(), nullptr);
        // Long tips (the port's device facts) wrap instead of running off the screen.
        SendMessageW(m_tipWindow, TTM_SETMAXTIPWIDTH, 0, 480);
        TOOLINFOW info = {};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = GetParent(m_hwnd);
        info.uId = reinterpret_cast<UINT_PTR>(m_hwnd);
        info.lpszText = m_tipText.data();
        SendMessageW(m_tipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    TOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.hwnd = GetParent(m_hwnd);
    info.uId = reinterpret_cast<UINT_PTR>(m_hwnd);
    info.lpszText = m_tipText.data();
    SendMessageW(m_tipWindow, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void Win32Control::OnSelectionChanged() {
    if (m_kind != ControlKind::kDropDownList || m_ownTip) return;
    ShowTip(ItemToolTip(CurSel()));
}

Rect Win32Control::Bounds() const {
    RECT r;
    GetWindowRect(m_hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(m_hwnd), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Control::Move(const Rect& rect) {
    int height = rect.height;
    // A drop-down list's window height includes its opened list; a move keeps that list.
    if (m_kind == ControlKind::kDropDownList) {
        RECT dropped;
        SendMessageW(m_hwnd, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        height = std::max(height, static_cast<int>(dropped.bottom - dropped.top));
    }
    MoveWindow(m_hwnd, rect.x, rect.y, rect.width, height, TRUE);
}

void Win32Control::Click() {
    if (m_kind == ControlKind::kPushButton || m_kind == ControlKind::kDefPushButton ||
        m_kind == ControlKind::kAutoCheckBox) {
        SendMessageW(m_hwnd, BM_CLICK, 0, 0);
    }
}

char Win32Control::Mnemonic() const {
    const bool button = m_kind == ControlKind::kPushButton ||
                        m_kind == ControlKind::kDefPushButton ||
                        m_kind == ControlKind::kAutoCheckBox;
    return button ? MnemonicOf(Text()) : m_labelMnemonic;
}

Size Win32Control::TextExtent(const std::string& text) const {
    if (!IsWindow(m_hwnd)) return {};
    const std::wstring wide = Widen(text);
    const HDC dc = GetDC(m_hwnd);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    // Measured as a static control draws its text.
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, previous);
    ReleaseDC(m_hwnd, dc);
    return {r.right - r.left, r.bottom - r.top};
}

void Win32Control::SetHighlighted(bool on) {
    if (m_highlighted == on) return;
    m_highlighted = on;
    // Its window paints it on the highlight colour (WM_CTLCOLOREDIT) from now on.
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

bool Win32Control::CanTakeFocus() const {
    // Visible and enabled up to the top-level window, and a tab stop.
    if ((GetWindowLongW(m_hwnd, GWL_STYLE) & WS_TABSTOP) == 0 || !IsWindowVisible(m_hwnd))
        return false;
    for (HWND w = m_hwnd; w != nullptr; w = GetParent(w)) {
        if (!IsWindowEnabled(w)) return false;
        if ((GetWindowLongW(w, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    return true;
}

void Win32Control::SelectAll() {
    if (m_kind == ControlKind::kEdit) SendMessageW(m_hwnd, EM_SETSEL, 0, -1);
}

void Win32Control::ReplaceSelection(const std::string& text) {
    if (m_kind != ControlKind::kEdit) return;
    const std::wstring wide = Widen(text);
    SendMessageW(m_hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32Control::SetLimitText(int limit) {
    // The edit's own limit binds typing and pasting, never text set by the program.
    if (m_kind == ControlKind::kEdit)
        SendMessageW(m_hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(0, limit)), 0);
}

void Win32Control::SetFilter(CharacterFilter accepts) {
    if (m_kind == ControlKind::kEdit) InstallCharacterFilter(m_hwnd, accepts);
}

void Win32Control::SetReadOnly(bool readOnly) {
    if (m_kind == ControlKind::kEdit) SendMessageW(m_hwnd, EM_SETREADONLY, readOnly, 0);
}

bool Win32Control::IsReadOnly() const {
    return m_kind == ControlKind::kEdit && (GetWindowLongW(m_hwnd, GWL_STYLE) & ES_READONLY) != 0;
}

int Win32Control::Count() const {
    switch (m_kind) {
        case ControlKind::kDropDownList:
            return static_cast<int>(SendMessageW(m_hwnd, CB_GETCOUNT, 0, 0));
        case ControlKind::kListBox:
            return static_cast<int>(SendMessageW(m_hwnd, LB_GETCOUNT, 0, 0));
        case ControlKind::kListView: return ListViewCount(m_hwnd);
        default: return 0;
    }
}

int Win32Control::CurSel() const {
    switch (m_kind) {
        case ControlKind::kDropDownList:
            return static_cast<int>(SendMessageW(m_hwnd, CB_GETCURSEL, 0, 0));
        case ControlKind::kListBox:
            return static_cast<int>(SendMessageW(m_hwnd, LB_GETCURSEL, 0, 0));
        case ControlKind::kListView:
            return static_cast<int>(
                SendMessageW(m_hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        default: return -1;
    }
}

void Win32Control::SetCurSel(int index) {
    const bool inRange = index >= 0 && index < Count();
    switch (m_kind) {
        case ControlKind::kDropDownList:
            SendMessageW(m_hwnd, CB_SETCURSEL,
                         inRange ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
            OnSelectionChanged();
            break;
        case ControlKind::kListBox:
            SendMessageW(m_hwnd, LB_SETCURSEL,
                         inRange ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
            break;
        case ControlKind::kListView: {
            LVITEMW item = {};
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = 0;
            SendMessageW(m_hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(&item));
            if (inRange) {
                item.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageW(m_hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&item));
                SendMessageW(m_hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
            }
            break;
        }
        default: break;
    }
}

void Win32Control::ResetContent() {
    switch (m_kind) {
        case ControlKind::kDropDownList: SendMessageW(m_hwnd, CB_RESETCONTENT, 0, 0); break;
        case ControlKind::kListBox: SendMessageW(m_hwnd, LB_RESETCONTENT, 0, 0); break;
        case ControlKind::kListView: SendMessageW(m_hwnd, LVM_DELETEALLITEMS, 0, 0); break;
        default: return;
    }
    m_itemTips.clear();
    m_itemDetails.clear();
    OnSelectionChanged();
}

void Win32Control::AddItem(const std::vector<std::string>& cells) {
    if (cells.empty()) return;
    const std::wstring first = Widen(cells.front());
    switch (m_kind) {
        case ControlKind::kDropDownList:
            SendMessageW(m_hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(first.c_str()));
            break;
        case ControlKind::kListBox:
            SendMessageW(m_hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(first.c_str()));
            break;
        case ControlKind::kListView: {
            const HWND header = reinterpret_cast<HWND>(SendMessageW(m_hwnd, LVM_GETHEADER, 0, 0));
            const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = ListViewCount(m_hwnd);
            std::wstring text = first;
            item.pszText = text.data();
            const int row = static_cast<int>(
                SendMessageW(m_hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            for (int column = 1; column < columns && column < static_cast<int>(cells.size());
                 ++column) {
                std::wstring cell = Widen(cells[static_cast<size_t>(column)]);
                LVITEMW sub = {};
                sub.iSubItem = column;
                sub.pszText = cell.data();
                SendMessageW(m_hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&sub));
            }
            // Each column as wide as its widest cell or its header, whichever is wider (sized
            // by the cells alone, a header would shrink to "..."); the last one fills the rest.
            for (int column = 0; column < columns; ++column) {
                const auto width = [&](int how) {
                    SendMessageW(m_hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), how);
                    return static_cast<int>(
                        SendMessageW(m_hwnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
                };
                if (column + 1 == columns) {
                    width(LVSCW_AUTOSIZE_USEHEADER);
                    continue;
                }
                const int byCells = width(LVSCW_AUTOSIZE);
                const int title = width(LVSCW_AUTOSIZE_USEHEADER);
                if (byCells > title) width(byCells);
            }
            break;
        }
        default: break;
    }
}

std::string Win32Control::ItemText(int index, int column) const {
    if (index < 0 || index >= Count()) return {};
    switch (m_kind) {
        case ControlKind::kDropDownList:
        case ControlKind::kListBox: {
            const bool combo = m_kind == ControlKind::kDropDownList;
            const int length = static_cast<int>(SendMessageW(
                m_hwnd, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
            if (length <= 0) return {};
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            SendMessageW(m_hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(text.data()));
            return Narrow(text.data(), length);
        }
        case ControlKind::kListView: {
            std::wstring text(1024, L'\0');
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = text.data();
            item.cchTextMax = static_cast<int>(text.size());
            const int length =
                static_cast<int>(SendMessageW(m_hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                              reinterpret_cast<LPARAM>(&item)));
            return Narrow(text.data(), length);
        }
        default: return {};
    }
}

std::string Win32Control::ItemToolTip(int index) const {
    if (m_kind != ControlKind::kDropDownList || index < 0 ||
        index >= static_cast<int>(m_itemTips.size()))
        return {};
    return m_itemTips[static_cast<size_t>(index)];
}

void Win32Control::SetItemToolTip(int index, const std::string& tip) {
    if (m_kind != ControlKind::kDropDownList || index < 0 || index >= Count()) return;
    if (static_cast<int>(m_itemTips.size()) <= index)
        m_itemTips.resize(static_cast<size_t>(index) + 1);
    m_itemTips[static_cast<size_t>(index)] = tip;
    if (index == CurSel()) OnSelectionChanged();
}

void Win32Control::SetItemDetail(int index, const std::string& detail, bool dimmed) {
    if (m_kind != ControlKind::kDropDownList || index < 0 || index >= Count()) return;
    if (static_cast<int>(m_itemDetails.size()) <= index)
        m_itemDetails.resize(static_cast<size_t>(index) + 1);
    m_itemDetails[static_cast<size_t>(index)] = {detail, dimmed};
    // The opened list is as wide as its widest entry with its detail, however narrow the list.
    const std::wstring shown = Widen(ItemText(index, 0) + kDetailGap + detail);
    const HDC dc = GetDC(m_hwnd);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(m_hwnd, dc);
    const int wanted = size.cx + 2 * kEntryMargin + GetSystemMetrics(SM_CXVSCROLL) +
                       2 * GetSystemMetrics(SM_CXEDGE);
    const int now = static_cast<int>(SendMessageW(m_hwnd, CB_GETDROPPEDWIDTH, 0, 0));
    if (wanted > now) SendMessageW(m_hwnd, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(wanted), 0);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

std::string Win32Control::ItemDetail(int index) const {
    if (index < 0 || index >= static_cast<int>(m_itemDetails.size())) return {};
    return m_itemDetails[static_cast<size_t>(index)].text;
}

void Win32Control::FitEntries(int room) {
    if (m_kind != ControlKind::kDropDownList) return;
    const HDC dc = GetDC(m_hwnd);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (int i = 0; i < Count(); ++i) {
        const std::wstring text = Widen(ItemText(i, 0));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, previous);
    ReleaseDC(m_hwnd, dc);
    // The text, its margins, the arrow button and the frame.
    const int needed = widest + 2 * kEntryMargin + GetSystemMetrics(SM_CXVSCROLL) +
                       4 * GetSystemMetrics(SM_CXEDGE);
    const Rect now = Bounds();
    const int width = std::min(needed, room);
    if (width > now.width) Move({now.x, now.y, width, now.height});
}

void Win32Control::DrawItem(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    const int index = static_cast<int>(item.itemID);
    const bool field = (item.itemState & ODS_COMBOBOXEDIT) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const Detail detail = index >= 0 && index < static_cast<int>(m_itemDetails.size())
                              ? m_itemDetails[static_cast<size_t>(index)]
                              : Detail{};
    const bool highlighted = selected && !disabled;
    FillRect(dc, &item.rcItem, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (index >= 0) {
        // The closed list shows the entry's own text; the opened one its detail beside it.
        std::string text = ItemText(index, 0);
        if (!field && !detail.text.empty()) text += kDetailGap + detail.text;
        const std::wstring wide = Widen(text);
        SetTextColor(dc, GetSysColor(highlighted                             ? COLOR_HIGHLIGHTTEXT
                                     : disabled || (!field && detail.dimmed) ? COLOR_GRAYTEXT
                                                                             : COLOR_WINDOWTEXT));
        SetBkMode(dc, TRANSPARENT);
        RECT r = item.rcItem;
        r.left += kEntryMargin;
        DrawTextW(dc, wide.c_str(), -1, &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT))
        DrawFocusRect(dc, &item.rcItem);
    if (!field && selected && SendMessageW(m_hwnd, CB_GETDROPPEDSTATE, 0, 0))
        ShowEntryTip(index, item.rcItem);
}

void Win32Control::ShowEntryTip(int index, const RECT& entry) {
    if (index == m_entryTipIndex) return;
    m_entryTipIndex = index;
    COMBOBOXINFO combo = {};
    combo.cbSize = sizeof combo;
    const std::string tip = ItemToolTip(index);
    if (tip.empty() || !GetComboBoxInfo(m_hwnd, &combo)) {
        OnListClosed();
        m_entryTipIndex = index;
        return;
    }
    m_entryTipText = Widen(tip);
    TOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    info.hwnd = m_hwnd;
    info.uId = 1;
    info.lpszText = m_entryTipText.data();
    if (m_entryTipWindow == nullptr) {
        m_entryTipWindow =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, Instance(), nullptr);
        SendMessageW(m_entryTipWindow, TTM_SETMAXTIPWIDTH, 0, 480);
        SendMessageW(m_entryTipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    } else {
        SendMessageW(m_entryTipWindow, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    }
    // Beside the opened list, level with the entry.
    RECT list;
    GetWindowRect(combo.hwndList, &list);
    POINT at = {0, entry.top};
    MapWindowPoints(combo.hwndList, HWND_DESKTOP, &at, 1);
    SendMessageW(m_entryTipWindow, TTM_TRACKPOSITION, 0, MAKELPARAM(list.right + 2, at.y));
    SendMessageW(m_entryTipWindow, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

void Win32Control::OnListClosed() {
    m_entryTipIndex = -1;
    if (m_entryTipWindow == nullptr) return;
    TOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.hwnd = m_hwnd;
    info.uId = 1;
    SendMessageW(m_entryTipWindow, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

int Win32Control::CheckState() const {
    if (m_kind != ControlKind::kAutoCheckBox) return 0;
    const LRESULT state = SendMessageW(m_hwnd, BM_GETCHECK, 0, 0);
    return state == BST_CHECKED ? 1 : state == BST_INDETERMINATE ? 2 : 0;
}

void Win32Control::SetCheckState(int state) {
    if (m_kind != ControlKind::kAutoCheckBox) return;
    SendMessageW(m_hwnd, BM_SETCHECK,
                 state == 1   ? BST_CHECKED
                 : state == 2 ? BST_INDETERMINATE
                              : BST_UNCHECKED,
                 0);
}

void Win32Control::SetRange(int lower, int upper) {
    if (m_kind == ControlKind::kUpDown)
        SendMessageW(m_hwnd, UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}

std::pair<int, int> Win32Control::Range() const {
    if (m_kind != ControlKind::kUpDown) return {0, 0};
    int lower = 0;
    int upper = 0;
    SendMessageW(m_hwnd, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                 reinterpret_cast<LPARAM>(&upper));
    return {lower, upper};
}

}  // namespace linkmate::fw::win32
