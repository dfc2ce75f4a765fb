#pragma once

#include "framework/win32/win32_api.h"

namespace linkmate::fw::win32 {

// The PNG resource `resource` as a bitmap for a static picture; nullptr when it is missing.
HBITMAP LoadPngBitmap(int resource);

}  // namespace linkmate::fw::win32
