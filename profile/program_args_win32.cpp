#include <windows.h>
#include <shellapi.h>

#include "profile/program_args.h"
#include "protocol/win32_text.h"

namespace linkmate {

ProgramArgs::ProgramArgs(int, char**) {
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) m_args.push_back(Narrow(wide[i]));
        LocalFree(wide);
    }
    for (std::string& arg : m_args) m_argv.push_back(arg.data());
    m_argv.push_back(nullptr);

    // The path may be longer than MAX_PATH; a full buffer means it was cut short.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) break;
        if (n < path.size()) {
            path.resize(n);
            m_executable = Narrow(path);
            break;
        }
        path.resize(path.size() * 2);
    }
    if (m_executable.empty() && !m_args.empty()) m_executable = m_args.front();
}

}  // namespace linkmate
