// Win32 backend of CSerialComm: an overlapped handle without sharing; every read and write has
// its own event and waits for its own completion, so no operation is outstanding between calls.
#include <windows.h>

#include <algorithm>
#include <string>

#include "protocol/win32_text.h"
#include "serial/com_port_names.h"
#include "serial/serial_comm.h"

namespace linkmate {
namespace {

constexpr DWORD kQueueBytes = 2048;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
// The driver ends an operation at its own time-out; this is how much longer we wait for it before
// cancelling it ourselves. A driver that ignores the time-outs (Wine waits for the whole count)
// or never completes must not hold the window for ever.
constexpr DWORD kDriverGraceMs = 200;
// A write without a time-out waits for its bytes to leave: allow twice their line time on top.
constexpr DWORD kUnboundedWriteBaseMs = 5000;
// After CancelIoEx the operation still has to report that it ended.
constexpr DWORD kCancelWaitMs = 1000;

HANDLE AsHandle(CSerialComm::NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// A wait of `ms`, short of INFINITE however long the time-out the caller gave.
DWORD Bounded(uint64_t ms) { return static_cast<DWORD>(std::min<uint64_t>(ms, INFINITE - 1)); }

// The kept settings as a record built from scratch: raw 8-bit data, no flow control of any kind,
// DTR and RTS held off, nothing replaced or dropped.
DCB LineRecord(const LineSettings& line) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = line.baudRate;
    dcb.fBinary = TRUE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ByteSize = line.byteSize;
    dcb.Parity = line.parity;
    dcb.StopBits = line.stopBits;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return dcb;
}

class Event {
public:
    Event() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() {
        if (m_event != nullptr) CloseHandle(m_event);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE get() const { return m_event; }

private:
    HANDLE m_event;
};

// Starts nothing; finishes one overlapped operation that ReadFile or WriteFile left pending,
// waiting at most `limitMs`, and returns the bytes it moved. An operation still running then is
// cancelled; the bytes it had moved by then are kept (the caller's buffer holds them).
DWORD FinishPending(HANDLE port, OVERLAPPED& overlapped, DWORD limitMs) {
    DWORD moved = 0;
    if (WaitForSingleObject(overlapped.hEvent, limitMs) == WAIT_OBJECT_0) {
        GetOverlappedResult(port, &overlapped, &moved, FALSE);
        return moved;
    }
    CancelIoEx(port, &overlapped);
    if (WaitForSingleObject(overlapped.hEvent, kCancelWaitMs) == WAIT_OBJECT_0) {
        GetOverlappedResult(port, &overlapped, &moved, FALSE);
        return moved;
    }
    // The record and the caller's buffer must outlive the operation, and a cancelled operation
    // always ends: wait for the system to let go of them.
    GetOverlappedResult(port, &overlapped, &moved, TRUE);
    return moved;
}

// Sets one field of the port's time-outs for good, keeping the other four.
void SetTimeout(HANDLE port, DWORD COMMTIMEOUTS::*field, DWORD value) {
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(port, &timeouts)) return;
    timeouts.*field = value;
    SetCommTimeouts(port, &timeouts);
}

// What ReadFile, WriteFile and their completion report once a USB adapter has been unplugged or
// its driver has gone.
bool Vanished(DWORD error) {
    switch (error) {
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_ACCESS_DENIED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
        case ERROR_INVALID_HANDLE: return true;
        default: return false;
    }
}

}  // namespace

bool CSerialComm::OpenPort(const std::string& portName, CFileException& failure) {
    // With these the driver returns at once with what is buffered, else with the first byte to
    // arrive, else with nothing after the constant.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = kOpenReadTimeoutMs;

    const std::wstring path = Widen(ResolvePortName(portName));
    const HANDLE port =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        failure.Set(static_cast<long>(GetLastError()), portName);
        return false;
    }

    SetCommTimeouts(port, &timeouts);
    // A driver that refuses part of the settings (1.5 stop bits, an odd rate) still gives a port.
    DCB line = LineRecord(m_line);
    SetCommState(port, &line);
    if (SetupComm(port, kQueueBytes, kQueueBytes) && ClearCommBreak(port) &&
        PurgeComm(port, kPurgeAll) && FlushFileBuffers(port)) {
        m_handle = reinterpret_cast<NativeHandle>(port);
        return true;
    }
    failure.Set(static_cast<long>(GetLastError()), portName);
    // The open has failed already; that is what the caller hears about.
    CloseHandle(port);
    return false;
}

bool CSerialComm::ClosePort(NativeHandle handle, const std::string& portName,
                            CFileException* failure) {
    if (CloseHandle(AsHandle(handle))) return true;
    if (failure != nullptr) failure->Set(static_cast<long>(GetLastError()), portName);
    return false;
}

uint32_t CSerialComm::ReadPort(void* buffer, uint32_t count, uint32_t timeoutMs) {
    const HANDLE port = AsHandle(m_handle);
    Event done;
    if (done.get() == nullptr) return 0;
    if (timeoutMs != 0) SetTimeout(port, &COMMTIMEOUTS::ReadTotalTimeoutConstant, timeoutMs);
    OVERLAPPED overlapped{};
    overlapped.hEvent = done.get();
    DWORD got = 0;
    if (ReadFile(port, buffer, count, &got, &overlapped)) return got;
    if (const DWORD error = GetLastError(); error != ERROR_IO_PENDING) {
        m_removed = Vanished(error);
        return 0;
    }
    return FinishPending(port, overlapped, Bounded(uint64_t{m_readTimeoutMs} + kDriverGraceMs));
}

void CSerialComm::WritePort(const void* buffer, uint32_t count, uint32_t timeoutMs) {
    const HANDLE port = AsHandle(m_handle);
    Event done;
    if (done.get() == nullptr) return;
    if (timeoutMs != 0) SetTimeout(port, &COMMTIMEOUTS::WriteTotalTimeoutConstant, timeoutMs);
    OVERLAPPED overlapped{};
    overlapped.hEvent = done.get();
    DWORD sent = 0;
    if (WriteFile(port, buffer, count, &sent, &overlapped)) return;
    if (const DWORD error = GetLastError(); error != ERROR_IO_PENDING) {
        m_removed = Vanished(error);
        return;
    }
    const uint64_t lineTimeMs =
        uint64_t{count} * 10 * 1000 / (m_line.baudRate != 0 ? m_line.baudRate : 1);
    FinishPending(port, overlapped,
                  Bounded(m_writeTimeoutMs != 0 ? uint64_t{m_writeTimeoutMs} + kDriverGraceMs
                                                : kUnboundedWriteBaseMs + 2 * lineTimeMs));
}

bool CSerialComm::SetPortBaudRate(uint32_t baudRate) {
    const HANDLE port = AsHandle(m_handle);
    DCB line{};
    line.DCBlength = sizeof(DCB);
    if (!GetCommState(port, &line)) return false;
    line.BaudRate = baudRate;
    return SetCommState(port, &line) != FALSE;
}

}  // namespace linkmate
