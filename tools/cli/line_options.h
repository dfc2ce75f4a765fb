// The production line's options on linkmate-cli's command line.
#pragma once

#include <string_view>

#include "tools/cli/cli_table.h"
#include "tools/cli/options.h"

namespace linkmate::cli {

bool IsLineCommand(std::string_view command);
// 0 to go on, else the exit status.
int ApplyLineOption(OptionId id, const char* arg, Options& o);
// The line's options are given with the line's commands only, and what those need is there.
int CheckLineCommand(const Options& o);

}  // namespace linkmate::cli
