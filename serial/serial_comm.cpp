// The parts of CSerialComm that are the same on every platform.
#include "serial/serial_comm.h"

namespace linkmate {

CSerialComm::~CSerialComm() {
    if (IsOpen() && m_closeOnDestroy) {
        try {
            Close();
        } catch (const CFileException&) {
            // Nothing left to tell: the object is going away and the port is released.
        }
    }
}

bool CSerialComm::Open(const std::string& portName, uint32_t baudRate, uint8_t byteSize,
                       uint8_t parity, uint8_t stopBits, CFileException* errorReport) {
    m_line.baudRate = baudRate;
    m_line.byteSize = byteSize;
    m_line.parity = parity;
    m_line.stopBits = stopBits;
    return Open(portName, errorReport);
}

}  // namespace linkmate
