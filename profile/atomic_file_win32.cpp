#include <windows.h>

#include <algorithm>
#include <random>

#include "profile/atomic_file.h"
#include "protocol/text.h"
#include "protocol/win32_text.h"

namespace linkmate {
namespace {

bool Fail(std::string* error, const std::string& what, DWORD failure) {
    if (error != nullptr) *error = what + ": " + SystemMessage(failure);
    return false;
}

class File {
public:
    explicit File(HANDLE handle) : m_handle(handle) {}
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    HANDLE get() const { return m_handle; }
    bool Close() {
        const bool closed = m_handle == INVALID_HANDLE_VALUE || CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

// A folder, a device (NUL, COM1) or a pipe at the path is never replaced by a file.
bool HoldsOtherThanAFile(const std::string& path) {
    const HANDLE handle =
        CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;  // nothing there yet: it is created
    File file(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool folder = GetFileInformationByHandle(file.get(), &info) &&
                        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return folder || GetFileType(file.get()) != FILE_TYPE_DISK;
}

}  // namespace

// Files on Windows carry the folder's permissions, so `shareable` has nothing to change.
bool ReplaceFileAtomically(const std::string& path, std::string_view text, bool, std::string* error,
                           const std::function<void()>& beforeRename) {
    if (HoldsOtherThanAFile(path)) {
        if (error != nullptr)
            *error = text::Arg(text::translate("Profile", "%1 is not a regular file"), {path});
        return false;
    }
    const size_t slash = path.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::random_device random;
    std::string temp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    // <path>.XXXXXX, created only if no such file exists, as mkstemp does.
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        static constexpr char kLetters[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        temp = path + ".";
        for (int i = 0; i < 6; ++i) temp += kLetters[random() % (sizeof kLetters - 1)];
        handle = CreateFileW(Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return Fail(error,
                    text::Arg(text::translate("Profile", "cannot create a file in %1"), {dir}),
                    GetLastError());
    }
    File file(handle);
    bool written = true;
    while (written && !text.empty()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 1u << 20));
        written = WriteFile(file.get(), text.data(), chunk, &n, nullptr) && n > 0;
        text.remove_prefix(n);
    }
    written = written && FlushFileBuffers(file.get());
    DWORD failure = GetLastError();
    if (!file.Close() && written) {
        written = false;
        failure = GetLastError();
    }
    if (!written) {
        DeleteFileW(Widen(temp).c_str());
        return Fail(error, text::Arg(text::translate("Profile", "cannot write %1"), {temp}),
                    failure);
    }
    if (beforeRename) beforeRename();
    if (!MoveFileExW(Widen(temp).c_str(), Widen(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = GetLastError();
        DeleteFileW(Widen(temp).c_str());
        return Fail(error, text::Arg(text::translate("Profile", "cannot replace %1"), {path}),
                    failure);
    }
    return true;
}

}  // namespace linkmate
