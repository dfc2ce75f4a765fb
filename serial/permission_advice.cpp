#include "serial/permission_advice.h"

#include <cstdio>

#include "protocol/text.h"

namespace linkmate {
namespace {

constexpr unsigned kGroupReadWrite = 0060;
constexpr unsigned kOthersReadWrite = 0006;
constexpr unsigned kRootGroupId = 0;

std::string Octal(unsigned mode) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04o", mode & 07777);
    return buffer;
}

}  // namespace

std::string UdevRuleFor(const DeviceAccess& access) {
    std::string match;
    if (!access.vendorId.empty()) {
        match = "ATTRS{idVendor}==\"" + access.vendorId + "\"";
    } else if (!access.kernelName.empty()) {
        match = "KERNEL==\"" + access.kernelName + "\"";
    } else {
        return std::string();
    }
    return "SUBSYSTEM==\"tty\", " + match + ", GROUP=\"" + kSerialGroup + "\", MODE=\"0660\"";
}

std::string PermissionAdvice(const DeviceAccess& access) {
    std::string out =
        text::translate("OpenFailure", "Your user may not open the device.") + " " +
        text::Arg(text::translate("OpenFailure", "Its mode is %1, owner %2, group %3."),
                  {Octal(access.mode), access.owner, access.group});
    const bool groupMay = (access.mode & kGroupReadWrite) == kGroupReadWrite;
    if (groupMay && access.groupId != kRootGroupId) {
        return out + "\n" +
               text::Arg(text::translate(
                             "OpenFailure",
                             "Members of the group \"%1\" may read and write it; join it with\n"
                             "    sudo usermod -aG %1 $USER\n"
                             "then log out and in again."),
                         {access.group});
    }
    if ((access.mode & kOthersReadWrite) == kOthersReadWrite) {
        return out + "\n" +
               text::translate(
                   "OpenFailure",
                   "Its mode lets every user read and write it, so something else refuses: "
                   "a security policy (AppArmor, SELinux) or the device rules of a "
                   "container. Ask the administrator.");
    }
    out +=
        "\n" +
        (groupMay
             ? text::translate("OpenFailure",
                               "Its group is root, which is not a group to join for a serial port.")
             : text::Arg(
                   text::translate("OpenFailure",
                                   "Members of its group \"%1\" may not read and write it either."),
                   {access.group}));
    const std::string rule = UdevRuleFor(access);
    if (rule.empty())
        return out + " " + text::translate("OpenFailure", "Ask the administrator for access.");
    return out + "\n" +
           text::Arg(text::translate(
                         "OpenFailure",
                         "A udev rule can give it to the group \"%1\": as root, put the line\n"
                         "    %2\n"
                         "into %3, plug the adapter in again (or run udevadm trigger), then\n"
                         "    sudo usermod -aG %1 $USER\n"
                         "and log out and in again. Or ask the administrator for access."),
                     {kSerialGroup, rule, kUdevRuleFile});
}

}  // namespace linkmate
