// What a screen reader says about a window, given to the system's accessibility layer.
#pragma once

#include <string>

#include "framework/win32/win32_api.h"

namespace linkmate::fw::win32 {

// A control's name (its label: USER32 would take the text that stands before it in the window
// order, which the tab order rearranges) or a window's description (the sheet's status line).
// Nothing happens where the system has no such layer.
void SetAccessibleName(HWND window, const std::string& name);
void SetAccessibleDescription(HWND window, const std::string& description);

}  // namespace linkmate::fw::win32
