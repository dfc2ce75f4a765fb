#include "res/resources.h"

#include <map>

#include "framework/translate.h"
#include "protocol/config_lists.h"
#include "res/resource.h"

namespace linkmate::res {
namespace {

using fw::ControlKind;
using fw::ControlTemplate;
using fw::DialogTemplate;
using fw::IDC_STATIC;
using fw::kDisabled;
using fw::kGroup;
using fw::kNumberOnly;
using fw::kTabStop;
using fw::kWrap;

template <size_t N>
std::vector<std::string> Items(const std::array<std::string_view, N>& list) {
    return std::vector<std::string>(list.begin(), list.end());
}

ControlTemplate Label(const char* text, int x, int y, int cx, int cy, uint32_t style = 0) {
    return {ControlKind::kText, IDC_STATIC, text, x, y, cx, cy, kGroup | style, {}, 0};
}
ControlTemplate Line(int x, int y, int cx, int cy) {
    return {ControlKind::kEtchedLine, IDC_STATIC, "", x, y, cx, cy, 0, {}, 0};
}
ControlTemplate Icon(int resource, int x, int y, int cx, int cy) {
    return {ControlKind::kIcon, IDC_STATIC, "", x, y, cx, cy, 0, {}, resource};
}
ControlTemplate List(int id, int x, int y, int cx, int cy, std::vector<std::string> items,
                     uint32_t style = 0) {
    return {ControlKind::kDropDownList, id, "", x, y, cx, cy, kTabStop | style,
            std::move(items),           0};
}
ControlTemplate Edit(int id, int x, int y, int cx, int cy, uint32_t style = 0) {
    return {ControlKind::kEdit, id, "", x, y, cx, cy, kTabStop | style, {}, 0};
}
ControlTemplate Check(int id, const char* text, int x, int y, int cx, int cy) {
    return {ControlKind::kAutoCheckBox, id, text, x, y, cx, cy, kTabStop, {}, 0};
}
ControlTemplate Button(int id, const char* text, int x, int y, int cx, int cy,
                       bool isDefault = false) {
    return {isDefault ? ControlKind::kDefPushButton : ControlKind::kPushButton,
            id,
            text,
            x,
            y,
            cx,
            cy,
            kTabStop,
            {},
            0};
}
ControlTemplate UpDown(int id, int x, int y, int cx, int cy) {
    return {ControlKind::kUpDown, id, "", x, y, cx, cy, 0, {}, 0};
}

DialogTemplate Page(int id, const char* caption, const char* context,
                    std::vector<ControlTemplate> controls) {
    return {id, caption, 235, 156, "MS Shell Dlg", 8, true, true, std::move(controls), context};
}

}  // namespace

std::string LoadString(int id) {
    static const std::map<int, std::string> table = {
        {IDS_ABOUTBOX, TRANSLATE_NOOP("strings", "About LINKMATE(&A)...")},
        {IDS_SHEET_CAPTION, TRANSLATE_NOOP("strings", "Trellian v2.0")},
        {IDS_MSG_CAPTION, TRANSLATE_NOOP("strings", "Configration")},
    };
    const auto it = table.find(id);
    if (it == table.end()) return std::string();
    return fw::Translate("strings", it->second.c_str());
}

const DialogTemplate& ConnectPanelTemplate() {
    static const DialogTemplate tmpl{
        IDD_CONNECT_PANEL,
        "",
        248,
        68,
        "MS Shell Dlg",
        8,
        true,
        false,
        {
            Label(TRANSLATE_NOOP("IDD_CONNECT_PANEL", "&Device:"), 6, 50, 25, 8),
            Label(TRANSLATE_NOOP("IDD_CONNECT_PANEL", "COM &Port:"), 102, 50, 34, 8),
            List(IDC_DEVICE, 36, 48, 60, 96, Items(lists::DeviceType)),
            List(IDC_COM_PORT, 144, 48, 42, 126, Items(lists::ConfigPort)),
            {ControlKind::kPushButton,
             IDC_CONNECT,
             TRANSLATE_NOOP("IDD_CONNECT_PANEL", "&Connect"),
             193,
             48,
             50,
             14,
             kTabStop,
             {},
             0},
            {ControlKind::kBitmap, IDC_STATIC, "", 0, 0, 257, 43, 0, {}, IDB_BANNER},
            // The banner's subtitle, a text of its own so that it speaks the window's language.
            {ControlKind::kText,
             IDC_STATIC,
             TRANSLATE_NOOP("IDD_CONNECT_PANEL", "RS-232 / RS-485 ⇄ CAN converter configuration"),
             10,
             24,
             170,
             8,
             fw::kOnPicture,
             {},
             0},
        },
        "IDD_CONNECT_PANEL"};
    return tmpl;
}

const DialogTemplate& SerialPageTemplate() {
    static const DialogTemplate tmpl =
        Page(IDD_SERIAL_PAGE, TRANSLATE_NOOP("IDD_SERIAL_PAGE", "Serial"), "IDD_SERIAL_PAGE",
             {
                 List(IDC_SERIAL_BAUDRATE, 90, 18, 78, 132, Items(lists::SerialBaudrate)),
                 List(IDC_SERIAL_DATABITS, 90, 36, 78, 60, Items(lists::SerialDataBit), kDisabled),
                 List(IDC_SERIAL_PARITY, 90, 54, 78, 72, Items(lists::SerialParity)),
                 List(IDC_SERIAL_STOPBITS, 90, 72, 78, 54, Items(lists::SerialStopBit), kDisabled),
                 List(IDC_SERIAL_FLOWCTRL, 90, 90, 78, 72, Items(lists::SerialFlowCtrl), kDisabled),
                 Label(TRANSLATE_NOOP("IDD_SERIAL_PAGE", "Ba&udrate:"), 42, 20, 48, 8),
                 Label(TRANSLATE_NOOP("IDD_SERIAL_PAGE", "&Parity:"), 42, 56, 48, 8),
                 Label(TRANSLATE_NOOP("IDD_SERIAL_PAGE", "General"), 6, 2, 26, 8),
                 Icon(IDI_SERIAL_PAGE, 6, 18, 20, 20),
                 Line(42, 6, 186, 1),
                 Label(TRANSLATE_NOOP("IDD_SERIAL_PAGE", "bps"), 174, 20, 12, 8),
                 Label(TRANSLATE_NOOP("IDD_SERIAL_PAGE", "&Data Bit:"), 42, 38, 48, 8, kDisabled),
                 Label(TRANSLATE_NOOP("IDD_SERIAL_PAGE", "&Stop Bit:"), 42, 74, 48, 8, kDisabled),
                 Label(TRANSLATE_NOOP("IDD_SERIAL_PAGE", "&Flow Ctrl:"), 42, 92, 48, 8, kDisabled),
             });
    return tmpl;
}

const DialogTemplate& CanPageTemplate() {
    static const DialogTemplate tmpl =
        Page(IDD_CAN_PAGE, TRANSLATE_NOOP("IDD_CAN_PAGE", "CAN"), "IDD_CAN_PAGE",
             {
                 List(IDC_CAN_BAUDRATE, 90, 18, 42, 84, Items(lists::CanBaudrate)),
                 Edit(IDC_CAN_BTR0, 186, 18, 12, 12),
                 Edit(IDC_CAN_BTR1, 198, 18, 12, 12),
                 List(IDC_CAN_FRAME_FORMAT, 90, 36, 66, 36, Items(lists::CanFrameType)),
                 Edit(IDC_CAN_TX_ID, 108, 72, 54, 12),
                 List(IDC_CAN_FILTER_MODE, 108, 90, 48, 36, Items(lists::CanFiterMode)),
                 Check(IDC_CAN_CUSTOM_MASK, TRANSLATE_NOOP("IDD_CAN_PAGE", "C&ustom mask"), 162, 91,
                       58, 10),
                 Edit(IDC_CAN_ACCEPT_CODE, 108, 108, 54, 12),
                 Edit(IDC_CAN_ACCEPT_MASK, 108, 126, 54, 12),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "Baudr&ate:"), 42, 20, 42, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "&BTR0/1:"), 156, 20, 30, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "&Filter Mode:"), 42, 92, 66, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "Frame &Format:"), 42, 38, 48, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "&Identifier(Tx):"), 42, 74, 60, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "Acceptance &Code:"), 42, 110, 60, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "Acceptance &Mask:"), 42, 128, 60, 8),
                 Icon(IDI_CAN_PAGE, 6, 18, 20, 20),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "General"), 6, 2, 26, 8),
                 Line(42, 6, 185, 1),
                 Line(42, 60, 184, 1),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "Identifier"), 6, 56, 30, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "bps"), 135, 19, 12, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "(HEX)"), 165, 74, 19, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "(HEX)"), 165, 110, 19, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "(HEX)"), 165, 128, 19, 8),
                 Label(TRANSLATE_NOOP("IDD_CAN_PAGE", "(HEX)"), 210, 20, 19, 8),
                 Edit(IDC_CAN_ACCEPT_CODE1, 108, 108, 27, 12),
                 Edit(IDC_CAN_ACCEPT_CODE2, 135, 108, 27, 12),
                 Edit(IDC_CAN_ACCEPT_MASK1, 108, 126, 27, 12),
                 Edit(IDC_CAN_ACCEPT_MASK2, 135, 126, 27, 12),
             });
    return tmpl;
}

const DialogTemplate& TranPageTemplate() {
    static const DialogTemplate tmpl = Page(
        IDD_TRAN_PAGE, TRANSLATE_NOOP("IDD_TRAN_PAGE", "Conversion"), "IDD_TRAN_PAGE",
        {
            List(IDC_TRAN_MODE, 114, 18, 84, 78, Items(lists::TranMode)),
            List(IDC_TRAN_DIR, 114, 36, 84, 72, Items(lists::TranDir)),
            Check(IDC_TRAN_ALLOW_ID,
                  TRANSLATE_NOOP("IDD_TRAN_PAGE", "Allow a serial frames to contain CAN Frame ID"),
                  42, 84, 192, 10),
            Check(IDC_TRAN_ALLOW_INFO,
                  TRANSLATE_NOOP("IDD_TRAN_PAGE",
                                 "Allow a serial frame to contain CAN Frame Information"),
                  42, 72, 189, 10),
            Edit(IDC_TRAN_ID_OFFSET, 84, 114, 30, 12, kNumberOnly),
            UpDown(IDC_TRAN_ID_OFFSET_SPIN, 102, 120, 11, 12),
            Edit(IDC_TRAN_ID_LENGTH, 156, 114, 30, 12, kNumberOnly),
            UpDown(IDC_TRAN_ID_LENGTH_SPIN, 174, 120, 11, 12),
            Line(42, 60, 185, 1),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "Conversion"), 6, 56, 37, 8),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "Position of CAN Frame ID"), 42, 102, 82, 8),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "&Offset:"), 54, 116, 24, 8),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "&Length:"), 126, 116, 26, 8),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "Conversion &Mode:"), 42, 20, 72, 8),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "Conversion &Direction:"), 42, 38, 72, 8),
            Icon(IDI_TRAN_PAGE, 6, 18, 20, 20),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "General"), 6, 2, 26, 8),
            Line(42, 6, 186, 1),
            Edit(IDC_TRAN_SPACE, 144, 132, 30, 12, kNumberOnly),
            UpDown(IDC_TRAN_SPACE_SPIN, 174, 138, 11, 12),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "&Interval between two frames:"), 42, 134, 102,
                  8),
            Label(TRANSLATE_NOOP("IDD_TRAN_PAGE", "characters"), 176, 134, 40, 8),
        });
    return tmpl;
}

const DialogTemplate& AboutBoxTemplate() {
    static const DialogTemplate tmpl{
        IDD_ABOUTBOX,
        TRANSLATE_NOOP("IDD_ABOUTBOX", "关于 Trellian"),
        235,
        55,
        "Microsoft Sans Serif",
        8,
        false,
        false,
        {
            Icon(IDR_MAINFRAME, 12, 6, 20, 20),
            {ControlKind::kText,
             IDC_STATIC,
             TRANSLATE_NOOP("IDD_ABOUTBOX", "Trellian\nversion 2.0(full)"),
             42,
             6,
             132,
             18,
             0,
             {},
             0},
            {ControlKind::kText,
             IDC_STATIC,
             TRANSLATE_NOOP("IDD_ABOUTBOX", "Copyright (C) 2026 the LINKMATE developers"),
             42,
             30,
             168,
             8,
             0,
             {},
             0},
            {ControlKind::kDefPushButton,
             1,
             TRANSLATE_NOOP("IDD_ABOUTBOX", "确定"),
             178,
             7,
             50,
             16,
             kTabStop | kGroup,
             {},
             0},
        },
        "IDD_ABOUTBOX"};
    return tmpl;
}

const DialogTemplate& PortMapTemplate() {
    static const DialogTemplate tmpl{
        IDD_PORT_MAP,
        TRANSLATE_NOOP("CPortMapDlg", "Ports"),
        400,
        364,
        "MS Shell Dlg",
        8,
        false,
        false,
        {
            Label(TRANSLATE_NOOP("CPortMapDlg",
                                 "&COM ports (changes take effect at the next Connect):"),
                  7, 7, 386, 8),
            {ControlKind::kListView,
             IDC_PORTS_LIST,
             "",
             7,
             17,
             386,
             178,
             kTabStop,
             {"COM", TRANSLATE_NOOP("CPortMapDlg", "Device"),
              TRANSLATE_NOOP("CPortMapDlg", "What it is")},
             0},
            Label(TRANSLATE_NOOP("CPortMapDlg", "Serial &devices on this machine:"), 7, 201, 386,
                  8),
            {ControlKind::kListBox, IDC_PORTS_DEVICES, "", 7, 211, 386, 50, kTabStop, {}, 0},
            Button(IDC_PORTS_ASSIGN, TRANSLATE_NOOP("CPortMapDlg", "&Assign to selected COM"), 7,
                   267, 100, 14),
            Button(IDC_PORTS_FREE, TRANSLATE_NOOP("CPortMapDlg", "&Free selected COM"), 111, 267,
                   90, 14),
            Button(IDC_PORTS_REFRESH, TRANSLATE_NOOP("CPortMapDlg", "&Refresh"), 205, 267, 60, 14),
            Label(TRANSLATE_NOOP("CPortMapDlg",
                                 "Or a serial device ser&ver's port (rfc2217://HOST:PORT or "
                                 "socket://HOST:PORT):"),
                  7, 288, 386, 8),
            Edit(IDC_PORTS_ADDRESS, 7, 298, 258, 14),
            Button(IDC_PORTS_ASSIGN_ADDRESS,
                   TRANSLATE_NOOP("CPortMapDlg", "Assi&gn server to selected COM"), 269, 298, 124,
                   14),
            {ControlKind::kText, IDC_PORTS_STATUS, "", 7, 317, 386, 20, kWrap, {}, 0},
            Button(fw::IDCANCEL, TRANSLATE_NOOP("CPortMapDlg", "Close"), 343, 343, 50, 14),
        },
        "CPortMapDlg"};
    return tmpl;
}

const DialogTemplate& BitTimingTemplate() {
    static const DialogTemplate tmpl{
        IDD_BIT_TIMING,
        TRANSLATE_NOOP("CBitTimingDlg", "Bit timing calculator"),
        370,
        260,
        "MS Shell Dlg",
        8,
        false,
        false,
        {
            Label(TRANSLATE_NOOP("CBitTimingDlg", "&Bit rate:"), 7, 9, 80, 8),
            Edit(IDC_TIMING_RATE, 90, 7, 273, 12),
            Label(TRANSLATE_NOOP("CBitTimingDlg", "&Sample point (%):"), 7, 25, 80, 8),
            Edit(IDC_TIMING_SAMPLE_POINT, 90, 23, 273, 12),
            Button(IDC_TIMING_CALCULATE, TRANSLATE_NOOP("CBitTimingDlg", "&Calculate"), 7, 41, 60,
                   14, true),
            Label(TRANSLATE_NOOP("CBitTimingDlg", "&Register pairs"), 7, 61, 356, 8),
            {ControlKind::kListView,
             IDC_TIMING_PAIRS,
             "",
             7,
             71,
             356,
             106,
             kTabStop,
             {"BTR0", "BTR1", TRANSLATE_NOOP("CBitTimingDlg", "Bit rate (kbit/s)"),
              TRANSLATE_NOOP("CBitTimingDlg", "Error"),
              TRANSLATE_NOOP("CBitTimingDlg", "Sample point"),
              TRANSLATE_NOOP("CBitTimingDlg", "Quanta"), "SJW"},
             0},
            // The ip link lines of the chosen pair.
            {ControlKind::kText, IDC_TIMING_SOCKETCAN, "", 7, 181, 356, 30, kWrap, {}, 0},
            {ControlKind::kText,
             IDC_TIMING_STATUS,
             TRANSLATE_NOOP(
                 "CBitTimingDlg",
                 "Controller clock 16 MHz (SJA1000 registers). Nothing is sent until Write."),
             7,
             213,
             356,
             20,
             kWrap,
             {},
             0},
            Button(IDC_TIMING_USE, TRANSLATE_NOOP("CBitTimingDlg", "&Use"), 259, 239, 50, 14),
            Button(fw::IDCANCEL, TRANSLATE_NOOP("CBitTimingDlg", "Close"), 313, 239, 50, 14),
        },
        "CBitTimingDlg"};
    return tmpl;
}

const DialogTemplate& FindConverterTemplate() {
    static const DialogTemplate tmpl{
        IDD_FIND_CONVERTER,
        TRANSLATE_NOOP("CFindConverterDlg", "Find converter"),
        400,
        200,
        "MS Shell Dlg",
        8,
        false,
        false,
        {
            Label(TRANSLATE_NOOP("CFindConverterDlg", "&Converters on COM1 to COM8:"), 7, 7, 386,
                  8),
            {ControlKind::kListView,
             IDC_FIND_LIST,
             "",
             7,
             17,
             386,
             118,
             kTabStop,
             {"COM", TRANSLATE_NOOP("CFindConverterDlg", "Device"),
              TRANSLATE_NOOP("CFindConverterDlg", "Model"),
              TRANSLATE_NOOP("CFindConverterDlg", "Configuration")},
             0},
            {ControlKind::kText, IDC_FIND_STATUS, "", 7, 141, 386, 30, kWrap, {}, 0},
            Button(IDC_FIND_AGAIN, TRANSLATE_NOOP("CFindConverterDlg", "&Search again"), 7, 179, 70,
                   14),
            Button(IDC_FIND_USE, TRANSLATE_NOOP("CFindConverterDlg", "&Use"), 289, 179, 50, 14,
                   true),
            Button(fw::IDCANCEL, TRANSLATE_NOOP("CFindConverterDlg", "Close"), 343, 179, 50, 14),
        },
        "CFindConverterDlg"};
    return tmpl;
}

}  // namespace linkmate::res
