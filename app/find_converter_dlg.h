// "Find converter": asks every COM port at both models' bit rates in the background, lists the
// converters that answered and the ports another program holds, and on "Use" hands the port and
// model of the chosen converter to the window.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "framework/dialog.h"
#include "serial/converter_finder.h"

namespace linkmate {

class CFindConverterDlg : public fw::CDialog {
public:
    // The model (DeviceType) and the COM number of the converter chosen; no model for one behind
    // a raw TCP port, whose model cannot be told.
    using UseHandler = std::function<void(std::optional<int32_t> model, int comNumber)>;
    CFindConverterDlg(std::vector<int> ports, UseHandler use);

    // Starts a search unless one runs.
    void Search();
    bool IsSearching() const { return m_searching; }

protected:
    bool OnInitDialog() override;
    // Closing during a search ends the dialog once the search has ended, so no port is still
    // held by it when the window connects.
    void OnCancel() override;

private:
    void ShowResults(std::vector<ProbeResult> results, double ms);
    void OnUse();
    void OnSelectionChanged();

    std::vector<int> m_ports;
    UseHandler m_onUse;
    std::vector<ProbeResult> m_found;  // the rows that answered, in the list's order first
    bool m_searching = false;
    bool m_closeWhenDone = false;
    // Lets a search that ends after the dialog is gone be dropped.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace linkmate
