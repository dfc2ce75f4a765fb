#include "protocol/text.h"
#include "serial/com_port_names.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"

namespace linkmate {

std::string DescribeOpenFailure(const std::string& portName, const CFileException& error,
                                OpenFailureReader reader) {
    if (error.m_strReason.empty()) return DescribeOpenFailure(portName, error.m_lOsError, reader);
    std::string reason = error.m_strReason;
    if (!reason.empty() && reason[0] >= 'a' && reason[0] <= 'z') reason[0] = static_cast<char>(reason[0] - 'a' + 'A');
    const auto number = ParseComPortName(portName);
    if (!number) return reason + ".";
    const ComPortInfo info = DescribeComPort(*number);
    const std::string com = "COM" + std::to_string(*number);
    const std::string where =
        info.linkPath.empty()
            ? text::Arg(text::translate("OpenFailure", "%1 is %2."), {com, info.devicePath})
            : text::Arg(text::translate("OpenFailure", "%1 is %2 (through the port map's %3)."),
                        {com, info.devicePath, info.linkPath});
    return where + "\n" + reason + ".";
}

}  // namespace linkmate
