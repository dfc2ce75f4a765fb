#include "ui/can_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

#include "framework/controls.h"
#include "protocol/bit_timing.h"
#include "protocol/hex_fields.h"
#include "protocol/hex_text.h"
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
    {HexField::kID, IDC_CAN_TX_ID, 11, QT_TRANSLATE_NOOP("CCanPage", "Identifier(Tx)")},
    {HexField::kAcptCode, IDC_CAN_ACCEPT_CODE, 11, QT_TRANSLATE_NOOP("CCanPage", "Acceptance Code")},
    {HexField::kAcptCode1, IDC_CAN_ACCEPT_CODE1, 5, QT_TRANSLATE_NOOP("CCanPage", "Acceptance Code, first filter")},
    {HexField::kAcptCode2, IDC_CAN_ACCEPT_CODE2, 5, QT_TRANSLATE_NOOP("CCanPage", "Acceptance Code, second filter")},
    {HexField::kAcptMask, IDC_CAN_ACCEPT_MASK, 11, QT_TRANSLATE_NOOP("CCanPage", "Acceptance Mask")},
    {HexField::kAcptMask1, IDC_CAN_ACCEPT_MASK1, 5, QT_TRANSLATE_NOOP("CCanPage", "Acceptance Mask, first filter")},
    {HexField::kAcptMask2, IDC_CAN_ACCEPT_MASK2, 5, QT_TRANSLATE_NOOP("CCanPage", "Acceptance Mask, second filter")},
}};

const HexFieldControl& ControlOf(HexField field) {
    for (const HexFieldControl& c : kHexFields) {
        if (c.field == field) return c;
    }
    return kHexFields[0];
}

constexpr std::array<int, 4> kDualEdits = {IDC_CAN_ACCEPT_CODE1, IDC_CAN_ACCEPT_CODE2,
                                           IDC_CAN_ACCEPT_MASK1, IDC_CAN_ACCEPT_MASK2};

constexpr std::array<int, 13> kInputControls = {
    IDC_CAN_BAUDRATE,     IDC_CAN_BTR0,         IDC_CAN_BTR1,        IDC_CAN_FRAME_FORMAT,
    IDC_CAN_FILTER_MODE,  IDC_CAN_TX_ID,        IDC_CAN_ACCEPT_CODE, IDC_CAN_ACCEPT_CODE1,
    IDC_CAN_ACCEPT_CODE2, IDC_CAN_ACCEPT_MASK,  IDC_CAN_ACCEPT_MASK1, IDC_CAN_ACCEPT_MASK2,
    IDC_CAN_CUSTOM_MASK};

}  // namespace

CCanPage::CCanPage() : fw::CPropertyPage(res::CanPageTemplate()) {}

bool CCanPage::OnInitDialog() {
    fw::CPropertyPage::OnInitDialog();
    for (const HexFieldControl& field : kHexFields) {
        fw::SetTypingLimit(Item<QLineEdit>(field.id), field.typingLimit);
    }
    for (int list : {IDC_CAN_BAUDRATE, IDC_CAN_FRAME_FORMAT, IDC_CAN_FILTER_MODE}) {
        connect(Item<QComboBox>(list), &QComboBox::activated, this,
                Notification(&CCanPage::RefreshCanControls));
    }
    connect(Item<QCheckBox>(IDC_CAN_CUSTOM_MASK), &QCheckBox::clicked, this,
            Notification(&CCanPage::RefreshMaskControls));
    for (int id : {IDC_CAN_BTR0, IDC_CAN_BTR1}) {
        connect(Item<QLineEdit>(id), &QLineEdit::textChanged, this, &CCanPage::UpdateTimingTips);
    }
    auto* rates = Item<QComboBox>(IDC_CAN_BAUDRATE);
    connect(rates, &QComboBox::currentIndexChanged, this, &CCanPage::UpdateTimingTips);
    for (int i = 1; i < rates->count() && i < static_cast<int>(CanBaudPresets.size()); ++i) {
        const CanBaudPreset& preset = CanBaudPresets[static_cast<size_t>(i)];
        const BitTiming t = DecodeBitTiming(static_cast<uint8_t>(ParseHexGroups(preset.btr0, 1)),
                                            static_cast<uint8_t>(ParseHexGroups(preset.btr1, 1)));
        rates->setItemData(i, QString::fromStdString(std::string(preset.btr0) + " " + std::string(preset.btr1) +
                                                     ": " + DescribeBitTiming(t)),
                           Qt::ToolTipRole);
    }
    rates->setItemData(0, QCoreApplication::translate("CCanPage", "Custom: the bit timing as typed in BTR0/BTR1"),
                       Qt::ToolTipRole);
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
    const std::string b0 = Item<QLineEdit>(IDC_CAN_BTR0)->text().toStdString();
    const std::string b1 = Item<QLineEdit>(IDC_CAN_BTR1)->text().toStdString();
    QString tip = QCoreApplication::translate("CCanPage",
                                              "BTR0 and BTR1: two hex bytes of the bit timing (16 MHz controller clock)");
    if (IsHexGroupsText(b0, 1) && IsHexGroupsText(b1, 1)) {
        const BitTiming t = DecodeBitTiming(static_cast<uint8_t>(ParseHexGroups(b0, 1)),
                                            static_cast<uint8_t>(ParseHexGroups(b1, 1)));
        tip = QString::fromStdString(DescribeBitTimingWithWarnings(t));
    }
    Item<QLineEdit>(IDC_CAN_BTR0)->setToolTip(tip);
    Item<QLineEdit>(IDC_CAN_BTR1)->setToolTip(tip);
    auto* rates = Item<QComboBox>(IDC_CAN_BAUDRATE);
    rates->setToolTip(rates->currentIndex() == 0 ? tip
                                                 : rates->itemData(rates->currentIndex(), Qt::ToolTipRole).toString());
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
}

void CCanPage::RefreshCanControls() {
    ExchangeData(true);
    // An index the preset table lacks (-1 from an empty list, a foreign profile value) leaves
    // the timing texts as they are, like "Custom".
    ApplyBaudPreset(can);
    ExchangeData(false);
    RefreshMaskControls();
}

void CCanPage::RefreshMaskControls() {
    ExchangeData(true);
    ApplyMaskRule(can);
    ExchangeData(false);
    ShowControlStates();
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
    return QCoreApplication::translate("CCanPage", ControlOf(field).name).toStdString();
}

void CCanPage::FocusField(HexField field) {
    if (auto* edit = Item<QLineEdit>(ControlOf(field).id)) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}

void CCanPage::OnEnable(bool enable) {
    for (int id : kInputControls) EnableItem(id, enable);
    if (enable) RefreshCanControls();
}

}  // namespace linkmate
