#include "profile/program_args.h"

namespace linkmate {

ProgramArgs::ProgramArgs(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) m_args.emplace_back(argv[i]);
    for (std::string& arg : m_args) m_argv.push_back(arg.data());
    m_argv.push_back(nullptr);
    m_executable = m_args.empty() ? std::string() : m_args.front();
}

}  // namespace linkmate
