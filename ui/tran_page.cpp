#include "ui/tran_page.h"

#include "framework/decimal.h"
#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {
namespace {

struct Range {
    int spin;
    int lower;
    int upper;
};

// The ranges bind only the arrows; typed values are taken as they are.
constexpr Range kRanges[] = {
    {IDC_TRAN_SPACE_SPIN, 2, 10},
    {IDC_TRAN_ID_OFFSET_SPIN, 0, 7},
    {IDC_TRAN_ID_LENGTH_SPIN, 1, 4},
};

}  // namespace

CTranPage::CTranPage() : fw::CPropertyPage(res::TranPageTemplate()) {}

bool CTranPage::OnInitDialog() {
    fw::CPropertyPage::OnInitDialog();
    for (const Range& range : kRanges) {
        Item<fw::SpinButton>(range.spin).SetRange32(range.lower, range.upper);
    }
    On(IDC_TRAN_MODE, fw::Notify::kSelChange, &CTranPage::RefreshTranControls);
    RefreshTranControls();
    return true;
}

void CTranPage::DoDataExchange(fw::DataExchange& dx) {
    dx.ListIndex(IDC_TRAN_MODE, tran.TranMode);
    dx.ListIndex(IDC_TRAN_DIR, tran.TranDir);
    dx.Int(IDC_TRAN_SPACE, tran.TranSpace);
    dx.Check(IDC_TRAN_ALLOW_ID, tran.TranID);
    dx.Check(IDC_TRAN_ALLOW_INFO, tran.TranInfo);
    dx.Int(IDC_TRAN_ID_OFFSET, tran.TranIdBase);
    dx.Int(IDC_TRAN_ID_LENGTH, tran.TranLength);
}

void CTranPage::RefreshTranControls() {
    if (ExchangeData(true)) {
        ShowControlStates();
        ExchangeData(false);
        return;
    }
    // A rejected number has been told of and has the focus. The mode, read before it, is taken;
    // every field keeps what was typed, except one that the mode now greys while it holds no
    // number: it could not be corrected any more, so it shows its last value again.
    ShowControlStates();
    for (const NumberEdit& number : NumberEdits()) {
        fw::Control edit = GetDlgItem(number.id);
        if (!edit.IsWindowEnabled() && !fw::ParseDecimal(edit.GetWindowText())) {
            edit.SetWindowText(std::to_string(*number.value));
        }
    }
}

void CTranPage::ShowControlStates() {
    struct Enabling {
        bool numbers;  // interval, offset, length
        bool flags;    // allow identifier, allow information
    };
    Enabling enabling{};
    switch (tran.TranMode) {
        case 0: enabling = {false, true}; break;
        case 1: enabling = {true, false}; break;
        case 2: enabling = {false, false}; break;
        default: return;
    }
    for (const NumberEdit& number : NumberEdits()) EnableItem(number.id, enabling.numbers);
    EnableItem(IDC_TRAN_ALLOW_ID, enabling.flags);
    EnableItem(IDC_TRAN_ALLOW_INFO, enabling.flags);
}

std::array<CTranPage::NumberEdit, 3> CTranPage::NumberEdits() {
    return {{{IDC_TRAN_SPACE, &tran.TranSpace},
             {IDC_TRAN_ID_OFFSET, &tran.TranIdBase},
             {IDC_TRAN_ID_LENGTH, &tran.TranLength}}};
}

void CTranPage::OnEnable(bool enable) {
    for (int id : {IDC_TRAN_MODE, IDC_TRAN_DIR, IDC_TRAN_SPACE, IDC_TRAN_ALLOW_ID,
                   IDC_TRAN_ALLOW_INFO, IDC_TRAN_ID_OFFSET, IDC_TRAN_ID_LENGTH}) {
        EnableItem(id, enable);
    }
    if (enable) RefreshTranControls();
}

}  // namespace linkmate
