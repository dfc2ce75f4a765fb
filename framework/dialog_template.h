// Dialog templates: every control of a window with its identifier, kind, text, position and size
// in dialog units, styles and initial list data, as the resources describe them. Windows are built
// from these, never laid out by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace linkmate::fw {

inline constexpr int IDC_STATIC = -1;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

enum class ControlKind {
    kText,          // left-aligned static text
    kIcon,          // static icon, `resource` names it
    kBitmap,        // static picture, `resource` names it; shown at the bitmap's own size
    kEtchedLine,    // etched horizontal line
    kDropDownList,  // drop-down list; its height includes the opened list
    kEdit,
    kPushButton,
    kDefPushButton,
    kAutoCheckBox,
    kUpDown,    // up-down control bound to the control before it, aligned at its right edge
    kListView,  // report list: `items` are the column headers; whole rows, one selected at a time
    kListBox,   // list box with one selection
};

enum ControlStyle : uint32_t {
    kDisabled = 1u << 0,
    kHidden = 1u << 1,
    kTabStop = 1u << 2,
    kNumberOnly = 1u << 3,  // edit: only digits can be typed
    kGroup = 1u << 4,
    kWrap = 1u << 5,       // text: words wrap within the control's width
    kOnPicture = 1u << 6,  // text: drawn over the picture before it, light on its dark ground
};

struct ControlTemplate {
    ControlKind kind;
    int id;
    std::string text;  // UTF-8
    int x, y, cx, cy;  // dialog units
    uint32_t style = 0;
    std::vector<std::string> items;  // initial list data of a drop-down list
    int resource = 0;                // icon or bitmap
};

struct DialogTemplate {
    int id;
    std::string caption;  // the tab label of a page, the title of a pop-up
    int cx, cy;           // dialog units
    std::string fontName;
    int pointSize;
    bool child;     // child window without caption or border; else a pop-up with caption
    bool disabled;  // created disabled (pages)
    std::vector<ControlTemplate> controls;
    // The translation context of the template's texts (its resource name, "IDD_CAN_PAGE"); list
    // entries are translated in the context "lists".
    std::string context;
};

}  // namespace linkmate::fw
