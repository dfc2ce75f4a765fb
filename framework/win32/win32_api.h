// The Windows headers as the backend includes them: wide-character API only, and without the
// macros that would rename the framework's own functions of the same names (MessageBox,
// GetWindowText, ...) in the files that include both.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
#include <commctrl.h>

#undef MessageBox
#undef GetWindowText
#undef SetWindowText
#undef LoadString
#undef CreateDialog
// The framework names the standard command identifiers itself, with the same values.
#undef IDOK
#undef IDCANCEL
#undef IDHELP

#include <string>

#include "protocol/win32_text.h"

namespace linkmate::fw::win32 {

// UTF-8, the program's text, and UTF-16, the API's: the core's conversions.
using linkmate::Narrow;
using linkmate::Widen;
// The first `length` characters of an API buffer; nothing for a length the API gave as 0 or less.
inline std::string Narrow(const wchar_t* text, int length) {
    return length > 0 ? Narrow(std::wstring_view(text, static_cast<size_t>(length)))
                      : std::string();
}

// A window's text, UTF-8.
std::string WindowText(HWND window);

}  // namespace linkmate::fw::win32
