#include "framework/win32/win32_api.h"

namespace linkmate::fw::win32 {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    return Narrow(text.data(), got);
}

}  // namespace linkmate::fw::win32
