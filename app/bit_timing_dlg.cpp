#include "app/bit_timing_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace linkmate {

CBitTimingDlg::CBitTimingDlg(QWidget* parent, UseHandler use)
    : QDialog(parent),
      m_onUse(std::move(use)),
      m_rate(new QLineEdit(this)),
      m_samplePoint(new QLineEdit(this)),
      m_table(new QTableWidget(0, 7, this)),
      m_use(new QPushButton(tr("&Use"), this)),
      m_status(new QLabel(this)),
      m_socketCan(new QLabel(this)) {
    setWindowTitle(tr("Bit timing calculator"));
    m_rate->setPlaceholderText(tr("e.g. 83.333k, 500K, 1M"));
    m_rate->setAccessibleName(tr("Bit rate"));
    m_samplePoint->setPlaceholderText(tr("recommended"));
    m_samplePoint->setAccessibleName(tr("Sample point (%)"));
    auto* form = new QFormLayout;
    form->addRow(tr("&Bit rate:"), m_rate);
    form->addRow(tr("&Sample point (%):"), m_samplePoint);
    m_table->setHorizontalHeaderLabels(
        {"BTR0", "BTR1", tr("Bit rate (kbit/s)"), tr("Error"), tr("Sample point"), tr("Quanta"), "SJW"});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAccessibleName(tr("Register pairs"));
    m_status->setWordWrap(true);
    m_status->setText(tr("Controller clock 16 MHz (SJA1000 registers). Nothing is sent until Write."));
    m_socketCan->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_socketCan->setAccessibleName(tr("SocketCAN"));
    auto* calculate = new QPushButton(tr("&Calculate"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_use, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(calculate);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_socketCan);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    m_use->setEnabled(false);
    connect(calculate, &QPushButton::clicked, this, &CBitTimingDlg::Calculate);
    connect(m_rate, &QLineEdit::returnPressed, this, &CBitTimingDlg::Calculate);
    connect(m_samplePoint, &QLineEdit::returnPressed, this, &CBitTimingDlg::Calculate);
    connect(m_use, &QPushButton::clicked, this, &CBitTimingDlg::OnUse);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        m_use->setEnabled(!m_table->selectedItems().isEmpty());
        ShowSocketCan();
    });
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] { OnUse(); });
    resize(560, 420);
}

void CBitTimingDlg::Calculate() {
    m_table->setRowCount(0);
    m_found.clear();
    const auto rate = ParseBitRate(m_rate->text().toStdString());
    if (!rate) {
        m_status->setText(tr("Type a bit rate such as 83333, 83.333k, 500K or 1M."));
        return;
    }
    int samplePoint = RecommendedSamplePoint(*rate);
    if (!m_samplePoint->text().trimmed().isEmpty()) {
        const auto typed = ParseSamplePoint(m_samplePoint->text().toStdString());
        if (!typed || *typed < kMinSamplePointPermille || *typed > kMaxSamplePointPermille) {
            m_status->setText(
                tr("Type a sample point between 50 and 95 %, such as 87.5, 0.875 or 875, or leave it empty."));
            return;
        }
        samplePoint = *typed;
    }
    m_found = FindBitTimings(*rate, samplePoint);
    m_wantedRate = *rate;
    m_wantedSamplePoint = samplePoint;
    m_table->setRowCount(static_cast<int>(m_found.size()));
    for (int row = 0; row < static_cast<int>(m_found.size()); ++row) {
        const BitTiming& t = m_found[static_cast<size_t>(row)];
        const QStringList cells = {
            QString("%1").arg(t.btr0, 2, 16, QChar('0')).toUpper(),
            QString("%1").arg(t.btr1, 2, 16, QChar('0')).toUpper(),
            QString::number(t.bitRate / 1000.0, 'f', 3),
            QString("%1 %").arg((t.bitRate - *rate) / *rate * 100.0, 0, 'f', 3),
            QString("%1 %").arg(t.samplePoint * 100.0, 0, 'f', 1),
            QString::number(t.quanta),
            QString::number(t.sjw)};
        for (int column = 0; column < cells.size(); ++column) {
            m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    m_table->resizeColumnsToContents();
    if (m_found.empty()) {
        m_status->setText(tr("No pair reaches %1 kbit/s within 1 %.").arg(*rate / 1000.0));
    } else {
        m_status->setText(tr("Best first, for a sample point of %1 %. Choose one and press Use.")
                              .arg(samplePoint / 10.0, 0, 'f', 1));
        m_table->selectRow(0);
    }
}

void CBitTimingDlg::ShowSocketCan() {
    const auto rows = m_table->selectionModel()->selectedRows();
    const size_t row = rows.isEmpty() ? m_found.size() : static_cast<size_t>(rows.first().row());
    QStringList lines;
    if (row < m_found.size()) {
        lines << tr("SocketCAN:");
        const BitTiming& t = m_found[row];
        for (const std::string& line :
             {SocketCanBitrateLine(t, m_wantedRate, m_wantedSamplePoint), SocketCanTqLine(t)}) {
            if (!line.empty()) lines << QString::fromStdString(line);
        }
    }
    m_socketCan->setText(lines.join('\n'));
}

void CBitTimingDlg::OnUse() {
    const auto rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    const size_t row = static_cast<size_t>(rows.first().row());
    if (row >= m_found.size()) return;
    if (m_onUse) m_onUse(m_found[row]);
    accept();
}

}  // namespace linkmate
