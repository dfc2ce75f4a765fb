// The parts of CSerialComm that are the same on every platform: the state is checked here, once,
// before the platform's code runs, and failures are reported here in one way.
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

bool CSerialComm::Open(const std::string& portName, CFileException* errorReport) {
    if (IsOpen()) {
        // The open port and its lock file stay as they are; the caller must Close first.
        if (errorReport != nullptr) errorReport->Set(CFileException::AlreadyOpenError(), portName);
        return false;
    }
    m_removed = false;
    if (const long failure = OpenPort(portName); failure != 0) {
        if (errorReport != nullptr) errorReport->Set(failure, portName);
        return false;
    }
    m_portName = portName;
    m_closeOnDestroy = true;
    m_readTimeoutMs = kOpenReadTimeoutMs;
    m_writeTimeoutMs = 0;
    return true;
}

bool CSerialComm::Open(const std::string& portName, uint32_t baudRate, uint8_t byteSize,
                       uint8_t parity, uint8_t stopBits, CFileException* errorReport) {
    if (!IsOpen()) {
        m_line.baudRate = baudRate;
        m_line.byteSize = byteSize;
        m_line.parity = parity;
        m_line.stopBits = stopBits;
    }
    return Open(portName, errorReport);
}

void CSerialComm::Close() {
    if (!IsOpen()) return;
    const NativeHandle handle = m_handle;
    m_handle = kInvalidHandle;
    m_closeOnDestroy = false;
    m_removed = false;
    const std::string name = std::move(m_portName);
    m_portName.clear();
    if (const long failure = ClosePort(handle); failure != 0) {
        throw CFileException(CFileException::CauseFromOsError(failure), failure, name);
    }
}

uint32_t CSerialComm::Read(void* buffer, uint32_t count, uint32_t timeoutMs) {
    if (count == 0) return 0;
    if (timeoutMs != 0) m_readTimeoutMs = timeoutMs;
    if (!IsOpen() || m_removed) return 0;
    return ReadPort(buffer, count, timeoutMs);
}

void CSerialComm::Write(const void* buffer, uint32_t count, uint32_t timeoutMs) {
    if (count == 0) return;
    if (timeoutMs != 0) m_writeTimeoutMs = timeoutMs;
    if (!IsOpen() || m_removed) return;
    WritePort(buffer, count, timeoutMs);
}

bool CSerialComm::SetBaudRate(uint32_t baudRate) {
    if (!IsOpen() || m_removed || !SetPortBaudRate(baudRate)) return false;
    m_line.baudRate = baudRate;
    return true;
}

}  // namespace linkmate
