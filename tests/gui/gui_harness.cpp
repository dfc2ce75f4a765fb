#include "gui_harness.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>

#include "profile/profile_store.h"
#include "res/resource.h"
#include "res/resources.h"
#include "serial/com_port_names.h"

namespace linkmate::guitest {

TestSheet::TestSheet() : CLINKMATESheet(IDS_SHEET_CAPTION, nullptr, 0) {}

TestSheet::~TestSheet() {
    // The modal run ends through done(); a test window ends the same way.
    if (IsWindowVisible()) Close();
}

void TestSheet::Init() {
    OnInitDialog();
    ShowWindow(true);
    // As the modal run goes on: the first paint, and what waits for it (the other pages).
    const bool made =
        QTest::qWaitFor([this] { return m_canPage.IsCreated() && m_serialPage.IsCreated(); });
    if (!made) qFatal("the Serial and CAN pages were not made after the first paint");
}

MessageLog::MessageLog() {
    fw::SetMessageBoxResponder([this](const fw::MessageBoxCall& call) {
        calls.push_back(call);
        if (whenShown) whenShown(call);
        return answer.value_or(answerYes ? fw::kAnswerYes : fw::kAnswerNo);
    });
}

MessageLog::~MessageLog() { fw::SetMessageBoxResponder(nullptr); }

std::vector<std::string> MessageLog::texts() const {
    std::vector<std::string> out;
    for (const auto& call : calls) out.push_back(call.text);
    return out;
}

void InitGuiTests() {
    if (QStyle* classic = QStyleFactory::create("Windows")) QApplication::setStyle(classic);
    QCoreApplication::setApplicationName("linkmate");
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName("linkmate");
}

GuiEnvironment::GuiEnvironment(bool withConverter, sim::Options options) {
    if (!withConverter) return;
    options.comPort = 1;
    m_converter = std::make_unique<sim::VirtualConverter>(std::move(options));
    std::string error;
    if (!m_converter->Start(&error)) qFatal("virtual converter: %s", error.c_str());
}

GuiEnvironment::~GuiEnvironment() {
    if (m_converter) m_converter->Stop();
}

void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void Choose(fw::CDialog& dialog, int id, int index) {
    dialog.Item<fw::ComboBox>(id).SetCurSel(index);
    dialog.SendNotify(id, fw::Notify::kSelChange);
}

void Enter(fw::CDialog& dialog, int id, const std::string& text) {
    dialog.GetDlgItem(id).SetWindowText(text);
}

void Retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

bool ClickConnect(TestSheet& sheet) {
    sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();
    return sheet.m_port.IsOpen();
}

bool ConnectToUnpluggedPort(TestSheet& sheet, int number) {
    if (!RegisterComPort(number, "/dev/linkmate-unplugged")) return true;
    Choose(Control<QComboBox>(sheet.m_panel, IDC_COM_PORT), number - 1);
    return ClickConnect(sheet);
}

void Inspect(fw::CDialog& dialog, fw::CWnd* owner,
             const std::function<void(fw::CDialog&)>& inspect) {
    fw::CDialog::SetModalObserver([&](fw::CDialog& shown) {
        inspect(shown);
        shown.EndDialog(fw::IDCANCEL);
    });
    dialog.DoModal(owner);
    fw::CDialog::SetModalObserver(nullptr);
}

void ClickButton(TestSheet& sheet, int id) {
    sheet.GetDlgItem(id).Click();
    WaitForExchange(sheet);
}

bool WaitForExchange(TestSheet& sheet, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (sheet.IsExchanging() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents();
    }
    return !sheet.IsExchanging();
}

}  // namespace linkmate::guitest
