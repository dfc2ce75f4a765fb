#include "ui/connect_panel.h"

#include <QComboBox>
#include <QPushButton>

#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {

CLINKMATEDlg::CLINKMATEDlg() : fw::CDialog(res::ConnectPanelTemplate()) {}

bool CLINKMATEDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    connect(Item<QPushButton>(IDC_CONNECT), &QPushButton::clicked, this,
            Notification(&CLINKMATEDlg::OnConnect));
    return true;
}

void CLINKMATEDlg::DoDataExchange(fw::DataExchange& dx) {
    dx.ListIndex(IDC_DEVICE, connection.DeviceType);
    dx.ListIndex(IDC_COM_PORT, connection.ConfigPort);
}

void CLINKMATEDlg::OnConnect() {
    ExchangeData(true);
    auto* host = dynamic_cast<ConnectionHost*>(parentWidget());
    const bool connected =
        host != nullptr && host->OnConnectToggle(connection.DeviceType, connection.ConfigPort) == 1;
    Item<QPushButton>(IDC_CONNECT)->setText(connected ? "Dis&connect" : "&Connect");
    EnableItem(IDC_DEVICE, !connected);
    EnableItem(IDC_COM_PORT, !connected);
    ExchangeData(false);
    if (host == nullptr) return;
    for (fw::CDialog* page : host->SettingsPages()) {
        if (!page->IsCreated()) continue;
        page->setEnabled(connected);
        // Sent in addition to the notification of the state change itself, so a page hears the
        // new state also when it did not change.
        page->SendEnable(connected);
    }
}

}  // namespace linkmate
