#include "framework/property_sheet.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "framework/keyboard.h"
#include "framework/translate.h"

namespace linkmate::fw {

CPropertySheet::CPropertySheet(const std::string& caption, CWnd*, int startPage)
    : m_caption(caption), m_startPage(startPage) {}

void CPropertySheet::AddPage(CPropertyPage* page) { m_pages.push_back(page); }

int CPropertySheet::GetTabCount() const { return sheetPeer() ? sheetPeer()->TabCount() : 0; }

std::string CPropertySheet::GetTabText(int index) const {
    return sheetPeer() ? sheetPeer()->TabText(index) : std::string();
}

int CPropertySheet::DoModal() {
    if (!OnInitDialog()) return -1;
    return peer()->RunModal();
}

void CPropertySheet::Close() {
    if (peer()) peer()->End(IDCANCEL);
}

namespace {

constexpr const char* kNextPageKeys[] = {"Ctrl+Tab", "Ctrl+PgDown"};
constexpr const char* kPreviousPageKeys[] = {"Ctrl+Shift+Tab", "Ctrl+PgUp"};

// The standard sheet layout, in dialog units of the sheet's font.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;

constexpr int kButtonIds[] = {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP};
constexpr const char* kButtonTexts[] = {
    TRANSLATE_NOOP("CPropertySheet", "OK"), TRANSLATE_NOOP("CPropertySheet", "Cancel"),
    TRANSLATE_NOOP("CPropertySheet", "&Apply"), TRANSLATE_NOOP("CPropertySheet", "Help")};

}  // namespace

Control CPropertySheet::AddItem(int id, ControlKind kind, const std::string& text) {
    Control item(sheetPeer() ? sheetPeer()->AddControl(id, kind, text) : nullptr);
    if (item && kind == ControlKind::kPushButton) {
        m_addedButtons.push_back(id);
        UpdateTabOrder();
    }
    return item;
}

void CPropertySheet::AppendToTabOrder(CDialog* child) {
    m_tabOrderTail.push_back(child);
    UpdateTabOrder();
}

std::vector<Control> CPropertySheet::TabStops() const {
    std::vector<Control> stops;
    if (Control tabs = GetDlgItem(AFX_IDC_TAB_CONTROL)) stops.push_back(tabs);
    for (const CPropertyPage* page : m_pages) {
        if (!page->IsCreated()) continue;
        for (const Control& c : page->TabStops()) stops.push_back(c);
    }
    // The buttons from left to right, wherever the window has placed them.
    std::vector<Control> buttons;
    for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP}) {
        if (Control b = GetDlgItem(id)) buttons.push_back(b);
    }
    for (int id : m_addedButtons) {
        if (Control b = GetDlgItem(id)) buttons.push_back(b);
    }
    std::stable_sort(buttons.begin(), buttons.end(), [](const Control& a, const Control& b) {
        return a.GetWindowRect().x < b.GetWindowRect().x;
    });
    stops.insert(stops.end(), buttons.begin(), buttons.end());
    for (const CDialog* child : m_tabOrderTail) {
        if (!child->IsCreated()) continue;
        for (const Control& c : child->TabStops()) stops.push_back(c);
    }
    return stops;
}

void CPropertySheet::UpdateTabOrder() {
    if (peer() == nullptr) return;
    std::vector<ControlPeer*> peers;
    for (const Control& c : TabStops()) peers.push_back(c.peer());
    peer()->SetTabOrder(peers);
}

void CPropertySheet::StepPage(int delta) {
    const int count = GetPageCount();
    Control tabs = GetDlgItem(AFX_IDC_TAB_CONTROL);
    if (count == 0 || !tabs.IsWindowEnabled()) return;
    if (!SetActivePage(((m_active + delta) % count + count) % count)) return;
    // The focus goes to the page's first control, as a click on the tab and a Tab would take it,
    // or stays on the tab control while the page is disabled.
    for (const Control& c : GetPage(m_active)->TabStops()) {
        if (c.CanTakeFocus()) {
            Control(c).SetFocus();
            return;
        }
    }
    tabs.SetFocus();
}

void CPropertySheet::SetAccessibleDescription(const std::string& text) {
    if (sheetPeer()) sheetPeer()->SetAccessibleDescription(text);
}

bool CPropertySheet::OnInitDialog() {
    backend::SheetWindowPeers window = backend::CreateSheetWindow(*this, m_caption);
    m_sheet = window.sheet;
    SetPeer(std::move(window.window));
    Size page;
    std::vector<std::string> titles;
    for (CPropertyPage* p : m_pages) {
        const Size size = backend::TemplateSize(p->dialogTemplate());
        page.width = std::max(page.width, size.width);
        page.height = std::max(page.height, size.height);
        titles.push_back(p->title());
    }
    Build(titles, page);
    for (const char* keys : kNextPageKeys) peer()->AddShortcut(keys, [this] { StepPage(1); });
    for (const char* keys : kPreviousPageKeys) peer()->AddShortcut(keys, [this] { StepPage(-1); });
    peer()->SetMnemonicHandler([this](char letter) { PressMnemonic(TabStops(), letter); });
    if (!m_pages.empty()) SetActivePage(std::clamp(m_startPage, 0, GetPageCount() - 1));
    return true;
}

void CPropertySheet::Build(const std::vector<std::string>& titles, Size pageSize) {
    const Rect units =
        m_sheet->DialogUnitsToPixels({kMargin, kMargin, kButtonWidth, kButtonHeight});
    const int gap = m_sheet->DialogUnitsToPixels({kButtonGap, 0, 0, 0}).x;
    const Rect tabs = m_sheet->AddTabControl(titles, pageSize, units.x, units.y);
    // Right-aligned under the tab control: OK, Cancel, Apply, Help.
    const int top = tabs.y + tabs.height + units.y;
    int x = tabs.x + tabs.width - 4 * units.width - 3 * gap;
    for (size_t i = 0; i < std::size(kButtonIds); ++i) {
        ControlPeer* button = m_sheet->AddControl(kButtonIds[i], ControlKind::kPushButton,
                                                  Translate("CPropertySheet", kButtonTexts[i]));
        if (button != nullptr) button->Move({x, top, units.width, units.height});
        x += units.width + gap;
    }
    peer()->SetFixedSize({tabs.x + tabs.width + units.x, top + units.height + units.y});
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount() || sheetPeer() == nullptr) return false;
    if (index == m_active) return true;
    if (m_active >= 0 && !m_pages[static_cast<size_t>(m_active)]->OnKillActive()) {
        sheetPeer()->SelectTab(m_active);
        return false;
    }
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    if (!page->IsCreated()) CreatePage(*page);
    if (m_active >= 0) m_pages[static_cast<size_t>(m_active)]->ShowWindow(false);
    m_active = index;
    page->ShowWindow(true);
    sheetPeer()->SelectTab(index);
    page->OnSetActive();
    return true;
}

void CPropertySheet::CreatePage(CPropertyPage& page) {
    page.Create(this, true);
    const Rect area = sheetPeer()->PageArea();
    const Size size = backend::TemplateSize(page.dialogTemplate());
    page.MoveWindow({area.x, area.y, size.width, size.height});
    UpdateTabOrder();
}

std::vector<CPropertyPage*> CPropertySheet::CreatePages() {
    std::vector<CPropertyPage*> created;
    if (sheetPeer() == nullptr) return created;
    for (CPropertyPage* page : m_pages) {
        if (page->IsCreated()) continue;
        CreatePage(*page);
        page->ShowWindow(false);
        page->OnSetActive();
        created.push_back(page);
    }
    return created;
}

void CPropertySheet::HandleTabSelected(int index) { SetActivePage(index); }

void CPropertySheet::HandleCommand(int id) { OnCommand(id); }

void CPropertySheet::HandleDestroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    OnDestroy();
}

bool CPropertySheet::OnCommand(int id) {
    if (id == IDOK || id == IDCANCEL) {
        peer()->End(id);
        return true;
    }
    return false;
}

void CPropertySheet::OnDestroy() {}

}  // namespace linkmate::fw
