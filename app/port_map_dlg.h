// The "Ports" dialog: what each of COM1..COM8 is, the serial devices on this machine, and
// assigning a present device or a serial device server's address to a COM number, or freeing one.
// Changes take effect at the next Connect.
#pragma once

#include <vector>

#include "framework/dialog.h"
#include "serial/port_map.h"

namespace linkmate {

class CPortMapDlg : public fw::CDialog {
public:
    explicit CPortMapDlg(DeviceRoots roots = {});

    // Reads the map and the machine again.
    void Refresh();

protected:
    bool OnInitDialog() override;

private:
    void OnAssign();
    void OnAssignAddress();
    void OnFree();
    void UpdateButtons();
    int SelectedComNumber() const;

    DeviceRoots m_roots;
    std::vector<SerialDevice> m_found;
};

}  // namespace linkmate
