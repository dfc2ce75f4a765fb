#include "framework/window.h"

namespace linkmate::fw {

CWnd::~CWnd() = default;

bool CWnd::IsWindowEnabled() const { return m_peer && m_peer->IsEnabled(); }
void CWnd::EnableWindow(bool enable) {
    if (m_peer) m_peer->Enable(enable);
}
bool CWnd::IsWindowVisible() const { return m_peer && m_peer->IsVisible(); }
void CWnd::ShowWindow(bool show) {
    if (m_peer) m_peer->Show(show);
}
Rect CWnd::GetWindowRect() const { return m_peer ? m_peer->Bounds() : Rect{}; }
void CWnd::MoveWindow(const Rect& rect) {
    if (m_peer) m_peer->Move(rect);
}
std::string CWnd::GetWindowText() const { return m_peer ? m_peer->Title() : std::string(); }
void CWnd::SetWindowText(const std::string& text) {
    if (m_peer) m_peer->SetTitle(text);
}
void CWnd::AddShortcut(const std::string& keys, std::function<void()> run) {
    if (m_peer) m_peer->AddShortcut(keys, std::move(run));
}
void CWnd::SetContextMenu(std::vector<MenuItem> items) {
    m_menu = std::move(items);
    if (m_peer) m_peer->SetContextMenu(m_menu);
}
void CWnd::AfterFirstPaint(std::function<void()> work) {
    if (m_peer) {
        m_peer->AfterFirstPaint(std::move(work));
    } else {
        work();
    }
}

}  // namespace linkmate::fw
