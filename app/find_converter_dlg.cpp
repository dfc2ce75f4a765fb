#include "app/find_converter_dlg.h"

#include <chrono>
#include <utility>

#include "framework/application.h"
#include "framework/translate.h"
#include "protocol/config_lists.h"
#include "protocol/text.h"
#include "res/resource.h"
#include "res/resources.h"
#include "serial/config_port.h"

namespace linkmate {
namespace {

struct SearchOutcome {
    std::vector<ProbeResult> results;
    double ms = 0;
};

}  // namespace

CFindConverterDlg::CFindConverterDlg(std::vector<int> ports, UseHandler use)
    : fw::CDialog(res::FindConverterTemplate()),
      m_ports(std::move(ports)),
      m_onUse(std::move(use)) {}

bool CFindConverterDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    On(IDC_FIND_USE, fw::Notify::kClicked, &CFindConverterDlg::OnUse);
    On(IDC_FIND_AGAIN, fw::Notify::kClicked, &CFindConverterDlg::Search);
    On(IDC_FIND_LIST, fw::Notify::kSelChange, &CFindConverterDlg::OnSelectionChanged);
    On(IDC_FIND_LIST, fw::Notify::kDblClk, &CFindConverterDlg::OnUse);
    Search();
    return true;
}

void CFindConverterDlg::Search() {
    if (m_searching) return;
    m_searching = true;
    m_found.clear();
    Item<fw::ListView>(IDC_FIND_LIST).ResetContent();
    EnableItem(IDC_FIND_USE, false);
    EnableItem(IDC_FIND_AGAIN, false);
    GetDlgItem(IDC_FIND_STATUS)
        .SetWindowText(fw::Translate(
            "CFindConverterDlg",
            "Asking every port at 57600 and at 19200 bit/s; only the read request is sent."));
    fw::RunOffWindowThread<SearchOutcome>(
        [ports = m_ports] {
            const auto start = std::chrono::steady_clock::now();
            SearchOutcome search;
            search.results = FindConverters(ports);
            search.ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            return search;
        },
        [this, alive = std::weak_ptr<bool>(m_alive)](SearchOutcome search) {
            if (alive.expired()) return;
            m_searching = false;
            if (m_closeWhenDone) {
                EndDialog(fw::IDCANCEL);
                return;
            }
            ShowResults(std::move(search.results), search.ms);
        });
}

void CFindConverterDlg::ShowResults(std::vector<ProbeResult> results, double ms) {
    fw::ListView list = Item<fw::ListView>(IDC_FIND_LIST);
    // The converters first, so that a row's index is its place in m_found; then every other port
    // asked, in the command-line tool's words: why it could not be asked, or that it was silent.
    for (ProbeResult& r : results) {
        if (!r.answered()) continue;
        const std::string model =
            r.model
                ? std::string(lists::DeviceType[static_cast<size_t>(*r.model)]) + " (" +
                      std::to_string(ConfigPortBaudTable[static_cast<size_t>(*r.model)]) + " bit/s)"
                : fw::Translate("CFindConverterDlg", "the server's line settings (raw TCP)");
        list.AddRow({"COM" + std::to_string(r.port), r.device, model, ConfigSummary(r.config)});
        m_found.push_back(std::move(r));
    }
    for (const ProbeResult& r : results) {
        if (r.answered()) continue;  // listed above (its flags survive the move)
        std::string state;
        std::string why = r.reason;
        if (r.opened) {
            state = fw::Translate("CFindConverterDlg", "no answer");
            why = fw::Translate("CFindConverterDlg", "at 57600 or 19200 bit/s");
        } else if (r.held) {
            state = r.holder.empty()
                        ? fw::Translate("CFindConverterDlg", "held by another program")
                        : text::Arg(fw::Translate("CFindConverterDlg", "held by %1"), {r.holder});
        } else if (r.absent) {
            state = fw::Translate("CFindConverterDlg", "absent");
        } else {
            state = fw::Translate("CFindConverterDlg", "not opened");
        }
        list.AddRow({"COM" + std::to_string(r.port), r.device, state, why});
    }
    GetDlgItem(IDC_FIND_STATUS)
        .SetWindowText(
            m_found.empty()
                ? fw::Translate("CFindConverterDlg",
                                "No converter answered at 57600 or 19200 bit/s. Check the wiring, "
                                "the converter's "
                                "power and the Ports dialog.")
                : text::Arg(
                      fw::Translate("CFindConverterDlg",
                                    "%1 converter(s) found in %2 ms. Choose one and press Use."),
                      {std::to_string(m_found.size()), std::to_string(static_cast<long>(ms))}));
    if (!m_found.empty()) list.SetCurSel(0);
    EnableItem(IDC_FIND_AGAIN, true);
    OnSelectionChanged();
}

void CFindConverterDlg::OnSelectionChanged() {
    const int row = Item<fw::ListView>(IDC_FIND_LIST).GetCurSel();
    EnableItem(IDC_FIND_USE, !m_searching && row >= 0 && row < static_cast<int>(m_found.size()));
}

void CFindConverterDlg::OnUse() {
    const int row = Item<fw::ListView>(IDC_FIND_LIST).GetCurSel();
    if (m_searching || row < 0 || row >= static_cast<int>(m_found.size())) return;
    const ProbeResult& chosen = m_found[static_cast<size_t>(row)];
    if (m_onUse) m_onUse(chosen.model, chosen.port);
    EndDialog(fw::IDOK);
}

void CFindConverterDlg::OnCancel() {
    if (m_searching) {
        m_closeWhenDone = true;
        return;
    }
    fw::CDialog::OnCancel();
}

}  // namespace linkmate
