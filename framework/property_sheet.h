// A property sheet: a tab control whose pages are created on their first activation, and the four
// standard buttons known by their identifiers. Leaving a page saves it (a failed save keeps it
// current); entering it again loads it. Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab
// and Ctrl+PgUp to the previous one; Tab visits the tab control, the page's controls, the buttons
// and then the child dialogs added to the tab order.
#pragma once

#include <string>
#include <vector>

#include "framework/backend.h"
#include "framework/dialog.h"

namespace linkmate::fw {

inline constexpr int IDHELP = 9;
inline constexpr int ID_APPLY_NOW = 12321;
inline constexpr int AFX_IDC_TAB_CONTROL = 12320;

class CPropertySheet : public CWnd {
public:
    CPropertySheet(const std::string& caption, CWnd* parent, int startPage);

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const { return m_pages.at(static_cast<size_t>(index)); }
    int GetActiveIndex() const { return m_active; }
    // Selects a page, creating its window the first time; false when the current page refused
    // to be left.
    bool SetActivePage(int index);
    // Creates the windows of the pages that have none yet, hidden, each as if it had been
    // selected once (its next selection loads it); returns them.
    std::vector<CPropertyPage*> CreatePages();

    // The tab control (12320) and the buttons IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP.
    template <typename T = Control>
    T Item(int id) const {
        return HandleOf<T>(peer() ? peer()->Item(id) : nullptr);
    }
    Control GetDlgItem(int id) const { return Item<Control>(id); }
    // Adds a control of the sheet's own (a static text or a push button) after the window is
    // created; place it with MoveWindow. A push button's clicks reach OnCommand with `id`.
    Control AddItem(int id, ControlKind kind, const std::string& text);
    void SetAccessibleDescription(const std::string& text);
    // A child dialog of the sheet (a panel above the tabs): its controls follow the buttons in the
    // tab order and share the sheet's mnemonics.
    void AppendToTabOrder(CDialog* child);
    // The controls the Tab key visits, in order; the hidden pages' too, which Tab passes over.
    std::vector<Control> TabStops() const;
    // The next (+1) or previous (-1) page, around the end, as Ctrl+Tab and Ctrl+Shift+Tab choose
    // it; nothing while the tab control is disabled.
    void StepPage(int delta);
    int GetTabCount() const;
    std::string GetTabText(int index) const;

    // Creates the window and runs it until it is closed.
    int DoModal();
    // Closes the window as the system's Close command does.
    void Close();

    // The backend's side: a tab chosen, a button clicked, the window going away.
    void HandleTabSelected(int index);
    void HandleCommand(int id);
    void HandleDestroy();
    // The operator asks to close the window; false keeps it open.
    bool HandleCloseRequest() { return OnCloseRequest(); }

protected:
    // Creates the window, lays out the tab control and the buttons and creates the start page.
    virtual bool OnInitDialog();
    // A button's command; true when handled. The base closes the sheet for OK and Cancel.
    virtual bool OnCommand(int id);
    // The operator's Close; false keeps the window open for now.
    virtual bool OnCloseRequest() { return true; }
    // The window is going away; runs once.
    virtual void OnDestroy();

    backend::SheetPeer* sheetPeer() const { return m_sheet; }

private:
    void UpdateTabOrder();
    void CreatePage(CPropertyPage& page);
    // The tab control for pages of `pageSize` and the four buttons right-aligned under it.
    void Build(const std::vector<std::string>& titles, Size pageSize);

    backend::SheetPeer* m_sheet = nullptr;  // part of the window, which owns it
    std::vector<CPropertyPage*> m_pages;
    std::vector<CDialog*> m_tabOrderTail;
    std::vector<int> m_addedButtons;
    std::string m_caption;
    int m_startPage;
    int m_active = -1;
    bool m_destroyed = false;
};

}  // namespace linkmate::fw
