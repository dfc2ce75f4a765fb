#include <windows.h>

#include "app/display.h"
#include "protocol/win32_text.h"

namespace linkmate {

// A Windows program always runs on a desktop.
bool HaveDisplay() { return true; }

void TellOperator(const std::string& text, bool error) {
    // Output sent to a file or a pipe by whoever started the program.
    const HANDLE redirected = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (redirected != nullptr && redirected != INVALID_HANDLE_VALUE &&
        GetFileType(redirected) != FILE_TYPE_UNKNOWN && GetFileType(redirected) != FILE_TYPE_CHAR) {
        DWORD written = 0;
        WriteFile(redirected, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // The console of the command prompt it was started from.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        const HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (console != INVALID_HANDLE_VALUE) {
            std::wstring wide = Widen(text);
            // The prompt has already been printed: the text starts on a line of its own.
            wide.insert(0, L"\r\n");
            DWORD written = 0;
            WriteConsoleW(console, wide.c_str(), static_cast<DWORD>(wide.size()), &written,
                          nullptr);
            CloseHandle(console);
            FreeConsole();
            return;
        }
        FreeConsole();
    }
    MessageBoxW(nullptr, Widen(text).c_str(), L"linkmate",
                MB_OK | (error ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

}  // namespace linkmate
