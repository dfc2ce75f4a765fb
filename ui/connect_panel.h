// The connection panel across the top of the main window: converter model, COM port and the
// Connect button.
#pragma once

#include <vector>

#include "framework/dialog.h"
#include "protocol/device_config.h"

namespace linkmate {

// What the panel needs of the window it sits in.
class ConnectionHost {
public:
    virtual ~ConnectionHost() = default;
    // Opens the port for the model and port indexes, or closes it if it is open; 1 when the
    // port is open afterwards, else 0.
    virtual long OnConnectToggle(int32_t deviceType, int32_t configPort) = 0;
    // The settings pages, in the order Conversion, Serial, CAN.
    virtual std::vector<fw::CDialog*> SettingsPages() = 0;
};

class CLINKMATEDlg : public fw::CDialog {
public:
    CLINKMATEDlg();
    // The window the panel asks to connect; set before the panel is created.
    void SetHost(ConnectionHost* host) { m_host = host; }

    ConnectionSettings connection;

    // The handler of a click on Connect.
    void OnConnect();
    // Brings the button, the two lists and the pages into line with the connection: after a
    // Connect or Disconnect, and when the window closed the port because its device went away.
    void ShowConnection(bool connected);
    // Each entry of the COM Port list (and the closed list) tells, as its tooltip, which device
    // the number is and what that is, or "not present"; the opened list shows the device's name
    // beside each number and greys the numbers that lead nowhere.
    void RefreshPortTips();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    ConnectionHost* m_host = nullptr;
};

}  // namespace linkmate
