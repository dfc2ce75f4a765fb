// "Bit timing calculator": the BTR0/BTR1 pairs for a wanted CAN bit rate and sample point, with
// their figures; "Use" hands the chosen pair to the window (nothing is sent until Write).
#pragma once

#include <functional>
#include <vector>

#include "framework/dialog.h"
#include "protocol/bit_timing.h"

namespace linkmate {

class CBitTimingDlg : public fw::CDialog {
public:
    using UseHandler = std::function<void(const BitTiming&)>;
    explicit CBitTimingDlg(UseHandler use);

    // Lists the pairs for what the two edits say.
    void Calculate();

protected:
    bool OnInitDialog() override;

private:
    void OnUse();
    // The Use button and the ip link lines follow the chosen row.
    void OnSelectionChanged();

    UseHandler m_onUse;
    std::vector<BitTiming> m_found;
    uint32_t m_wantedRate = 0;
    int m_wantedSamplePoint = 0;
};

}  // namespace linkmate
