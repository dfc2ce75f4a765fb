#include "ui/can_page.h"

#include "framework/translate.h"
#include "protocol/bit_timing.h"
#include "protocol/hex_fields.h"
#include "protocol/hex_text.h"
#include "protocol/text.h"
#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {
namespace {

struct HexFieldControl {
    HexField field;
    int id;
    int typingLimit;   // 2 for one byte, 11 for "00 00 00 00", 5 for "00 00"
    const char* name;  // as the operator knows the field from its label
};

constexpr std::array<HexFieldControl, 9> kHexFields = {{
    {HexField::kBTR0, IDC_CAN_BTR0, 2, "BTR0"},
    {HexField::kBTR1, IDC_CAN_BTR1, 2, "BTR1"},
    {HexField::kID, IDC_CAN_TX_ID, 11, TRANSLATE_NOOP("CCanPage", "Identifier(Tx)")},
    {HexField::kAcptCode, IDC_CAN_ACCEPT_CODE, 11, TRANSLATE_NOOP("CCanPage", "Acceptance Code")},
    {HexField::kAcptCode1, IDC_CAN_ACCEPT_CODE1, 5,
     TRANSLATE_NOOP("CCanPage", "Acceptance Code, first filter")},
    {HexField::kAcptCode2, IDC_CAN_ACCEPT_CODE2, 5,
     TRANSLATE_NOOP("CCanPage", "Acceptance Code, second filter")},
    {HexField::kAcptMask, IDC_CAN_ACCEPT_MASK, 11, TRANSLATE_NOOP("CCanPage", "Acceptance Mask")},
    {HexField::kAcptMask1, IDC_CAN_ACCEPT_MASK1, 5,
     TRANSLATE_NOOP("CCanPage", "Acceptance Mask, first filter")},
    {HexField::kAcptMask2, IDC_CAN_ACCEPT_MASK2, 5,
     TRANSLATE_NOOP("CCanPage", "Acceptance Mask, second filter")},
}};

const HexFieldControl& ControlOf(HexField field) {
    for (const HexFieldControl& c : kHexFields) {
        if (c.field == field) return c;
    }
    return kHexFields[0];
}

constexpr std::array<int, 3> kMaskEdits = {IDC_CAN_ACCEPT_MASK, IDC_CAN_ACCEPT_MASK1,
                                           IDC_CAN_ACCEPT_MASK2};
// Long enough to be seen after the click that caused it, short enough not to linger as a state.
constexpr std::chrono::milliseconds kReplacedHighlight{2500};

constexpr std::array<int, 4> kDualEdits = {IDC_CAN_ACCEPT_CODE1, IDC_CAN_ACCEPT_CODE2,
                                           IDC_CAN_ACCEPT_MASK1, IDC_CAN_ACCEPT_MASK2};

constexpr std::array<int, 13> kInputControls = {
    IDC_CAN_BAUDRATE,     IDC_CAN_BTR0,        IDC_CAN_BTR1,         IDC_CAN_FRAME_FORMAT,
    IDC_CAN_FILTER_MODE,  IDC_CAN_TX_ID,       IDC_CAN_ACCEPT_CODE,  IDC_CAN_ACCEPT_CODE1,
    IDC_CAN_ACCEPT_CODE2, IDC_CAN_ACCEPT_MASK, IDC_CAN_ACCEPT_MASK1, IDC_CAN_ACCEPT_MASK2,
    IDC_CAN_CUSTOM_MASK};

}  // namespace

CCanPage::CCanPage() : fw::CPropertyPage(res::CanPageTemplate()) {}

bool CCanPage::OnInitDialog() {
    fw::CPropertyPage::OnInitDialog();
    for (const HexFieldControl& field : kHexFields)
        Item<fw::Edit>(field.id).SetLimitText(field.typingLimit);
    for (int list : {IDC_CAN_BAUDRATE, IDC_CAN_FRAME_FORMAT, IDC_CAN_FILTER_MODE}) {
        On(list, fw::Notify::kSelChange, &CCanPage::RefreshCanControls);
    }
    On(IDC_CAN_CUSTOM_MASK, fw::Notify::kClicked, &CCanPage::RefreshMaskControls);
    // Typing in BTR0/BTR1; what the program puts there is followed by the exchange itself.
    On(IDC_CAN_BTR0, fw::Notify::kChange, &CCanPage::UpdateTimingTips);
    On(IDC_CAN_BTR1, fw::Notify::kChange, &CCanPage::UpdateTimingTips);
    for (int mask : {IDC_CAN_ACCEPT_MASK, IDC_CAN_ACCEPT_MASK1, IDC_CAN_ACCEPT_MASK2}) {
        On(mask, fw::Notify::kChange, &CCanPage::ClearReplacedTips);
    }
    fw::ComboBox rates = Item<fw::ComboBox>(IDC_CAN_BAUDRATE);
    for (int i = 1; i < rates.GetCount() && i < static_cast<int>(CanBaudPresets.size()); ++i) {
        const CanBaudPreset& preset = CanBaudPresets[static_cast<size_t>(i)];
        const BitTiming t = DecodeBitTiming(static_cast<uint8_t>(ParseHexGroups(preset.btr0, 1)),
                                            static_cast<uint8_t>(ParseHexGroups(preset.btr1, 1)));
        rates.SetItemToolTip(i, std::string(preset.btr0) + " " + std::string(preset.btr1) + ": " +
                                    DescribeBitTiming(t));
    }
    rates.SetItemToolTip(0,
                         fw::Translate("CCanPage", "Custom: the bit timing as typed in BTR0/BTR1"));
    RefreshCanControls();
    UpdateTimingTips();
    return true;
}

void CCanPage::UseBitTiming(uint8_t btr0, uint8_t btr1) {
    ExchangeData(true);
    can.CanBaudrate = 0;
    can.CanBTR0 = FormatHex8(btr0);
    can.CanBTR1 = FormatHex8(btr1);
    ExchangeData(false);
    ShowControlStates();
}

void CCanPage::UpdateTimingTips() {
    const std::string b0 = GetDlgItem(IDC_CAN_BTR0).GetWindowText();
    const std::string b1 = GetDlgItem(IDC_CAN_BTR1).GetWindowText();
    std::string tip = fw::Translate(
        "CCanPage", "BTR0 and BTR1: two hex bytes of the bit timing (16 MHz controller clock)");
    if (IsHexGroupsText(b0, 1) && IsHexGroupsText(b1, 1)) {
        tip = DescribeBitTimingWithWarnings(
            DecodeBitTiming(static_cast<uint8_t>(ParseHexGroups(b0, 1)),
                            static_cast<uint8_t>(ParseHexGroups(b1, 1))));
    }
    GetDlgItem(IDC_CAN_BTR0).SetToolTip(tip);
    GetDlgItem(IDC_CAN_BTR1).SetToolTip(tip);
    fw::ComboBox rates = Item<fw::ComboBox>(IDC_CAN_BAUDRATE);
    rates.SetToolTip(rates.GetCurSel() == 0 ? tip : rates.GetItemToolTip(rates.GetCurSel()));
}

void CCanPage::DoDataExchange(fw::DataExchange& dx) {
    dx.ListIndex(IDC_CAN_BAUDRATE, can.CanBaudrate);
    dx.Text(IDC_CAN_BTR0, can.CanBTR0);
    dx.Text(IDC_CAN_BTR1, can.CanBTR1);
    dx.ListIndex(IDC_CAN_FRAME_FORMAT, can.CanFrameType);
    dx.ListIndex(IDC_CAN_FILTER_MODE, can.CanFiterMode);
    dx.Text(IDC_CAN_TX_ID, can.CanID);
    dx.Text(IDC_CAN_ACCEPT_CODE, can.CanAcptCode);
    dx.Text(IDC_CAN_ACCEPT_CODE1, can.CanAcptCode1);
    dx.Text(IDC_CAN_ACCEPT_CODE2, can.CanAcptCode2);
    dx.Text(IDC_CAN_ACCEPT_MASK, can.CanAcptMask);
    dx.Text(IDC_CAN_ACCEPT_MASK1, can.CanAcptMask1);
    dx.Text(IDC_CAN_ACCEPT_MASK2, can.CanAcptMask2);
    dx.Check(IDC_CAN_CUSTOM_MASK, can.CanCustomMask);
    for (size_t i = 0; i < kHexFields.size(); ++i) {
        if (!m_hexEdits[i].IsAttached()) m_hexEdits[i].SubclassDlgItem(kHexFields[i].id, this);
    }
    // The tips say what the bytes shown give, however they came there.
    if (!dx.saving()) {
        UpdateTimingTips();
        if (m_refreshing == 0) ClearReplacedTips();
    }
}

void CCanPage::RefreshCanControls() {
    // The page's own loads keep the replaced-mask tips: it is enabled twice on Connect, and the
    // second run, which replaces nothing, must not take back what the first one said.
    ++m_refreshing;
    ExchangeData(true);
    // An index the preset table lacks (-1 from an empty list, a foreign profile value) leaves
    // the timing texts as they are, like "Custom".
    ApplyBaudPreset(can);
    ExchangeData(false);
    RefreshMaskControls();
    --m_refreshing;
}

void CCanPage::RefreshMaskControls() {
    ++m_refreshing;
    ExchangeData(true);
    const CanSettings before = can;
    ApplyMaskRule(can);
    ExchangeData(false);
    const bool single = can.CanFiterMode != 0;
    for (HexField field : single
                              ? std::vector<HexField>{HexField::kAcptMask}
                              : std::vector<HexField>{HexField::kAcptMask1, HexField::kAcptMask2}) {
        const std::string was = HexFieldText(before, field);
        const std::string now = HexFieldText(can, field);
        if (was == now) continue;
        TellReplaced(field, was);
        if (onRuleReplaced) onRuleReplaced(field, was, now);
    }
    ShowControlStates();
    --m_refreshing;
}

void CCanPage::TellReplaced(HexField field, const std::string& was) {
    fw::Control edit = GetDlgItem(ControlOf(field).id);
    edit.SetToolTip(
        text::Arg(fw::Translate("CCanPage", "The mask rule replaced \"%1\" here."), {was}));
    edit.SetHighlight(true);
    m_highlightEnd.Start(kReplacedHighlight, false, [this] { EndHighlights(); });
}

void CCanPage::EndHighlights() {
    m_highlightEnd.Stop();
    for (int id : kMaskEdits) GetDlgItem(id).SetHighlight(false);
}

void CCanPage::ClearReplacedTips() {
    for (int id : kMaskEdits) GetDlgItem(id).SetToolTip({});
    EndHighlights();
}

void CCanPage::ShowControlStates() {
    const bool custom = can.CanBaudrate == 0;
    EnableItem(IDC_CAN_BTR0, custom);
    EnableItem(IDC_CAN_BTR1, custom);
    const bool single = can.CanFiterMode != 0;
    // Hide before showing, so the two forms never stand on the same spot at once.
    if (single) {
        for (int id : kDualEdits) ShowItem(id, false);
        ShowItem(IDC_CAN_ACCEPT_CODE, true);
        ShowItem(IDC_CAN_ACCEPT_MASK, true);
    } else {
        ShowItem(IDC_CAN_ACCEPT_CODE, false);
        ShowItem(IDC_CAN_ACCEPT_MASK, false);
        for (int id : kDualEdits) ShowItem(id, true);
    }
    const bool customMask = can.CanCustomMask != 0;
    for (int id : {IDC_CAN_ACCEPT_MASK, IDC_CAN_ACCEPT_MASK1, IDC_CAN_ACCEPT_MASK2}) {
        EnableItem(id, customMask);
    }
}

std::string CCanPage::FieldName(HexField field) {
    return fw::Translate("CCanPage", ControlOf(field).name);
}

void CCanPage::FocusField(HexField field) {
    fw::Edit edit = Item<fw::Edit>(ControlOf(field).id);
    edit.SetFocus();
    edit.SetSel();
}

void CCanPage::OnEnable(bool enable) {
    for (int id : kInputControls) EnableItem(id, enable);
    if (!enable) return;
    if (m_keepValuesWhenEnabled) {
        ShowControlStates();
    } else {
        RefreshCanControls();
    }
}

}  // namespace linkmate
