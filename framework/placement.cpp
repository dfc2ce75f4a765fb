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

}  // namespace linkmate::fw
