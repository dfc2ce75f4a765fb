#include "framework/dialog.h"

#include "framework/backend.h"
#include "framework/keyboard.h"
#include "framework/translate.h"

namespace linkmate::fw {
namespace {

CDialog::ModalObserver& Observer() {
    static CDialog::ModalObserver observer;
    return observer;
}

void SetTabOrder(const CDialog& dialog) {
    std::vector<ControlPeer*> peers;
    for (const Control& c : dialog.TabStops()) peers.push_back(c.peer());
    dialog.peer()->SetTabOrder(peers);
}

}  // namespace

CDialog::CDialog(const DialogTemplate& tmpl) : m_template(tmpl) {}

CDialog::~CDialog() = default;

bool CDialog::Create(CWnd* parent, bool asPage) {
    if (IsCreated()) return true;
    SetPeer(backend::CreateDialogWindow(
        *this, parent ? parent->peer() : nullptr,
        asPage ? backend::Placement::kPage : backend::Placement::kChild));
    if (!asPage && m_template.disabled) EnableWindow(false);
    SetTabOrder(*this);
    return OnInitDialog();
}

int CDialog::DoModal(CWnd* owner) {
    m_popup = true;
    m_ended = false;
    SetPeer(backend::CreateDialogWindow(*this, owner ? owner->peer() : nullptr,
                                        backend::Placement::kPopup));
    SetTabOrder(*this);
    peer()->SetMnemonicHandler([this](char letter) { PressMnemonic(TabStops(), letter); });
    OnInitDialog();
    if (Observer()) Observer()(*this);
    const int result = m_ended ? m_result : peer()->RunModal();
    SetPeer(nullptr);
    return result;
}

void CDialog::EndDialog(int result) {
    m_ended = true;
    m_result = result;
    if (peer()) peer()->End(result);
}

std::vector<Control> CDialog::TabStops() const {
    std::vector<Control> stops;
    for (int id : TabOrder(m_template)) {
        if (Control c = GetDlgItem(id)) stops.push_back(c);
    }
    return stops;
}

void CDialog::SetModalObserver(ModalObserver observer) { Observer() = std::move(observer); }

bool CDialog::ExchangeData(bool save) {
    ++m_exchangeDepth;
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    --m_exchangeDepth;
    if (save) m_rejectedId = dx.failedControl();
    return !dx.failed();
}

void CDialog::FocusRejected() {
    if (const Edit edit = Item<Edit>(m_rejectedId)) {
        Edit(edit).SetFocus();
        Edit(edit).SetSel();
    }
}

void CDialog::SendNotify(int id, Notify code) { HandleNotify(id, code); }

void CDialog::HandleNotify(int id, Notify code) {
    if (InExchange()) return;
    const bool change = code == Notify::kChange || code == Notify::kSelChange ||
                        (code == Notify::kClicked && GetDlgItem(id) && Item<CheckBox>(id));
    if (const auto it = m_handlers.find({id, code}); it != m_handlers.end()) {
        // A copy: the handler may rewire its window.
        const auto handler = it->second;
        handler();
        if (change && m_changeObserver) m_changeObserver();
        return;
    }
    if (change && m_changeObserver) m_changeObserver();
    if (code == Notify::kClicked && id == IDOK) OnOK();
    if (code == Notify::kClicked && id == IDCANCEL) OnCancel();
}

void CDialog::HandleEnable(bool enable) { OnEnable(enable); }

bool CDialog::OnInitDialog() {
    ExchangeData(false);
    return true;
}

void CDialog::DoDataExchange(DataExchange&) {}

void CDialog::OnEnable(bool) {}

void CDialog::OnOK() {
    if (m_popup) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    if (m_popup) EndDialog(IDCANCEL);
}

std::string CPropertyPage::title() const {
    return Translate(dialogTemplate().context.c_str(), dialogTemplate().caption.c_str());
}

bool CPropertyPage::OnSetActive() {
    if (m_firstSetActive) {
        m_firstSetActive = false;
        return true;
    }
    ExchangeData(false);
    return true;
}

bool CPropertyPage::OnKillActive() { return ExchangeData(true); }

}  // namespace linkmate::fw
