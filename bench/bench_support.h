// What the benchmarks share: the median of their runs, a configuration folder of their own, and
// running a program of the project quietly.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace linkmate::bench {

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Points XDG_CONFIG_HOME at a new, empty folder in the temporary folder, so that a benchmark never
// reads or changes the user's profile and port map. The folder, or empty when it cannot be made.
inline std::string UsePrivateConfigHome(const std::string& name) {
    std::string home = (std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string();
    if (::mkdtemp(home.data()) == nullptr) return std::string();
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    return home;
}

struct ProgramRun {
    double wallMs = -1;   // -1 when it could not be started or did not end with status 0
    double cpuMs = 0;     // the program's, user + system
    double ownCpuMs = 0;  // this process's meanwhile (the virtual converters it runs)
};

inline double Ms(const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; }

// Runs `program` with `args`, its output thrown away, and waits for it.
inline ProgramRun RunQuietly(const char* program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProgramRun run;
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const bool started = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started) return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return run;
    run.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.cpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    run.ownCpuMs =
        Ms(after.ru_utime) + Ms(after.ru_stime) - Ms(before.ru_utime) - Ms(before.ru_stime);
    return run;
}

}  // namespace linkmate::bench
