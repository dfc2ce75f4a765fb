#include "ui/can_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "framework/controls.h"
#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {
namespace {

struct HexField {
    int id;
    int typingLimit;  // 2 for one byte, 11 for "00 00 00 00", 5 for "00 00"
};

constexpr std::array<HexField, 9> kHexFields = {{
    {IDC_CAN_BTR0, 2},
    {IDC_CAN_BTR1, 2},
    {IDC_CAN_TX_ID, 11},
    {IDC_CAN_ACCEPT_CODE, 11},
    {IDC_CAN_ACCEPT_CODE1, 5},
    {IDC_CAN_ACCEPT_CODE2, 5},
    {IDC_CAN_ACCEPT_MASK, 11},
    {IDC_CAN_ACCEPT_MASK1, 5},
    {IDC_CAN_ACCEPT_MASK2, 5},
}};

constexpr std::array<int, 13> kInputControls = {
    IDC_CAN_BAUDRATE,     IDC_CAN_BTR0,         IDC_CAN_BTR1,        IDC_CAN_FRAME_FORMAT,
    IDC_CAN_FILTER_MODE,  IDC_CAN_TX_ID,        IDC_CAN_ACCEPT_CODE, IDC_CAN_ACCEPT_CODE1,
    IDC_CAN_ACCEPT_CODE2, IDC_CAN_ACCEPT_MASK,  IDC_CAN_ACCEPT_MASK1, IDC_CAN_ACCEPT_MASK2,
    IDC_CAN_CUSTOM_MASK};

}  // namespace

CCanPage::CCanPage() : fw::CPropertyPage(res::CanPageTemplate()) {}

bool CCanPage::OnInitDialog() {
    fw::CPropertyPage::OnInitDialog();
    for (const HexField& field : kHexFields) {
        fw::SetTypingLimit(Item<QLineEdit>(field.id), field.typingLimit);
    }
    for (int list : {IDC_CAN_BAUDRATE, IDC_CAN_FRAME_FORMAT, IDC_CAN_FILTER_MODE}) {
        connect(Item<QComboBox>(list), &QComboBox::activated, this,
                Notification(&CCanPage::RefreshCanControls));
    }
    connect(Item<QCheckBox>(IDC_CAN_CUSTOM_MASK), &QCheckBox::clicked, this,
            Notification(&CCanPage::RefreshMaskControls));
    RefreshCanControls();
    return true;
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
    const bool custom = can.CanBaudrate == 0;
    EnableItem(IDC_CAN_BTR0, custom);
    EnableItem(IDC_CAN_BTR1, custom);
    // An index the preset table lacks (-1 from an empty list, a foreign profile value) leaves
    // the timing texts as they are, like "Custom".
    ApplyBaudPreset(can);
    const bool single = can.CanFiterMode != 0;
    if (single) {
        for (int id : {IDC_CAN_ACCEPT_CODE1, IDC_CAN_ACCEPT_CODE2, IDC_CAN_ACCEPT_MASK1,
                       IDC_CAN_ACCEPT_MASK2}) {
            ShowItem(id, false);
        }
        ShowItem(IDC_CAN_ACCEPT_CODE, true);
        ShowItem(IDC_CAN_ACCEPT_MASK, true);
    } else {
        for (int id : {IDC_CAN_ACCEPT_CODE1, IDC_CAN_ACCEPT_CODE2, IDC_CAN_ACCEPT_MASK1,
                       IDC_CAN_ACCEPT_MASK2}) {
            ShowItem(id, true);
        }
        ShowItem(IDC_CAN_ACCEPT_CODE, false);
        ShowItem(IDC_CAN_ACCEPT_MASK, false);
    }
    ExchangeData(false);
    RefreshMaskControls();
}

void CCanPage::RefreshMaskControls() {
    ExchangeData(true);
    ApplyMaskRule(can);
    const bool custom = can.CanCustomMask != 0;
    EnableItem(IDC_CAN_ACCEPT_MASK, custom);
    EnableItem(IDC_CAN_ACCEPT_MASK1, custom);
    EnableItem(IDC_CAN_ACCEPT_MASK2, custom);
    ExchangeData(false);
}

void CCanPage::OnEnable(bool enable) {
    for (int id : kInputControls) EnableItem(id, enable);
    if (enable) RefreshCanControls();
}

}  // namespace linkmate
