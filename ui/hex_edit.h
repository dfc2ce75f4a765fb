// An edit that only lets the characters of hexadecimal byte text be typed: the hex digits of both
// cases, the blank, backspace, Ctrl+C and Ctrl+V. Typing and input-method text are filtered;
// pasted text, text set by the program, Delete, the arrow keys and the context menu work as in
// any edit.
#pragma once

#include "framework/control.h"

namespace linkmate {

namespace fw {
class CDialog;
}

class CHexEdit {
public:
    CHexEdit() = default;

    // Takes over the edit `id` of `parent`, as created from its template.
    bool SubclassDlgItem(int id, fw::CDialog* parent);
    bool IsAttached() const { return static_cast<bool>(m_edit); }
    fw::Edit edit() const { return m_edit; }

    static bool IsAccepted(int character);

private:
    fw::Edit m_edit;
};

}  // namespace linkmate
