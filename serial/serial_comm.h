// One COM port: opened by name with the line settings the object keeps, read and written with
// per-call time-outs, closed. Every call blocks until it is done and is bounded by its time-out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/port_io.h"
#include "serial/file_exception.h"
#include "serial/uucp_lock.h"

namespace linkmate {

// Line settings in the codes of the Windows serial interface, so that callers are the same on
// every platform.
struct LineSettings {
    enum Parity : uint8_t {
        kNoParity = 0,
        kOddParity = 1,
        kEvenParity = 2,
        kMarkParity = 3,
        kSpaceParity = 4
    };
    enum StopBits : uint8_t { kOneStopBit = 0, kOne5StopBits = 1, kTwoStopBits = 2 };

    uint32_t baudRate = 115200;
    uint8_t byteSize = 8;
    uint8_t parity = kNoParity;
    uint8_t stopBits = kOneStopBit;
};

class NetworkPort;

class CSerialComm {
public:
    using NativeHandle = intptr_t;
    static constexpr NativeHandle kInvalidHandle = -1;

    static constexpr uint32_t kOpenReadTimeoutMs = 1000;

    CSerialComm();
    CSerialComm(const CSerialComm&) = delete;
    CSerialComm& operator=(const CSerialComm&) = delete;
    virtual ~CSerialComm();

    bool IsOpen() const { return m_handle != kInvalidHandle; }

    // Opens `portName` ("\\.\COMn", "COMn", a device path, or the address of a serial device
    // server's port: "rfc2217://HOST:PORT", "socket://HOST:PORT", directly or through the port
    // map) with the kept line settings, raw
    // 8-bit, no flow control, DTR and RTS off, exclusively: a port another program has open (on
    // Linux also one the shared UUCP lock file names) is refused (EBUSY; ERROR_ACCESS_DENIED on
    // Windows). Resets the read time-out to 1000 ms
    // and the write time-out to none, then empties both queues. On failure the object is closed
    // and, when given, `errorReport` says why. On an object that is open already it fails
    // (AlreadyOpenError) and leaves that port, its settings and its lock as they are.
    bool Open(const std::string& portName, CFileException* errorReport = nullptr);

    // Stores the four values in the kept line settings (also when the open then fails, but not
    // while a port is open) and opens.
    bool Open(const std::string& portName, uint32_t baudRate, uint8_t byteSize, uint8_t parity,
              uint8_t stopBits, CFileException* errorReport = nullptr);

    // Leaves the object closed in every case; throws CFileException, with the port's name, when
    // the system failed to close the port.
    void Close();

    // Reads up to `count` bytes: at once with what is buffered, otherwise waits for the first byte
    // up to the read time-out. Returns 0 on time-out, on error and when the device has vanished
    // (then deviceRemoved() is true until the next Open, and every Read and Write fails at once).
    // On Windows a driver that keeps the read longer is cancelled 200 ms after the time-out, and
    // what it had received by then is returned.
    // A `timeoutMs` other than 0 becomes the read time-out for this and later calls.
    uint32_t Read(void* buffer, uint32_t count, uint32_t timeoutMs);

    // Writes `count` bytes within the write time-out (none: until done or the device fails).
    // A `timeoutMs` other than 0 becomes the write time-out for this and later calls.
    void Write(const void* buffer, uint32_t count, uint32_t timeoutMs);

    // Changes the bit rate of the open port at once (the kept line settings follow); false when
    // the port is closed, its device has gone, or the driver refused the rate (then the port
    // keeps the rate it had).
    bool SetBaudRate(uint32_t baudRate);

    // The device went away under the open port: unplugged, or its driver removed; for a port on
    // the network, the connection dropped. The port stays open (and its lock held) until Close.
    bool deviceRemoved() const { return m_removed; }
    // How that is said: "the device was removed", "the connection to HOST:PORT was lost".
    std::string RemovalText() const;

    // The open port is a serial device server's, reached over the network.
    bool isNetwork() const { return m_network != nullptr; }
    // What the network port's set-up could not do or confirm (raw TCP cannot set the line, a
    // server that did not confirm SET-CONTROL), for the status line and the trace.
    std::vector<std::string> networkNotes() const;
    // For a port on the network: takes what has arrived and tells whether the connection is still
    // up (deviceRemoved() follows). Never while another thread uses the port. True for a device.
    bool CheckConnection();

    const LineSettings& lineSettings() const { return m_line; }
    uint32_t readTimeoutMs() const { return m_readTimeoutMs; }
    uint32_t writeTimeoutMs() const { return m_writeTimeoutMs; }
    NativeHandle nativeHandle() const { return m_handle; }

private:
    // The platform's part, called by the front only in the state it needs: OpenPort on a closed
    // object (false with `failure` filled in and nothing left open), ClosePort with the handle
    // just taken from an open object (false with `failure`, when given, filled in for
    // `portName`), ReadPort, WritePort and SetPortBaudRate on an open one whose device has not
    // gone. A vanished device sets m_removed.
    bool OpenPort(const std::string& portName, CFileException& failure);
    bool ClosePort(NativeHandle handle, const std::string& portName, CFileException* failure);
    uint32_t ReadPort(void* buffer, uint32_t count, uint32_t timeoutMs);
    void WritePort(const void* buffer, uint32_t count, uint32_t timeoutMs);
    bool SetPortBaudRate(uint32_t baudRate);
    // The same for a port on the network (network_port.h). A server's port takes no lock file: the
    // server lets one client in at a time.
    bool OpenNetworkPort(const std::string& portName, const std::string& address,
                         CFileException* errorReport);

    NativeHandle m_handle = kInvalidHandle;
    std::string m_portName;
    bool m_removed = false;
    LineSettings m_line;
    bool m_closeOnDestroy = true;
    uint32_t m_readTimeoutMs = kOpenReadTimeoutMs;
    uint32_t m_writeTimeoutMs = 0;  // 0: no time-out
    UucpLock m_lineLock;            // the lock file other serial programs honour, while open
    std::unique_ptr<NetworkPort> m_network;  // while a server's port is open
};

// Lets the configuration exchange run over a CSerialComm.
class SerialPortIo final : public PortIo {
public:
    explicit SerialPortIo(CSerialComm& port) : m_port(port) {}
    uint32_t Read(void* buffer, uint32_t count, uint32_t timeoutMs) override {
        return m_port.Read(buffer, count, timeoutMs);
    }
    void Write(const void* buffer, uint32_t count, uint32_t timeoutMs) override {
        m_port.Write(buffer, count, timeoutMs);
    }
    bool DeviceRemoved() const override { return m_port.deviceRemoved(); }
    std::string RemovalText() const override { return m_port.RemovalText(); }

private:
    CSerialComm& m_port;
};

}  // namespace linkmate
