#include "ui/connect_panel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>

#include "res/resource.h"
#include "res/resources.h"
#include "serial/port_map.h"

namespace linkmate {

CLINKMATEDlg::CLINKMATEDlg() : fw::CDialog(res::ConnectPanelTemplate()) {}

bool CLINKMATEDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    connect(Item<QPushButton>(IDC_CONNECT), &QPushButton::clicked, this,
            Notification(&CLINKMATEDlg::OnConnect));
    auto* ports = Item<QComboBox>(IDC_COM_PORT);
    connect(ports, &QComboBox::currentIndexChanged, this,
            [ports](int index) { ports->setToolTip(ports->itemData(index, Qt::ToolTipRole).toString()); });
    // Adapters come and go: the tips are read again whenever the operator turns to the list.
    ports->installEventFilter(this);
    RefreshPortTips();
    return true;
}

void CLINKMATEDlg::RefreshPortTips() {
    auto* ports = Item<QComboBox>(IDC_COM_PORT);
    for (int i = 0; i < ports->count(); ++i) {
        const ComPortInfo info = DescribeComPort(i + 1);
        const QString device = QString::fromStdString(info.devicePath);
        const QString what = QString::fromStdString(info.description);
        ports->setItemData(i, device.isEmpty() ? what : device + "\n" + what, Qt::ToolTipRole);
    }
    ports->setToolTip(ports->itemData(ports->currentIndex(), Qt::ToolTipRole).toString());
}

bool CLINKMATEDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == GetDlgItem(IDC_COM_PORT) &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::Enter)) {
        RefreshPortTips();
    }
    return fw::CDialog::eventFilter(watched, event);
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
    Item<QPushButton>(IDC_CONNECT)->setText(connected ? QCoreApplication::translate("IDD_CONNECT_PANEL", "Dis&connect")
                                                      : QCoreApplication::translate("IDD_CONNECT_PANEL", "&Connect"));
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
