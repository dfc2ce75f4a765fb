#include "ui/serial_page.h"

#include "res/resource.h"
#include "res/resources.h"

namespace linkmate {

CSerialPage::CSerialPage() : fw::CPropertyPage(res::SerialPageTemplate()) {}

void CSerialPage::DoDataExchange(fw::DataExchange& dx) {
    dx.ListIndex(IDC_SERIAL_BAUDRATE, serial.SerialBaudrate);
    dx.ListIndex(IDC_SERIAL_PARITY, serial.SerialParity);
    dx.ListIndex(IDC_SERIAL_DATABITS, serial.SerialDataBit);
    dx.ListIndex(IDC_SERIAL_STOPBITS, serial.SerialStopBit);
    dx.ListIndex(IDC_SERIAL_FLOWCTRL, serial.SerialFlowCtrl);
}

void CSerialPage::OnEnable(bool enable) {
    // Data bits, stop bits and flow control stay as the template made them: disabled.
    EnableItem(IDC_SERIAL_BAUDRATE, enable);
    EnableItem(IDC_SERIAL_PARITY, enable);
}

}  // namespace linkmate
