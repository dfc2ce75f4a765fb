#include "framework/property_sheet.h"

#include <algorithm>

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

Control CPropertySheet::AddItem(int id, ControlKind kind, const std::string& text) {
    return Control(sheetPeer() ? sheetPeer()->AddControl(id, kind, text) : nullptr);
}

void CPropertySheet::SetAccessibleDescription(const std::string& text) {
    if (sheetPeer()) sheetPeer()->SetAccessibleDescription(text);
}

bool CPropertySheet::OnInitDialog() {
    SetPeer(backend::CreateSheetWindow(*this, m_caption));
    Size page;
    std::vector<std::string> titles;
    for (CPropertyPage* p : m_pages) {
        const Size size = backend::TemplateSize(p->dialogTemplate());
        page.width = std::max(page.width, size.width);
        page.height = std::max(page.height, size.height);
        titles.push_back(p->title());
    }
    sheetPeer()->Build(titles, page);
    if (!m_pages.empty()) SetActivePage(std::clamp(m_startPage, 0, GetPageCount() - 1));
    return true;
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount() || sheetPeer() == nullptr) return false;
    if (index == m_active) return true;
    if (m_active >= 0 && !m_pages[static_cast<size_t>(m_active)]->OnKillActive()) {
        sheetPeer()->SelectTab(m_active);
        return false;
    }
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    if (!page->IsCreated()) {
        page->Create(this, true);
        const Rect area = sheetPeer()->PageArea();
        const Size size = backend::TemplateSize(page->dialogTemplate());
        page->MoveWindow({area.x, area.y, size.width, size.height});
    }
    if (m_active >= 0) m_pages[static_cast<size_t>(m_active)]->ShowWindow(false);
    m_active = index;
    page->ShowWindow(true);
    sheetPeer()->SelectTab(index);
    page->OnSetActive();
    return true;
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
