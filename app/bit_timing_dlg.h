// "Bit timing calculator": the BTR0/BTR1 pairs for a wanted CAN bit rate and sample point, with
// their figures; "Use" hands the chosen pair to the window (nothing is sent until Write).
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <functional>
#include <vector>

#include "protocol/bit_timing.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace linkmate {

class CBitTimingDlg : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(CBitTimingDlg)

public:
    using UseHandler = std::function<void(const BitTiming&)>;
    CBitTimingDlg(QWidget* parent, UseHandler use);

    QLineEdit* rateEdit() const { return m_rate; }
    QLineEdit* samplePointEdit() const { return m_samplePoint; }
    QTableWidget* candidates() const { return m_table; }
    QPushButton* useButton() const { return m_use; }
    QLabel* status() const { return m_status; }
    QLabel* socketCan() const { return m_socketCan; }

    // Lists the pairs for what the two edits say.
    void Calculate();

private:
    void OnUse();
    void ShowSocketCan();

    UseHandler m_onUse;
    std::vector<BitTiming> m_found;
    QLineEdit* m_rate;
    QLineEdit* m_samplePoint;
    QTableWidget* m_table;
    QPushButton* m_use;
    QLabel* m_status;
    QLabel* m_socketCan;  // the ip link lines of the chosen pair, to copy
    uint32_t m_wantedRate = 0;
    int m_wantedSamplePoint = 0;
};

}  // namespace linkmate
