#include "app/held_differences.h"

#include <string_view>

#include "framework/translate.h"
#include "protocol/settings_table.h"
#include "protocol/text.h"

namespace linkmate {
namespace {

struct PageField {
    std::string_view setting;
    const char* page;   // the page template's context, whose title names the tab
    const char* title;  // the tab's label
    const char* label;  // the label beside the field, as the template has it
};

// The hex fields take the CAN page's own names for them (see the CAN page's field names).
constexpr PageField kPageFields[] = {
    {"SerialBaudrate", "IDD_SERIAL_PAGE", "Serial", "Ba&udrate:"},
    {"SerialParity", "IDD_SERIAL_PAGE", "Serial", "&Parity:"},
    {"CanBaudrate", "IDD_CAN_PAGE", "CAN", "Baudr&ate:"},
    {"CanBTR0", "CCanPage", "CAN", "BTR0"},
    {"CanBTR1", "CCanPage", "CAN", "BTR1"},
    {"CanFrameType", "IDD_CAN_PAGE", "CAN", "Frame &Format:"},
    {"CanFiterMode", "IDD_CAN_PAGE", "CAN", "&Filter Mode:"},
    {"CanID", "CCanPage", "CAN", "Identifier(Tx)"},
    {"CanAcptCode", "CCanPage", "CAN", "Acceptance Code"},
    {"CanAcptCode1", "CCanPage", "CAN", "Acceptance Code, first filter"},
    {"CanAcptCode2", "CCanPage", "CAN", "Acceptance Code, second filter"},
    {"CanAcptMask", "CCanPage", "CAN", "Acceptance Mask"},
    {"CanAcptMask1", "CCanPage", "CAN", "Acceptance Mask, first filter"},
    {"CanAcptMask2", "CCanPage", "CAN", "Acceptance Mask, second filter"},
    {"TranMode", "IDD_TRAN_PAGE", "Conversion", "Conversion &Mode:"},
    {"TranDir", "IDD_TRAN_PAGE", "Conversion", "Conversion &Direction:"},
    {"TranSpace", "IDD_TRAN_PAGE", "Conversion", "Interval between two frames:"},
    {"TranInfo", "IDD_TRAN_PAGE", "Conversion",
     "Allow a serial frame to contain CAN Frame Information"},
    {"TranID", "IDD_TRAN_PAGE", "Conversion", "Allow a serial frames to contain CAN Frame ID"},
    {"TranIdBase", "IDD_TRAN_PAGE", "Conversion", "Offset:"},
    {"TranLength", "IDD_TRAN_PAGE", "Conversion", "Length:"},
};

const PageField* PageFieldOf(std::string_view setting) {
    for (const PageField& f : kPageFields) {
        if (f.setting == setting) return &f;
    }
    return nullptr;
}

// A label as a name inside a sentence: no mnemonic ("&Parity:", "校验(&P):") and no colon.
std::string LabelName(std::string label) {
    if (const size_t open = label.find("(&");
        open != std::string::npos && label.find(')', open) == open + 3) {
        label.erase(open, 4);
    }
    if (const size_t amp = label.find('&'); amp != std::string::npos) label.erase(amp, 1);
    for (std::string_view colon : {":", "\xEF\xBC\x9A"}) {  // ":" and the full-width "："
        if (label.size() >= colon.size() &&
            label.compare(label.size() - colon.size(), colon.size(), colon) == 0) {
            label.erase(label.size() - colon.size());
        }
    }
    while (!label.empty() && label.back() == ' ') label.pop_back();
    return label;
}

// The value as the page shows it: the list's entry, the check box's state, the text or number.
std::string PageValue(DeviceConfig& config, const Setting& setting) {
    if (setting.kind == SettingKind::kHex) return text::Unbroken(*setting.text(config));
    const int32_t value = *setting.number(config);
    if (setting.kind == SettingKind::kList) {
        if (value < 0 || static_cast<size_t>(value) >= setting.entries.size())
            return std::to_string(value);
        const std::string entry(setting.entries[static_cast<size_t>(value)]);
        // Quoted as the language quotes.
        return text::Arg(fw::Translate("HeldDifferences", "\"%1\""),
                         {text::Unbroken(text::translate("lists", entry.c_str()))});
    }
    if (setting.name == "TranID" || setting.name == "TranInfo") {
        return value != 0 ? fw::Translate("HeldDifferences", "ticked")
                          : fw::Translate("HeldDifferences", "not ticked");
    }
    return std::to_string(value);
}

}  // namespace

std::vector<std::string> DescribeHeldDifferences(
    const DeviceConfig& wrote, const ConfigFrame& held,
    const std::vector<FrameFieldDifference>& differences) {
    DeviceConfig sent = wrote;
    DeviceConfig holds = wrote;
    ConfigFrame readable = held;  // decoded as the reply it was, whatever its check byte
    readable[kConfigFrameSize - 1] = XorCheck(readable.data(), kConfigFrameSize - 1);
    DecodeConfigFrame(readable, holds);

    std::vector<std::string> lines;
    for (const FrameFieldDifference& d : differences) {
        const Setting* setting = FindSetting(d.name);
        const PageField* field = PageFieldOf(d.name);
        std::string where = std::string(d.name);  // the frame's header or length: no page shows it
        std::string a = d.wrote;
        std::string b = d.holds;
        if (setting != nullptr && field != nullptr) {
            where = text::Arg(fw::Translate("HeldDifferences", "%1 page, %2"),
                              {fw::Translate(field->page, field->title),
                               LabelName(fw::Translate(field->page, field->label))});
            a = PageValue(sent, *setting);
            b = PageValue(holds, *setting);
            // The same on the page, other bits in the frame (mask bits below the identifier):
            // the bytes tell them apart.
            if (a == b) {
                a = text::Unbroken(d.wrote);
                b = text::Unbroken(d.holds);
            }
        }
        lines.push_back(
            text::Arg(fw::Translate("HeldDifferences", "%1: you wrote %2; the converter holds %3."),
                      {where, a, b}));
    }
    return lines;
}

}  // namespace linkmate
