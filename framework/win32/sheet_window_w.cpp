// The property sheet's window: a dialog of its own with the tab control, the pages on it, and the
// four standard buttons in the standard layout.
#include <windowsx.h>

#include "framework/property_sheet.h"
#include "framework/win32/accessible_w.h"
#include "framework/win32/dialog_template_w.h"
#include "framework/win32/window_w.h"

namespace linkmate::fw::win32 {
namespace {

const DialogTemplate& SheetTemplate() {
    static const DialogTemplate tmpl{0, "",    100,   50, "MS Shell Dlg",
                                     8, false, false, {}, "CPropertySheet"};
    return tmpl;
}

// The sheet's window is a plain window with the tab control and the sheet's buttons as its items.
class SheetWindow : public Win32Window, public backend::SheetPeer {
public:
    SheetWindow(CPropertySheet& owner, const std::string& caption) : m_owner(owner) {
        DispatchWindow();
        const std::vector<DWORD> bytes = BuildDialogTemplate(
            SheetTemplate(), {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                              WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, false});
        const HWND window = CreateDialogIndirectParamW(
            Instance(), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
            &SheetWindow::Proc, reinterpret_cast<LPARAM>(this));
        Attach(window);
        SetTitle(caption);
    }
    ~SheetWindow() override {
        if (m_tabs != nullptr) RemoveWindowSubclass(m_tabs, &SheetWindow::TabsProc, 1);
    }

    Rect DialogUnitsToPixels(const Rect& units) const override {
        RECT r = {units.x, units.y, units.width, units.height};
        MapDialogRect(hwnd(), &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    Rect AddTabControl(const std::vector<std::string>& titles, Size pageSize, int x,
                       int y) override {
        const HWND sheet = hwnd();
        // The pages stand on the sheet beside the tab control, not inside it: the dialog manager's
        // Tab then stops at the tab row and goes on into the page, as in the system's sheets (a
        // tab control holding the pages would be passed through as a container). Its display
        // area lets the mouse through to the page over it.
        m_tabs = CreateWindowExW(
            0, WC_TABCONTROLW, L"",
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, 100, 100,
            sheet, reinterpret_cast<HMENU>(static_cast<INT_PTR>(AFX_IDC_TAB_CONTROL)), Instance(),
            nullptr);
        SendMessageW(m_tabs, WM_SETFONT, SendMessageW(sheet, WM_GETFONT, 0, 0), FALSE);
        SetWindowSubclass(m_tabs, &SheetWindow::TabsProc, 1, reinterpret_cast<DWORD_PTR>(this));
        for (size_t i = 0; i < titles.size(); ++i) {
            std::wstring title = Widen(titles[i]);
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = title.data();
            SendMessageW(m_tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        // The tab control as large as the pages need, its tab row and frame added around them.
        RECT frame = {0, 0, pageSize.width, pageSize.height};
        SendMessageW(m_tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&frame));
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        MoveWindow(m_tabs, x, y, width, height, FALSE);
        m_tabsAt = RectInSheet(m_tabs);
        m_items.emplace(AFX_IDC_TAB_CONTROL, std::make_unique<Win32Control>(
                                                 m_tabs, ControlKind::kText, AFX_IDC_TAB_CONTROL));
        return {x, y, width, height};
    }

    void SelectTab(int index) override {
        SendMessageW(m_tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    int CurrentTab() const override {
        return m_tabs ? static_cast<int>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0)) : -1;
    }
    int TabCount() const override {
        return m_tabs ? static_cast<int>(SendMessageW(m_tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
    }
    std::string TabText(int index) const override {
        if (m_tabs == nullptr) return {};
        wchar_t text[256] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 255;
        SendMessageW(m_tabs, TCM_GETITEMW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        return Narrow(std::wstring(text));
    }
    Rect PageArea() const override {
        RECT r;
        GetClientRect(m_tabs, &r);
        SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(m_tabs, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    ControlPeer* AddControl(int id, ControlKind kind, const std::string& text) override {
        const HWND sheet = hwnd();
        const wchar_t* windowClass = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        if (kind == ControlKind::kText) {
            windowClass = L"STATIC";
            // The framework lays out its lines (SetFittedText); the control draws them as given.
            style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
        } else if (kind == ControlKind::kPushButton) {
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
        } else {
            return nullptr;
        }
        const HWND window =
            CreateWindowExW(0, windowClass, Widen(text).c_str(), style, 0, 0, 10, 10, sheet,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
        SendMessageW(window, WM_SETFONT, SendMessageW(sheet, WM_GETFONT, 0, 0), FALSE);
        std::unique_ptr<Win32Control>& slot = m_items[id];
        slot = std::make_unique<Win32Control>(window, kind, id);
        return slot.get();
    }
    void SetAccessibleDescription(const std::string& text) override {
        m_description = text;
        win32::SetAccessibleDescription(hwnd(), text);
    }
    ControlPeer* Item(int id) override {
        const auto it = m_items.find(id);
        return it == m_items.end() ? nullptr : it->second.get();
    }
    // Enter and Esc would press Default and Read (IDOK and IDCANCEL); the sheet ends only
    // through its Close.
    bool SwallowsDialogKeys() const override { return true; }
    void End(int result) override {
        m_owner.HandleDestroy();
        Win32Window::End(result);
    }

private:
    RECT RectInSheet(HWND child) const {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // The pages: the dialogs on the sheet that stand within the tab control.
    std::vector<HWND> Pages() const {
        std::vector<HWND> pages;
        for (HWND child = GetWindow(hwnd(), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[16] = {};
            GetClassNameW(child, name, 16);
            RECT r = RectInSheet(child);
            RECT inside;
            if (lstrcmpW(name, L"#32770") == 0 && IntersectRect(&inside, &r, &m_tabsAt) &&
                EqualRect(&inside, &r)) {
                pages.push_back(child);
            }
        }
        return pages;
    }

    // The pages stand beside the tab control: they move with it, and it leaves the place of the
    // page shown unpainted (above them in the order Tab follows, it would paint over them).
    static LRESULT CALLBACK TabsProc(HWND tabs, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<SheetWindow*>(data);
        if (message == WM_WINDOWPOSCHANGED) {
            const RECT now = self->RectInSheet(tabs);
            const int dx = now.left - self->m_tabsAt.left;
            const int dy = now.top - self->m_tabsAt.top;
            if (dx != 0 || dy != 0) {
                for (HWND page : self->Pages()) {
                    const RECT r = self->RectInSheet(page);
                    SetWindowPos(page, nullptr, r.left + dx, r.top + dy, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
            }
            self->m_tabsAt = now;
        } else if (message == WM_PAINT) {
            for (HWND page : self->Pages()) {
                if (!IsWindowVisible(page)) continue;
                RECT r;
                GetWindowRect(page, &r);
                MapWindowPoints(HWND_DESKTOP, tabs, reinterpret_cast<POINT*>(&r), 2);
                ValidateRect(tabs, &r);
            }
        }
        return DefSubclassProc(tabs, message, wParam, lParam);
    }

    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            return FALSE;
        }
        auto* self = reinterpret_cast<SheetWindow*>(GetWindowLongPtrW(window, DWLP_USER));
        if (self == nullptr) return FALSE;
        switch (message) {
            case WM_COMMAND:
                // A button's click; the dialog manager's IDOK and IDCANCEL (no control) are keys.
                if (lParam != 0 && HIWORD(wParam) == BN_CLICKED)
                    self->m_owner.HandleCommand(LOWORD(wParam));
                return TRUE;
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header->hwndFrom == self->m_tabs && header->code == TCN_SELCHANGE) {
                    self->m_owner.HandleTabSelected(self->CurrentTab());
                }
                return FALSE;
            }
            case WM_CLOSE:
                if (self->m_owner.HandleCloseRequest()) self->End(IDCANCEL);
                return TRUE;
            case WM_CONTEXTMENU:
                self->ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                return TRUE;
            case WM_SETCURSOR:
                if (!WaitCursorShown()) return FALSE;
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
                return TRUE;
            default: return FALSE;
        }
    }

    CPropertySheet& m_owner;
    HWND m_tabs = nullptr;
    RECT m_tabsAt = {};  // the tab control's place on the sheet, which the pages follow
    std::map<int, std::unique_ptr<Win32Control>> m_items;
    std::string m_description;
};

}  // namespace
}  // namespace linkmate::fw::win32

namespace linkmate::fw::backend {

SheetWindowPeers CreateSheetWindow(CPropertySheet& sheet, const std::string& caption) {
    return SheetWindowPeersOf(std::make_unique<win32::SheetWindow>(sheet, caption));
}

}  // namespace linkmate::fw::backend
