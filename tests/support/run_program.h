// Runs a program of this project as a script would: arguments, standard output to a file (or
// captured, or closed), standard error captured, the exit status.
#pragma once

#include <string>
#include <vector>

namespace linkmate::testing {

struct ProgramRun {
    int status = -1;  // the exit status; -1 when it did not exit normally
    std::string out;  // what it wrote to standard output, when captured
    std::string err;
};

// `stdoutPath`: empty to capture standard output, "-" to start the program with it closed, else
// a file (such as /dev/full) to send it to.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& stdoutPath = {});

}  // namespace linkmate::testing
