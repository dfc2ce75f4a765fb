#include "serial/converter_finder.h"

#include <algorithm>
#include <future>

#include "protocol/config_lists.h"
#include "protocol/frame_codec.h"
#include "protocol/port_io.h"
#include "protocol/text.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"
#include "serial/serial_comm.h"

namespace linkmate {
namespace {

constexpr uint32_t kProbeWriteTimeoutMs = 100;
constexpr uint32_t kProbeReadChunk = 64;

// The list's entry in the operator's language; "?" for an index the list lacks.
template <size_t N>
std::string ListText(const std::array<std::string_view, N>& list, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= N) return "?";
    return text::translate("lists", std::string(list[static_cast<size_t>(index)]).c_str());
}

}  // namespace

std::string ConfigSummary(const DeviceConfig& c) {
    return text::Arg(text::translate("ConverterFinder", "serial %1 bit/s %2, CAN %3 %4, %5"),
                     {ListText(lists::SerialBaudrate, c.serial.SerialBaudrate),
                      ListText(lists::SerialParity, c.serial.SerialParity), ListText(lists::CanBaudrate, c.can.CanBaudrate),
                      ListText(lists::CanFrameType, c.can.CanFrameType), ListText(lists::TranMode, c.tran.TranMode)});
}

bool ProbeOnce(PortIo& port, DeviceConfig& config) {
    port.Write(ReadRequest.data(), kReadRequestSize, kProbeWriteTimeoutMs);
    const auto deadline = port.Now() + kProbeTimeout;
    std::vector<uint8_t> bytes(kReadRequestSize + kConfigFrameSize + kProbeReadChunk);
    size_t got = 0;
    size_t echo = 0;  // a two-wire RS-485 adapter returns the request before the answer
    while (got < echo + kConfigFrameSize) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - port.Now());
        if (left.count() <= 0) break;
        const uint32_t room = static_cast<uint32_t>(std::min<size_t>(kProbeReadChunk, bytes.size() - got));
        const uint32_t n = port.Read(bytes.data() + got, room, static_cast<uint32_t>(left.count()));
        if (n == 0) break;
        got += n;
        // The reply shares only its first three bytes with the request, so the two cannot be
        // mistaken for each other.
        if (echo == 0 && got >= kReadRequestSize &&
            std::equal(ReadRequest.begin(), ReadRequest.end(), bytes.begin())) {
            echo = kReadRequestSize;
        }
    }
    if (got < echo + kConfigFrameSize) return false;
    ConfigFrame frame{};
    std::copy_n(bytes.begin() + static_cast<long>(echo), kConfigFrameSize, frame.begin());
    if (frame[0] != 0xF7 || frame[1] != 0xF8 || frame[2] != 0x03 || frame[3] != 0x1C) return false;
    return DecodeConfigFrame(frame, config);
}

ProbeResult ProbePort(int port) {
    ProbeResult result;
    result.port = port;
    result.device = ComPortDevicePath(port);
    for (int32_t model = 0; model < static_cast<int32_t>(ConfigPortBaudTable.size()); ++model) {
        CSerialComm serial;
        CFileException error;
        if (!OpenConfigPort(serial, model, port - 1, &error)) {
            result.opened = false;
            result.problem = error.what();
            result.held = error.m_cause == CFileException::sharingViolation ||
                          error.m_cause == CFileException::lockViolation;
            if (result.held) result.holder = DeviceHolder(result.device);
            result.absent = error.m_cause == CFileException::fileNotFound ||
                            error.m_lOsError == CFileException::NoDeviceError();
            result.reason = CFileException::SystemErrorText(error.m_lOsError);
            return result;
        }
        result.opened = true;
        SerialPortIo io(serial);
        DeviceConfig config;
        if (ProbeOnce(io, config)) {
            result.model = model;
            config.connection.DeviceType = model;
            config.connection.ConfigPort = port - 1;
            result.config = config;
            return result;
        }
    }
    return result;
}

std::optional<int32_t> ProbeOtherModels(CSerialComm& port, PortIo& io) {
    const uint32_t rate = port.lineSettings().baudRate;
    std::optional<int32_t> answered;
    for (int32_t model = 0; model < static_cast<int32_t>(ConfigPortBaudTable.size()) && !answered; ++model) {
        const uint32_t other = ConfigPortBaudTable[static_cast<size_t>(model)];
        if (other == rate || !port.SetBaudRate(other)) continue;
        DeviceConfig config;
        if (ProbeOnce(io, config)) answered = model;
    }
    port.SetBaudRate(rate);
    return answered;
}

std::string ModelHint(int32_t model) {
    const size_t m = static_cast<size_t>(model);
    return text::Arg(text::translate("ConverterFinder", "A converter answered at %1 bit/s: choose %2."),
                     {std::to_string(ConfigPortBaudTable.at(m)), std::string(lists::DeviceType.at(m))});
}

std::vector<ProbeResult> FindConverters(const std::vector<int>& ports) {
    std::vector<std::future<ProbeResult>> probes;
    for (int port : ports) probes.push_back(std::async(std::launch::async, ProbePort, port));
    // The devices the numbers lead to, as the COM list names them (the port map's links
    // followed), from one discovery while the ports are asked.
    const std::vector<ComPortInfo> infos = DescribeComPorts();
    std::vector<ProbeResult> results;
    for (auto& probe : probes) {
        results.push_back(probe.get());
        ProbeResult& r = results.back();
        const auto info = std::find_if(infos.begin(), infos.end(), [&r](const ComPortInfo& i) { return i.number == r.port; });
        if (info != infos.end() && !info->devicePath.empty()) r.device = info->devicePath;
    }
    return results;
}

}  // namespace linkmate
