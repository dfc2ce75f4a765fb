// The message box that carries details: the task dialog shows them in the proportional font of
// its footer and cannot be resized, so this box is a window of our own, laid out as the other
// backend's box is.
#pragma once

#include "framework/message_box.h"
#include "framework/win32/message_loop_w.h"

namespace linkmate::fw::win32 {

// Shows `call` (its `details` not empty) modal over `owner`; the answer as ShowMessageBox gives
// it.
int ShowDetailsBox(const MessageBoxCall& call, HWND owner);

}  // namespace linkmate::fw::win32
