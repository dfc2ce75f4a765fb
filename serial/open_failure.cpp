#include "serial/open_failure.h"

#include <iterator>

#include "protocol/text.h"
#include "serial/com_port_names.h"
#include "serial/port_map.h"

// The translation tools find the texts below through this mark.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace linkmate {
namespace {

// By OpenText.
constexpr const char* kOpenTexts[] = {
    QT_TRANSLATE_NOOP("OpenFailure", "%1 is %2: %3."),
    QT_TRANSLATE_NOOP("OpenFailure", "The device is %1."),
    QT_TRANSLATE_NOOP("OpenFailure", "The system says: %1."),
    QT_TRANSLATE_NOOP("OpenFailure",
                      "The port is in use by %1. Close it there, or choose another port."),
    QT_TRANSLATE_NOOP("OpenFailure", "another program"),
    QT_TRANSLATE_NOOP(
        "OpenFailure",
        "The device does not respond: an on-board port without a UART, or a failing adapter."),
};
static_assert(std::size(kOpenTexts) == static_cast<size_t>(OpenText::kNoResponse) + 1);

}  // namespace

std::string OpenFailureText(OpenText which) {
    return text::translate("OpenFailure", kOpenTexts[static_cast<size_t>(which)]);
}

std::string JoinOpenFailure(const std::string& place, const std::string& systemReason,
                            const std::string& advice) {
    std::string out =
        place + "\n" + text::Arg(OpenFailureText(OpenText::kSystemSays), {systemReason});
    // Without advice, no empty line after what the system says.
    if (!advice.empty()) out += "\n" + advice;
    return out;
}

std::string DescribeOpenFailure(const std::string& portName, const CFileException& error,
                                OpenFailureReader reader) {
    if (error.m_strReason.empty()) return DescribeOpenFailure(portName, error.m_lOsError, reader);
    std::string reason = error.m_strReason;
    if (!reason.empty() && reason[0] >= 'a' && reason[0] <= 'z')
        reason[0] = static_cast<char>(reason[0] - 'a' + 'A');
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
