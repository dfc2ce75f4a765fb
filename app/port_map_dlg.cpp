#include "app/port_map_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace linkmate {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr int kComColumn = 0;
constexpr int kDeviceColumn = 1;
constexpr int kWhatColumn = 2;

}  // namespace

CPortMapDlg::CPortMapDlg(QWidget* parent, DeviceRoots roots)
    : QDialog(parent),
      m_roots(std::move(roots)),
      m_ports(new QTableWidget(kLastComPort - kFirstComPort + 1, 3, this)),
      m_devices(new QListWidget(this)),
      m_assign(new QPushButton(tr("&Assign to selected COM"), this)),
      m_free(new QPushButton(tr("&Free selected COM"), this)),
      m_status(new QLabel(this)) {
    setWindowTitle(tr("Ports"));
    m_ports->setHorizontalHeaderLabels({"COM", tr("Device"), tr("What it is")});
    m_ports->verticalHeader()->hide();
    m_ports->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ports->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ports->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ports->horizontalHeader()->setStretchLastSection(true);
    m_ports->setAccessibleName(tr("COM ports"));
    m_devices->setAccessibleName(tr("Serial devices on this machine"));

    auto* devicesLabel = new QLabel(tr("Serial &devices on this machine:"), this);
    devicesLabel->setBuddy(m_devices);
    auto* portsLabel = new QLabel(tr("&COM ports (changes take effect at the next Connect):"), this);
    portsLabel->setBuddy(m_ports);
    auto* refresh = new QPushButton(tr("&Refresh"), this);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_status->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_assign);
    buttons->addWidget(m_free);
    buttons->addWidget(refresh);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(portsLabel);
    layout->addWidget(m_ports, 3);
    layout->addWidget(devicesLabel);
    layout->addWidget(m_devices, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(close);

    connect(m_assign, &QPushButton::clicked, this, &CPortMapDlg::OnAssign);
    connect(m_free, &QPushButton::clicked, this, &CPortMapDlg::OnFree);
    connect(refresh, &QPushButton::clicked, this, &CPortMapDlg::Refresh);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_ports, &QTableWidget::itemSelectionChanged, this, &CPortMapDlg::UpdateButtons);
    connect(m_devices, &QListWidget::itemSelectionChanged, this, &CPortMapDlg::UpdateButtons);
    // All eight rows in view.
    m_ports->setMinimumHeight(m_ports->horizontalHeader()->sizeHint().height() +
                              8 * m_ports->verticalHeader()->defaultSectionSize() + 4);
    resize(640, 520);
    Refresh();
}

void CPortMapDlg::Refresh() {
    const int row = m_ports->currentRow();
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        const ComPortInfo info = DescribeComPort(n, m_roots);
        const int r = n - kFirstComPort;
        m_ports->setItem(r, kComColumn, new QTableWidgetItem(QString("COM%1").arg(n)));
        m_ports->setItem(r, kDeviceColumn, new QTableWidgetItem(Q(info.devicePath)));
        m_ports->setItem(r, kWhatColumn, new QTableWidgetItem(Q(info.description)));
    }
    m_ports->resizeColumnsToContents();
    if (row >= 0) m_ports->selectRow(row);

    m_found = DetectSerialDevices(m_roots);
    m_devices->clear();
    for (const SerialDevice& d : m_found) {
        QString text = Q(d.path) + "  —  " + Q(d.description);
        if (!d.stableName.empty()) text += "\n    " + Q(d.stableName);
        m_devices->addItem(text);
    }
    if (m_found.empty()) m_devices->addItem(tr("(no serial device found)"));
    UpdateButtons();
}

int CPortMapDlg::SelectedComNumber() const {
    const auto rows = m_ports->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + kFirstComPort;
}

void CPortMapDlg::UpdateButtons() {
    const int device = m_devices->currentRow();
    const bool haveDevice =
        !m_devices->selectedItems().isEmpty() && device >= 0 && device < int(m_found.size());
    m_assign->setEnabled(SelectedComNumber() != 0 && haveDevice);
    m_free->setEnabled(SelectedComNumber() != 0 &&
                       !DescribeComPort(SelectedComNumber(), m_roots).linkPath.empty());
}

void CPortMapDlg::OnAssign() {
    const int number = SelectedComNumber();
    const int device = m_devices->currentRow();
    if (number == 0 || device < 0 || device >= int(m_found.size())) return;
    std::string error;
    if (AssignComPort(number, m_found[size_t(device)].path, &error, m_roots)) {
        m_status->setText(tr("COM%1 is now %2.").arg(number).arg(Q(m_found[size_t(device)].path)));
    } else {
        m_status->setText(Q(error));
    }
    Refresh();
}

void CPortMapDlg::OnFree() {
    const int number = SelectedComNumber();
    if (number == 0) return;
    std::string error;
    m_status->setText(FreeComPort(number, &error) ? tr("COM%1 is free.").arg(number) : Q(error));
    Refresh();
}

}  // namespace linkmate
