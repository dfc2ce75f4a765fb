// The parts of CSerialComm that are the same on every platform: the state is checked here, once,
// before the platform's code runs, and failures are reported here in one way.
#include "serial/serial_comm.h"

#include "protocol/text.h"
#include "serial/com_port_names.h"
#include "serial/network_port.h"

namespace linkmate {

CSerialComm::CSerialComm() = default;

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
    if (const std::string resolved = ResolvePortName(portName); LooksLikePortAddress(resolved)) {
        if (!OpenNetworkPort(portName, resolved, errorReport)) return false;
    } else if (CFileException failure; !OpenPort(portName, failure)) {
        if (errorReport != nullptr) *errorReport = std::move(failure);
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

bool CSerialComm::OpenNetworkPort(const std::string& portName, const std::string& address,
                                  CFileException* errorReport) {
    std::string why;
    const auto parsed = ParsePortAddress(address, &why);
    NetworkPort::Failure failure{CFileException::NoDeviceError(), address + ": " + why};
    std::unique_ptr<NetworkPort> port;
    if (parsed) {
        port = NetworkPort::Make(*parsed);
        failure = port->Open(m_line);
    }
    if (failure.osError != 0) {
        if (errorReport != nullptr) {
            *errorReport = CFileException(CFileException::CauseFromOsError(failure.osError),
                                          failure.osError, portName, failure.reason);
        }
        return false;
    }
    m_network = std::move(port);
    m_handle = static_cast<NativeHandle>(m_network->handle());
    return true;
}

void CSerialComm::Close() {
    if (!IsOpen()) return;
    const NativeHandle handle = m_handle;
    m_handle = kInvalidHandle;
    m_closeOnDestroy = false;
    m_removed = false;
    const std::string name = std::move(m_portName);
    m_portName.clear();
    if (m_network) {
        // Closing a socket cannot fail in a way that leaves the server's port held.
        m_network.reset();
        return;
    }
    if (CFileException failure; !ClosePort(handle, name, &failure)) throw failure;
}

uint32_t CSerialComm::Read(void* buffer, uint32_t count, uint32_t timeoutMs) {
    if (count == 0) return 0;
    if (timeoutMs != 0) m_readTimeoutMs = timeoutMs;
    if (!IsOpen() || m_removed) return 0;
    if (m_network) {
        const uint32_t got = m_network->Read(buffer, count, m_readTimeoutMs);
        m_removed = m_network->lost();
        return got;
    }
    return ReadPort(buffer, count, timeoutMs);
}

void CSerialComm::Write(const void* buffer, uint32_t count, uint32_t timeoutMs) {
    if (count == 0) return;
    if (timeoutMs != 0) m_writeTimeoutMs = timeoutMs;
    if (!IsOpen() || m_removed) return;
    if (m_network) {
        m_network->Write(buffer, count, m_writeTimeoutMs);
        m_removed = m_network->lost();
        return;
    }
    WritePort(buffer, count, timeoutMs);
}

bool CSerialComm::SetBaudRate(uint32_t baudRate) {
    if (!IsOpen() || m_removed) return false;
    const bool taken = m_network ? m_network->SetBaudRate(baudRate) : SetPortBaudRate(baudRate);
    if (m_network) m_removed = m_network->lost();
    if (!taken) return false;
    m_line.baudRate = baudRate;
    return true;
}

std::string CSerialComm::RemovalText() const {
    return m_network ? m_network->LostText()
                     : text::translate("ExchangeTrace", "the device was removed");
}

bool CSerialComm::CheckConnection() {
    if (!m_network || m_removed) return !m_removed;
    m_network->Poll();
    m_removed = m_network->lost();
    return !m_removed;
}

std::vector<std::string> CSerialComm::networkNotes() const {
    return m_network ? m_network->notes() : std::vector<std::string>();
}

}  // namespace linkmate
