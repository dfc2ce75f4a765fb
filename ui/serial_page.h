// The "Serial" tab: the converter's serial bit rate and parity; data bits, stop bits and flow
// control are shown but cannot be changed.
#pragma once

#include "framework/dialog.h"
#include "protocol/device_config.h"

namespace linkmate {

class CSerialPage : public fw::CPropertyPage {
public:
    CSerialPage();

    SerialSettings serial;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnEnable(bool enable) override;
};

}  // namespace linkmate
