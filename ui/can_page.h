// The "CAN" tab: bus bit rate (a preset or hand-typed timing bytes), frame format, transmit
// identifier and the acceptance filter, single or dual, with the custom-mask rule.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "framework/application.h"
#include "framework/dialog.h"
#include "protocol/device_config.h"
#include "protocol/hex_fields.h"
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
    // Told when the mask rule replaces the text of a mask the page shows: the field, the text it
    // had, the text it has now.
    std::function<void(HexField, const std::string&, const std::string&)> onRuleReplaced;
    // Enabling and layout from the values as they are, without the preset or the mask rule, so
    // texts that came from the converter or the profile stay as they came: timing bytes editable
    // for "Custom", the single or dual filter edits, masks editable with the box ticked.
    void ShowControlStates();
    // Whether enabling the page (on Connect) leaves the values as they are instead of running the
    // preset and the mask rule over them: values the operator opened, read or edited are what is
    // meant to be written.
    void KeepValuesWhenEnabled(bool keep) { m_keepValuesWhenEnabled = keep; }

    // Puts a bit-timing pair into BTR0/BTR1 with "Custom" selected; nothing else changes.
    void UseBitTiming(uint8_t btr0, uint8_t btr1);
    // The tooltips of BTR0, BTR1 and the bit-rate list say what the timing bytes give.
    void UpdateTimingTips();

    // The name the operator knows a field by, and moving the focus to it with its text selected.
    static std::string FieldName(HexField field);
    void FocusField(HexField field);

    // The nine hexadecimal edits, in the order they are attached.
    const std::array<CHexEdit, 9>& hexEdits() const { return m_hexEdits; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnEnable(bool enable) override;

private:
    // The tip of a mask field whose typed text the rule replaced says what it was, until the
    // field is typed in again or loaded anew; the field is highlighted for a moment, so the eye
    // finds the change where it happened.
    void TellReplaced(HexField field, const std::string& was);
    void ClearReplacedTips();
    void EndHighlights();

    std::array<CHexEdit, 9> m_hexEdits;
    bool m_keepValuesWhenEnabled = false;
    int m_refreshing = 0;  // inside RefreshCanControls or RefreshMaskControls
    fw::Timer m_highlightEnd;
};

}  // namespace linkmate
