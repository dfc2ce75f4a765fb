#pragma once

#include "framework/win32/win32_api.h"

namespace linkmate::fw::win32 {

// The PNG resource `resource` as a bitmap for a static picture, drawn for `dpi` (the picture is
// made for 96 dpi and grows with the dialog's font at higher settings); nullptr when it is
// missing.
HBITMAP LoadPngBitmap(int resource, int dpi = 96);

}  // namespace linkmate::fw::win32
