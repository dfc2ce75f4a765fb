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

namespace linkmate::fw::win32 {

// UTF-8, the program's text, and UTF-16, the API's.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text, int length);

// A window's text, UTF-8.
std::string WindowText(HWND window);

}  // namespace linkmate::fw::win32
