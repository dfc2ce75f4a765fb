#include "framework/placement.h"

#include <algorithm>

namespace linkmate::fw {

Rect CentredOn(const Rect& owner, Size size, const Rect& workArea) {
    const Rect& around = owner.width > 0 && owner.height > 0 ? owner : workArea;
    int x = around.x + (around.width - size.width) / 2;
    int y = around.y + (around.height - size.height) / 2;
    x = std::max(workArea.x, std::min(x, workArea.right() - size.width));
    y = std::max(workArea.y, std::min(y, workArea.bottom() - size.height));
    return {x, y, size.width, size.height};
}

bool FitsItsText(const ControlTemplate& c) {
    if (c.kind == ControlKind::kAutoCheckBox) return true;
    return c.kind == ControlKind::kText && (c.style & kWrap) == 0 &&
           c.text.find('\n') == std::string::npos;
}

int FittedWidth(const ControlTemplate& c, int templateWidth, int needed) {
    return FitsItsText(c) ? std::max(templateWidth, needed) : templateWidth;
}

int LaidOutX(const DialogTemplate& tmpl, size_t index) {
    // The least gap, in dialog units, between a field and the label after it.
    constexpr int kLabelGap = 2;
    const ControlTemplate& c = tmpl.controls[index];
    if (c.kind != ControlKind::kText) return c.x;
    int x = c.x;
    for (const ControlTemplate& field : tmpl.controls) {
        // An up-down control stands inside its edit, wherever its template puts it.
        const bool input =
            field.kind == ControlKind::kEdit || field.kind == ControlKind::kDropDownList;
        // A drop-down list's template height includes its opened list: its row is its top.
        const int fieldBottom =
            field.kind == ControlKind::kDropDownList ? field.y + c.cy : field.y + field.cy;
        const bool sameRow = field.y < c.y + c.cy && c.y < fieldBottom;
        const int right = field.x + field.cx;
        if (input && sameRow && field.x < c.x && right > c.x - kLabelGap)
            x = std::max(x, right + kLabelGap);
    }
    return x;
}

}  // namespace linkmate::fw
