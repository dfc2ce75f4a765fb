#include "app/bit_timing_dlg.h"

#include <cstdio>
#include <string>

#include "framework/translate.h"
#include "protocol/text.h"
#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {
namespace {

// `value` with `decimals` digits after the point.
std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

CBitTimingDlg::CBitTimingDlg(UseHandler use)
    : fw::CDialog(res::BitTimingTemplate()), m_onUse(std::move(use)) {}

bool CBitTimingDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    On(IDC_TIMING_CALCULATE, fw::Notify::kClicked, &CBitTimingDlg::Calculate);
    On(IDC_TIMING_USE, fw::Notify::kClicked, &CBitTimingDlg::OnUse);
    On(IDC_TIMING_PAIRS, fw::Notify::kSelChange, &CBitTimingDlg::OnSelectionChanged);
    On(IDC_TIMING_PAIRS, fw::Notify::kDblClk, &CBitTimingDlg::OnUse);
    EnableItem(IDC_TIMING_USE, false);
    return true;
}

void CBitTimingDlg::Calculate() {
    fw::ListView table = Item<fw::ListView>(IDC_TIMING_PAIRS);
    fw::Control status = GetDlgItem(IDC_TIMING_STATUS);
    table.ResetContent();
    m_found.clear();
    OnSelectionChanged();
    const auto rate = ParseBitRate(GetDlgItem(IDC_TIMING_RATE).GetWindowText());
    if (!rate) {
        status.SetWindowText(
            fw::Translate("CBitTimingDlg", "Type a bit rate such as 83333, 83.333k, 500K or 1M."));
        return;
    }
    int samplePoint = RecommendedSamplePoint(*rate);  // per mille
    if (const std::string text = Trimmed(GetDlgItem(IDC_TIMING_SAMPLE_POINT).GetWindowText());
        !text.empty()) {
        const auto typed = ParseSamplePoint(text);
        if (!typed || *typed < kMinSamplePointPermille || *typed > kMaxSamplePointPermille) {
            status.SetWindowText(fw::Translate("CBitTimingDlg",
                                               "Type a sample point between 50 and 95 %, such as "
                                               "87.5, 0.875 or 875, or leave it empty."));
            return;
        }
        samplePoint = *typed;
    }
    m_found = FindBitTimings(*rate, samplePoint);
    m_wantedRate = *rate;
    m_wantedSamplePoint = samplePoint;
    for (const BitTiming& t : m_found) {
        char btr0[3], btr1[3];
        std::snprintf(btr0, sizeof btr0, "%02X", t.btr0);
        std::snprintf(btr1, sizeof btr1, "%02X", t.btr1);
        table.AddRow({btr0, btr1, Fixed(t.bitRate / 1000.0, 3),
                      Fixed((t.bitRate - *rate) / *rate * 100.0, 3) + " %",
                      Fixed(t.samplePoint * 100.0, 1) + " %", std::to_string(t.quanta),
                      std::to_string(t.sjw)});
    }
    if (m_found.empty()) {
        status.SetWindowText(
            text::Arg(fw::Translate("CBitTimingDlg", "No pair reaches %1 kbit/s within 1 %."),
                      {Fixed(*rate / 1000.0, 3)}));
    } else {
        status.SetWindowText(text::Arg(
            fw::Translate("CBitTimingDlg",
                          "Best first, for a sample point of %1 %. Choose one and press Use."),
            {Fixed(samplePoint / 10.0, 1)}));
        table.SetCurSel(0);
    }
    OnSelectionChanged();
}

void CBitTimingDlg::OnSelectionChanged() {
    const int row = Item<fw::ListView>(IDC_TIMING_PAIRS).GetCurSel();
    const bool chosen = row >= 0 && row < static_cast<int>(m_found.size());
    EnableItem(IDC_TIMING_USE, chosen);
    std::string lines;
    if (chosen) {
        const BitTiming& t = m_found[static_cast<size_t>(row)];
        lines = fw::Translate("CBitTimingDlg", "SocketCAN:");
        for (const std::string& line :
             {SocketCanBitrateLine(t, m_wantedRate, m_wantedSamplePoint), SocketCanTqLine(t)}) {
            if (!line.empty()) lines += "\n" + line;
        }
    }
    GetDlgItem(IDC_TIMING_SOCKETCAN).SetWindowText(lines);
}

void CBitTimingDlg::OnUse() {
    const int row = Item<fw::ListView>(IDC_TIMING_PAIRS).GetCurSel();
    if (row < 0 || row >= static_cast<int>(m_found.size())) return;
    if (m_onUse) m_onUse(m_found[static_cast<size_t>(row)]);
    EndDialog(fw::IDOK);
}

}  // namespace linkmate
