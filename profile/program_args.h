// The program's arguments and its own file name as UTF-8, the program's text. Windows hands main()
// its arguments in the ANSI code page, where a character the code page lacks becomes '?' (two
// Chinese names would then share one profile), so there they come from the wide-character
// command line and module file name instead; elsewhere argv is UTF-8 already.
#pragma once

#include <string>
#include <vector>

namespace linkmate {

class ProgramArgs {
public:
    ProgramArgs(int argc, char** argv);
    ProgramArgs(const ProgramArgs&) = delete;
    ProgramArgs& operator=(const ProgramArgs&) = delete;

    // For getopt_long: argv()[argc()] is null. The strings live as long as this object.
    int argc() const { return static_cast<int>(m_args.size()); }
    char** argv() { return m_argv.data(); }
    // The running program's file: as it was started on POSIX (a link or copy under another name
    // is a program, and a profile, of its own), the module's file on Windows.
    const std::string& executable() const { return m_executable; }

private:
    std::vector<std::string> m_args;
    std::vector<char*> m_argv;
    std::string m_executable;
};

}  // namespace linkmate
