// The property sheet's window: a dialog of its own with the tab control, the pages on it, and the
// four standard buttons in the standard layout.
#include <windowsx.h>

#include <array>

#include "framework/property_sheet.h"
#include "framework/translate.h"
#include "framework/win32/accessible_w.h"
#include "framework/win32/dialog_template_w.h"
#include "framework/win32/window_w.h"

namespace linkmate::fw::win32 {
namespace {

// The standard sheet layout, in dialog units of the sheet's font.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;

constexpr std::array<int, 4> kButtonIds = {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP};
constexpr std::array<const char*, 4> kButtonTexts = {
    TRANSLATE_NOOP("CPropertySheet", "OK"), TRANSLATE_NOOP("CPropertySheet", "Cancel"),
    TRANSLATE_NOOP("CPropertySheet", "&Apply"), TRANSLATE_NOOP("CPropertySheet", "Help")};

const DialogTemplate& SheetTemplate() {
    static const DialogTemplate tmpl{0, "", 100, 50, "MS Shell Dlg", 8, false, false, {}, "CPropertySheet"};
    return tmpl;
}

class SheetWindow : public backend::SheetPeer, public WindowHost {
public:
    SheetWindow(CPropertySheet& owner, const std::string& caption) : m_owner(owner) {
        DispatchWindow();
        const std::vector<DWORD> bytes =
            BuildDialogTemplate(SheetTemplate(), {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                                  WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, false});
        const HWND window = CreateDialogIndirectParamW(Instance(), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()),
                                                       nullptr, &SheetWindow::Proc, reinterpret_cast<LPARAM>(this));
        m_window.Attach(window);
        m_window.SetTitle(caption);
        m_sheetHandler = std::make_unique<SheetKeys>();
        RegisterTopLevel(window, m_sheetHandler.get());
        m_sheetHandler->window = &m_window;
    }

    void Build(const std::vector<std::string>& titles, Size pageSize) override {
        const HWND sheet = m_window.hwnd();
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(sheet, WM_GETFONT, 0, 0));
        RECT units = {kMargin, kMargin, kButtonWidth, kButtonHeight};
        MapDialogRect(sheet, &units);
        RECT gapUnits = {kButtonGap, 0, 0, 0};
        MapDialogRect(sheet, &gapUnits);
        const int margin = units.left;
        const int marginY = units.top;
        const int width = units.right;
        const int height = units.bottom;
        const int gap = gapUnits.left;

        // The pages stand on the sheet beside the tab control, not inside it: the dialog manager's
        // Tab then stops at the tab row and goes on into the page, as in the system's sheets (a
        // tab control holding the pages would be passed through as a container). Its display
        // area lets the mouse through to the page over it.
        m_tabs = CreateWindowExW(0, WC_TABCONTROLW, L"",
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, margin, marginY,
                                 100, 100, sheet, reinterpret_cast<HMENU>(static_cast<INT_PTR>(AFX_IDC_TAB_CONTROL)),
                                 Instance(), nullptr);
        SendMessageW(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
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
        const int tabsWidth = frame.right - frame.left;
        const int tabsHeight = frame.bottom - frame.top;
        MoveWindow(m_tabs, margin, marginY, tabsWidth, tabsHeight, FALSE);
        m_tabsAt = RectInSheet(m_tabs);
        m_items.emplace(AFX_IDC_TAB_CONTROL, std::make_unique<Win32Control>(m_tabs, ControlKind::kText, AFX_IDC_TAB_CONTROL));

        // Right-aligned under the tab control: OK, Cancel, Apply, Help.
        const int top = marginY + tabsHeight + marginY;
        int x = margin + tabsWidth - 4 * width - 3 * gap;
        for (size_t i = 0; i < kButtonIds.size(); ++i) {
            const int id = kButtonIds[i];
            const HWND button = CreateWindowExW(0, L"BUTTON", Widen(Translate("CPropertySheet", kButtonTexts[i])).c_str(),
                                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, top, width, height,
                                                sheet, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
            SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            m_items.emplace(id, std::make_unique<Win32Control>(button, ControlKind::kPushButton, id));
            x += width + gap;
        }
        m_window.SetFixedSize({margin + tabsWidth + margin, top + height + marginY});
    }

    void SelectTab(int index) override { SendMessageW(m_tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int CurrentTab() const override {
        return m_tabs ? static_cast<int>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0)) : -1;
    }
    int TabCount() const override { return m_tabs ? static_cast<int>(SendMessageW(m_tabs, TCM_GETITEMCOUNT, 0, 0)) : 0; }
    std::string TabText(int index) const override {
        if (m_tabs == nullptr) return {};
        wchar_t text[256] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 255;
        SendMessageW(m_tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return Narrow(std::wstring(text));
    }
    Rect PageArea() const override {
        RECT r;
        GetClientRect(m_tabs, &r);
        SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(m_tabs, m_window.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    ControlPeer* AddControl(int id, ControlKind kind, const std::string& text) override {
        const HWND sheet = m_window.hwnd();
        const wchar_t* windowClass = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        if (kind == ControlKind::kText) {
            windowClass = L"STATIC";
            style |= SS_LEFT | SS_NOPREFIX;
        } else if (kind == ControlKind::kPushButton) {
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
        } else {
            return nullptr;
        }
        const HWND window = CreateWindowExW(0, windowClass, Widen(text).c_str(), style, 0, 0, 10, 10, sheet,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
        SendMessageW(window, WM_SETFONT, SendMessageW(sheet, WM_GETFONT, 0, 0), FALSE);
        std::unique_ptr<Win32Control>& slot = m_items[id];
        slot = std::make_unique<Win32Control>(window, kind, id);
        return slot.get();
    }
    void SetAccessibleDescription(const std::string& text) override {
        m_description = text;
        win32::SetAccessibleDescription(m_window.hwnd(), text);
    }
    HWND TopHwnd() const override { return m_window.hwnd(); }
    HWND PageHost() const override { return m_window.hwnd(); }

    ControlPeer* Item(int id) override {
        const auto it = m_items.find(id);
        return it == m_items.end() ? nullptr : it->second.get();
    }
    bool IsEnabled() const override { return m_window.IsEnabled(); }
    void Enable(bool enable) override { m_window.Enable(enable); }
    bool IsVisible() const override { return m_window.IsVisible(); }
    void Show(bool show) override { m_window.Show(show); }
    Rect Bounds() const override { return m_window.Bounds(); }
    void Move(const Rect& rect) override { m_window.Move(rect); }
    Rect Frame() const override { return m_window.Frame(); }
    void SetFixedSize(Size size) override { m_window.SetFixedSize(size); }
    std::string Title() const override { return m_window.Title(); }
    void SetTitle(const std::string& title) override { m_window.SetTitle(title); }
    void SetIcon(int resource) override { m_window.SetIcon(resource); }
    void AddMinimizeBox() override { m_window.AddMinimizeBox(); }
    void AddShortcut(const std::string& keys, std::function<void()> run) override {
        m_window.AddShortcut(keys, std::move(run));
    }
    void SetContextMenu(std::vector<MenuItem> items) override { m_window.SetContextMenu(std::move(items)); }
    void SetTabOrder(const std::vector<ControlPeer*>& controls) override { m_window.SetTabOrder(controls); }
    void SetMnemonicHandler(std::function<void(char)> press) override {
        m_window.SetMnemonicHandler(std::move(press));
    }
    int RunModal() override { return m_window.RunModal(); }
    void End(int result) override {
        m_owner.HandleDestroy();
        m_window.End(result);
    }

private:
    // Enter and Esc would press Default and Read (IDOK and IDCANCEL); the sheet ends only
    // through its Close.
    struct SheetKeys : TopLevel {
        Win32Window* window = nullptr;
        bool RunShortcut(const MSG& msg) override { return window->RunShortcut(msg); }
        bool PressMnemonic(char letter) override { return window->PressMnemonic(letter); }
        bool SwallowsDialogKeys() const override { return true; }
    };

    RECT RectInSheet(HWND child) const {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, m_window.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // The pages: the dialogs on the sheet that stand within the tab control.
    std::vector<HWND> Pages() const {
        std::vector<HWND> pages;
        for (HWND child = GetWindow(m_window.hwnd(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[16] = {};
            GetClassNameW(child, name, 16);
            RECT r = RectInSheet(child);
            RECT inside;
            if (lstrcmpW(name, L"#32770") == 0 && IntersectRect(&inside, &r, &m_tabsAt) && EqualRect(&inside, &r)) {
                pages.push_back(child);
            }
        }
        return pages;
    }

    // The pages stand beside the tab control: they move with it, and it leaves the place of the
    // page shown unpainted (above them in the order Tab follows, it would paint over them).
    static LRESULT CALLBACK TabsProc(HWND tabs, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<SheetWindow*>(data);
        if (message == WM_WINDOWPOSCHANGED) {
            const RECT now = self->RectInSheet(tabs);
            const int dx = now.left - self->m_tabsAt.left;
            const int dy = now.top - self->m_tabsAt.top;
            if (dx != 0 || dy != 0) {
                for (HWND page : self->Pages()) {
                    const RECT r = self->RectInSheet(page);
                    SetWindowPos(page, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
                if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) self->m_owner.HandleCommand(LOWORD(wParam));
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
                self->m_window.ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
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
    Win32Window m_window;
    std::unique_ptr<SheetKeys> m_sheetHandler;
    HWND m_tabs = nullptr;
    RECT m_tabsAt = {};  // the tab control's place on the sheet, which the pages follow
    std::map<int, std::unique_ptr<Win32Control>> m_items;
    std::string m_description;
};

}  // namespace
}  // namespace linkmate::fw::win32

namespace linkmate::fw::backend {

std::unique_ptr<SheetPeer> CreateSheetWindow(CPropertySheet& sheet, const std::string& caption) {
    return std::make_unique<win32::SheetWindow>(sheet, caption);
}

}  // namespace linkmate::fw::backend
