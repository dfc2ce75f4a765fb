#include "app/port_map_dlg.h"

#include "framework/translate.h"
#include "protocol/text.h"
#include "serial/port_address.h"
#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {
CPortMapDlg::CPortMapDlg(DeviceRoots roots)
    : fw::CDialog(res::PortMapTemplate()), m_roots(std::move(roots)) {}

bool CPortMapDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    On(IDC_PORTS_ASSIGN, fw::Notify::kClicked, &CPortMapDlg::OnAssign);
    On(IDC_PORTS_FREE, fw::Notify::kClicked, &CPortMapDlg::OnFree);
    On(IDC_PORTS_ASSIGN_ADDRESS, fw::Notify::kClicked, &CPortMapDlg::OnAssignAddress);
    On(IDC_PORTS_REFRESH, fw::Notify::kClicked, &CPortMapDlg::Refresh);
    On(IDC_PORTS_LIST, fw::Notify::kSelChange, &CPortMapDlg::UpdateButtons);
    On(IDC_PORTS_DEVICES, fw::Notify::kSelChange, &CPortMapDlg::UpdateButtons);
    Refresh();
    return true;
}

void CPortMapDlg::Refresh() {
    fw::ListView ports = Item<fw::ListView>(IDC_PORTS_LIST);
    const int row = ports.GetCurSel();
    ports.ResetContent();
    for (const ComPortInfo& info : DescribeComPorts(m_roots)) {
        ports.AddRow({"COM" + std::to_string(info.number), info.devicePath, info.description});
    }
    if (row >= 0) ports.SetCurSel(row);

    m_found = DetectSerialDevices(m_roots);
    fw::ListBox devices = Item<fw::ListBox>(IDC_PORTS_DEVICES);
    devices.ResetContent();
    for (const SerialDevice& d : m_found) {
        std::string text = d.path + "  —  " + d.description;
        if (!d.stableName.empty()) text += "\n    " + d.stableName;
        devices.AddString(text);
    }
    if (m_found.empty())
        devices.AddString(fw::Translate("CPortMapDlg", "(no serial device found)"));
    UpdateButtons();
}

int CPortMapDlg::SelectedComNumber() const {
    const int row = Item<fw::ListView>(IDC_PORTS_LIST).GetCurSel();
    return row < 0 ? 0 : row + kFirstComPort;
}

void CPortMapDlg::UpdateButtons() {
    const int device = Item<fw::ListBox>(IDC_PORTS_DEVICES).GetCurSel();
    const bool haveDevice = device >= 0 && device < static_cast<int>(m_found.size());
    EnableItem(IDC_PORTS_ASSIGN, SelectedComNumber() != 0 && haveDevice);
    const ComPortInfo selected =
        SelectedComNumber() != 0 ? DescribeComPort(SelectedComNumber(), m_roots) : ComPortInfo{};
    EnableItem(IDC_PORTS_FREE, SelectedComNumber() != 0 && !selected.linkPath.empty());
    EnableItem(IDC_PORTS_ASSIGN_ADDRESS, SelectedComNumber() != 0);
    // A COM number that points at a server shows its address, ready to be changed.
    if (LooksLikePortAddress(selected.devicePath))
        GetDlgItem(IDC_PORTS_ADDRESS).SetWindowText(selected.devicePath);
}

void CPortMapDlg::OnAssign() {
    const int number = SelectedComNumber();
    const int device = Item<fw::ListBox>(IDC_PORTS_DEVICES).GetCurSel();
    if (number == 0 || device < 0 || device >= static_cast<int>(m_found.size())) return;
    std::string error;
    const std::string& path = m_found[static_cast<size_t>(device)].path;
    GetDlgItem(IDC_PORTS_STATUS)
        .SetWindowText(AssignComPort(number, path, &error, m_roots)
                           ? text::Arg(fw::Translate("CPortMapDlg", "COM%1 is now %2."),
                                       {std::to_string(number), path})
                           : error);
    Refresh();
}

void CPortMapDlg::OnAssignAddress() {
    const int number = SelectedComNumber();
    const std::string address = GetDlgItem(IDC_PORTS_ADDRESS).GetWindowText();
    std::string error;
    if (number == 0) {
        error = fw::Translate("CPortMapDlg", "Choose the COM number first.");
    } else if (AssignComPort(number, address, &error, m_roots)) {
        error = text::Arg(fw::Translate("CPortMapDlg", "COM%1 is now %2."),
                          {std::to_string(number), address});
    }
    GetDlgItem(IDC_PORTS_STATUS).SetWindowText(error);
    Refresh();
}

void CPortMapDlg::OnFree() {
    const int number = SelectedComNumber();
    if (number == 0) return;
    std::string error;
    GetDlgItem(IDC_PORTS_STATUS)
        .SetWindowText(FreeComPort(number, &error)
                           ? text::Arg(fw::Translate("CPortMapDlg", "COM%1 is free."),
                                       {std::to_string(number)})
                           : error);
    Refresh();
}

}  // namespace linkmate
