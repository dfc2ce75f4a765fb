#include "run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace linkmate::testing {
namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& stdoutPath) {
    const std::string base =
        std::filesystem::temp_directory_path() / ("linkmate-run-" + std::to_string(::getpid()));
    const std::string out = base + ".out";
    const std::string err = base + ".err";
    const pid_t child = ::fork();
    if (child == 0) {
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(e, 2);
        ::close(e);
        if (stdoutPath == "-") {
            ::close(1);
        } else {
            const int o = ::open((stdoutPath.empty() ? out : stdoutPath).c_str(),
                                 O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(o, 1);
            ::close(o);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int wstatus = 0;
    ::waitpid(child, &wstatus, 0);
    ProgramRun run{WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1,
                   stdoutPath.empty() ? Slurp(out) : std::string(), Slurp(err)};
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

}  // namespace linkmate::testing
