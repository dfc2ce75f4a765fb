#include "app/linkmate_sheet.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>

#include "app/about_dlg.h"
#include "framework/message_box.h"
#include "profile/settings_profile.h"
#include "protocol/config_exchange.h"
#include "res/resource.h"
#include "res/resources.h"
#include "serial/config_port.h"

namespace linkmate {
namespace {

// The buttons and the offset of their row from where the sheet put them.
constexpr int kButtonShiftRightPx = 81;
constexpr int kButtonGapBelowTabsPx = 6;
constexpr int kWindowBottomBelowTabsPx = 48;

struct SheetButton {
    int id;
    const char* label;  // nullptr: hidden
};
constexpr SheetButton kButtons[] = {
    {fw::IDOK, "&Default"},
    {fw::IDCANCEL, "&Read"},
    {fw::ID_APPLY_NOW, "&Write"},
    {fw::IDHELP, nullptr},
};

// A transaction blocks the window; the cursor says so until it ends.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

}  // namespace

CLINKMATESheet::CLINKMATESheet(int captionId, QWidget* parent, int startPage)
    : fw::CPropertySheet(res::LoadString(captionId), parent, startPage),
      m_icon(":/linkmate/icon/128") {
    AddPage(&m_tranPage);
    AddPage(&m_serialPage);
    AddPage(&m_canPage);
}

std::vector<fw::CDialog*> CLINKMATESheet::SettingsPages() {
    return {&m_tranPage, &m_serialPage, &m_canPage};
}

bool CLINKMATESheet::OnInitDialog() {
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    const bool result = fw::CPropertySheet::OnInitDialog();
    QWidget* tabs = GetDlgItem(fw::AFX_IDC_TAB_CONTROL);
    setWindowIcon(m_icon);

    const QRect sheet = rect();
    m_panel.Create(this);
    const int panelHeight = m_panel.height();
    m_panel.setGeometry(0, 0, sheet.width(), panelHeight);
    m_panel.show();

    tabs->move(tabs->x(), panelHeight);
    const QRect t = tabs->geometry();
    const int tabsBottom = t.y() + t.height();

    for (const SheetButton& b : kButtons) {
        auto* button = static_cast<QPushButton*>(GetDlgItem(b.id));
        if (button == nullptr) continue;
        button->move(button->x() + kButtonShiftRightPx, tabsBottom + kButtonGapBelowTabsPx);
        button->setEnabled(false);
        if (b.label != nullptr) {
            button->setText(b.label);
        } else {
            button->hide();
        }
    }
    setFixedSize(sheet.width(), tabsBottom + kWindowBottomBelowTabsPx);

    for (int index = GetPageCount() - 1; index >= 0; --index) {
        SetActivePage(index);
        GetPage(index)->setEnabled(false);
    }

    m_panel.ExchangeData(true);
    m_tranPage.ExchangeData(true);
    m_serialPage.ExchangeData(true);
    m_canPage.ExchangeData(true);
    LoadProfile(m_serialPage.serial, m_canPage.can, m_tranPage.tran, m_panel.connection);
    m_panel.ExchangeData(false);
    m_tranPage.ExchangeData(false);
    m_serialPage.ExchangeData(false);
    m_canPage.ExchangeData(false);
    return result;
}

bool CLINKMATESheet::OnCommand(int id) {
    switch (id) {
        case fw::IDOK: OnDefault(); return true;
        case fw::IDCANCEL: OnRead(); return true;
        case fw::ID_APPLY_NOW: OnWrite(); return true;
        default: return fw::CPropertySheet::OnCommand(id);
    }
}

void CLINKMATESheet::ExchangePages(bool save) {
    m_tranPage.ExchangeData(save);
    m_serialPage.ExchangeData(save);
    m_canPage.ExchangeData(save);
}

void CLINKMATESheet::Tell(const std::string& text) {
    fw::MessageBox(this, text, res::LoadString(IDS_MSG_CAPTION));
}

void CLINKMATESheet::OnDefault() {
    ExchangePages(true);
    ApplyDefaults(m_serialPage.serial, m_canPage.can, m_tranPage.tran);
    ExchangePages(false);
    m_tranPage.RefreshTranControls();
    m_canPage.RefreshCanControls();
}

void CLINKMATESheet::OnRead() {
    if (!m_port.IsOpen()) return;
    const bool ok = RunTransaction([this](PortIo& io) {
        return ReadConfig(io, m_serialPage.serial, m_canPage.can, m_tranPage.tran);
    });
    ExchangePages(false);
    Report(ok, "Read Configration Successfully!");
}

void CLINKMATESheet::OnWrite() {
    if (!m_port.IsOpen()) return;
    const bool ok = RunTransaction([this](PortIo& io) {
        return WriteConfig(io, m_serialPage.serial, m_canPage.can, m_tranPage.tran);
    });
    Report(ok, "Write Configration Successfully!");
    ExchangePages(false);
}

bool CLINKMATESheet::RunTransaction(const std::function<bool(PortIo&)>& transaction) {
    ExchangePages(true);
    SerialPortIo io(m_port);
    const WaitCursor wait;
    return transaction(io);
}

void CLINKMATESheet::Report(bool ok, const std::string& success) {
    if (!ok) {
        Tell("Communication Error!");
        return;
    }
    SaveProfile(m_serialPage.serial, m_canPage.can, m_tranPage.tran, m_panel.connection);
    Tell(success);
}

void CLINKMATESheet::ClosePort() {
    try {
        m_port.Close();
    } catch (const CFileException& e) {
        // The port counts as closed all the same; an exception must not leave an event handler.
        Tell(std::string("The serial port could not be closed cleanly: ") + e.what());
    }
}

long CLINKMATESheet::OnConnectToggle(int32_t deviceType, int32_t configPort) {
    long result = 0;
    if (m_port.IsOpen()) {
        ClosePort();
    } else if (OpenConfigPort(m_port, deviceType, configPort)) {
        result = 1;
    } else {
        Tell("Invalid serial port!");
    }
    for (int id : {fw::IDOK, fw::IDCANCEL, fw::ID_APPLY_NOW}) {
        if (QWidget* button = GetDlgItem(id)) button->setEnabled(result == 1);
    }
    return result;
}

void CLINKMATESheet::OnDestroy() {
    if (m_port.IsOpen()) ClosePort();
}

bool CLINKMATESheet::OnSysCommand(unsigned command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg about(this);
    about.exec();
    return true;
}

void CLINKMATESheet::contextMenuEvent(QContextMenuEvent* event) {
    // No program-controlled system menu here: the About entry lives in the window's context
    // menu instead (and on F1).
    QMenu menu(this);
    const QAction* about = menu.addAction(QString::fromStdString(res::LoadString(IDS_ABOUTBOX)));
    if (menu.exec(event->globalPos()) == about) OnSysCommand(IDM_ABOUTBOX);
}

void CLINKMATESheet::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        OnSysCommand(IDM_ABOUTBOX);
        return;
    }
    fw::CPropertySheet::keyPressEvent(event);
}

}  // namespace linkmate
