// The "CAN" tab: bus bit rate (a preset or hand-typed timing bytes), frame format, transmit
// identifier and the acceptance filter, single or dual, with the custom-mask rule.
#pragma once

#include <array>

#include "framework/dialog.h"
#include "protocol/device_config.h"
#include "ui/hex_edit.h"

namespace linkmate {

class CCanPage : public fw::CPropertyPage {
public:
    CCanPage();

    CanSettings can;

    // Makes the controls agree with the values: preset timing bytes, single or dual layout,
    // then the mask rule.
    void RefreshCanControls();
    // The custom-mask rule: masks all ones and editable when ticked, zero and locked otherwise.
    void RefreshMaskControls();

    // The nine hexadecimal edits, in the order they are attached.
    const std::array<CHexEdit, 9>& hexEdits() const { return m_hexEdits; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnEnable(bool enable) override;

private:
    std::array<CHexEdit, 9> m_hexEdits;
};

}  // namespace linkmate
