// The "Ports" dialog: what each of COM1..COM8 is, the serial devices on this machine, and
// assigning a present device to a COM number or freeing one. Changes take effect at the next
// Connect.
#pragma once

#include <QCoreApplication>
#include <QDialog>

#include "serial/port_map.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace linkmate {

class CPortMapDlg : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(CPortMapDlg)

public:
    explicit CPortMapDlg(QWidget* parent, DeviceRoots roots = {});

    QTableWidget* ports() const { return m_ports; }
    QListWidget* devices() const { return m_devices; }
    QPushButton* assignButton() const { return m_assign; }
    QPushButton* freeButton() const { return m_free; }
    QLabel* status() const { return m_status; }

    // Reads the map and the machine again.
    void Refresh();

private:
    void OnAssign();
    void OnFree();
    void UpdateButtons();
    int SelectedComNumber() const;

    DeviceRoots m_roots;
    std::vector<SerialDevice> m_found;
    QTableWidget* m_ports;
    QListWidget* m_devices;
    QPushButton* m_assign;
    QPushButton* m_free;
    QLabel* m_status;
};

}  // namespace linkmate
