#include "ui/connect_panel.h"

#include "framework/translate.h"
#include "res/resource.h"
#include "res/resources.h"
#include "serial/port_map.h"

namespace linkmate {

namespace {

// "ttyUSB0" for /dev/ttyUSB0, "pts/3" for /dev/pts/3: the name beside a COM number.
std::string DeviceName(const std::string& devicePath) {
    constexpr std::string_view kDevices = "/dev/";
    return devicePath.rfind(kDevices, 0) == 0 ? devicePath.substr(kDevices.size()) : devicePath;
}

}  // namespace

CLINKMATEDlg::CLINKMATEDlg() : fw::CDialog(res::ConnectPanelTemplate()) {}

bool CLINKMATEDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    On(IDC_CONNECT, fw::Notify::kClicked, &CLINKMATEDlg::OnConnect);
    // Adapters come and go: the tips are read again whenever the operator turns to the list.
    On(IDC_COM_PORT, fw::Notify::kSetFocus, &CLINKMATEDlg::RefreshPortTips);
    // The details show only in the opened list and its tip: read once the window is up.
    AfterFirstPaint([this] { RefreshPortTips(); });
    return true;
}

void CLINKMATEDlg::RefreshPortTips() {
    // Each entry's tip, which the list shows as its own for the chosen entry.
    fw::ComboBox ports = Item<fw::ComboBox>(IDC_COM_PORT);
    const std::vector<ComPortInfo> infos = DescribeComPorts();
    for (int i = 0; i < ports.GetCount() && i < static_cast<int>(infos.size()); ++i) {
        const ComPortInfo& info = infos[static_cast<size_t>(i)];
        ports.SetItemToolTip(i, info.devicePath.empty()
                                    ? info.description
                                    : info.devicePath + "\n" + info.description);
        ports.SetItemDetail(i,
                            info.present ? DeviceName(info.devicePath)
                                         : fw::Translate("IDD_CONNECT_PANEL", "(not present)"),
                            !info.present);
    }
}

void CLINKMATEDlg::DoDataExchange(fw::DataExchange& dx) {
    dx.ListIndex(IDC_DEVICE, connection.DeviceType);
    dx.ListIndex(IDC_COM_PORT, connection.ConfigPort);
}

void CLINKMATEDlg::OnConnect() {
    ExchangeData(true);
    const bool connected = m_host != nullptr && m_host->OnConnectToggle(connection.DeviceType,
                                                                        connection.ConfigPort) == 1;
    ShowConnection(connected);
}

void CLINKMATEDlg::ShowConnection(bool connected) {
    GetDlgItem(IDC_CONNECT)
        .SetWindowText(connected ? fw::Translate("IDD_CONNECT_PANEL", "Dis&connect")
                                 : fw::Translate("IDD_CONNECT_PANEL", "&Connect"));
    EnableItem(IDC_DEVICE, !connected);
    EnableItem(IDC_COM_PORT, !connected);
    ExchangeData(false);
    if (m_host == nullptr) return;
    for (fw::CDialog* page : m_host->SettingsPages()) {
        if (!page->IsCreated()) continue;
        page->EnableWindow(connected);
        // Sent in addition to the notification of the state change itself, so a page hears the
        // new state also when it did not change.
        page->SendEnable(connected);
    }
}

}  // namespace linkmate
