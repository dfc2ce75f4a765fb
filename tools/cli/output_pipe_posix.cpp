#include <csignal>

#include "tools/cli/output_pipe.h"

namespace linkmate::cli {

// With SIGPIPE ignored, a write into a pipe without a reader fails with EPIPE, which the output's
// error state carries to Finish.
void ReportBrokenPipeAsError() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace linkmate::cli
