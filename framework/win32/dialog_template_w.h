// A dialog template of the framework as the dialog manager takes it: a DLGTEMPLATEEX built in
// memory, with the template's font and every control with its window class and styles, so that
// dialog units mean here what they mean in a resource file.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/win32/win32_api.h"

namespace linkmate::fw::win32 {

// How the dialog's own window is made.
struct DialogFrame {
    DWORD style = 0;
    DWORD exStyle = 0;
    bool withControls = true;  // false: the frame and its font only (for measuring)
};

// The bytes of the template, DWORD-aligned as CreateDialogIndirectParamW needs them.
std::vector<DWORD> BuildDialogTemplate(const DialogTemplate& tmpl, const DialogFrame& frame);

// The window class and styles of a control of `kind` with the framework's `style` bits.
const wchar_t* ControlClass(ControlKind kind);
DWORD ControlStyle(const ControlTemplate& control);

}  // namespace linkmate::fw::win32
