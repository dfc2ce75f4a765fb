#include <windows.h>

#include "profile/input_file.h"
#include "protocol/text.h"
#include "protocol/win32_text.h"

namespace linkmate {
namespace {

bool Fail(std::string* error, const std::string& text) {
    if (error != nullptr) *error = text;
    return false;
}

bool ReadAll(HANDLE handle, const std::string& path, size_t limit, std::string& bytes,
             std::string* error) {
    bytes.clear();
    char chunk[65536];
    while (bytes.size() <= limit) {
        DWORD n = 0;
        if (!ReadFile(handle, chunk, sizeof chunk, &n, nullptr)) {
            const DWORD failure = GetLastError();
            if (failure == ERROR_BROKEN_PIPE) break;  // the writer of standard input has finished
            return Fail(error, path + ": " + SystemMessage(failure));
        }
        if (n == 0) break;
        bytes.append(chunk, n);
    }
    if (bytes.size() > limit + 1) bytes.resize(limit + 1);
    return true;
}

}  // namespace

bool ReadInputFile(const std::string& path, size_t limit, std::string& bytes, std::string* error) {
    if (path == "-") {
        return ReadAll(GetStdHandle(STD_INPUT_HANDLE),
                       text::translate("ConfigFile", "standard input"), limit, bytes, error);
    }
    // Backup semantics open a folder too, so that it can be told apart from a missing file.
    const HANDLE handle =
        CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Fail(error, path + ": " + SystemMessage(GetLastError()));
    BY_HANDLE_FILE_INFORMATION info{};
    const bool folder = GetFileInformationByHandle(handle, &info) &&
                        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder || GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return Fail(error,
                    text::Arg(folder ? text::translate("ConfigFile", "%1: a folder, not a file")
                                     : text::translate("ConfigFile", "%1: not a regular file"),
                              {path}));
    }
    const bool ok = ReadAll(handle, path, limit, bytes, error);
    CloseHandle(handle);
    return ok;
}

}  // namespace linkmate
