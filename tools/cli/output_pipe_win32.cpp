#include "tools/cli/output_pipe.h"

namespace linkmate::cli {

// Windows has no SIGPIPE: a write into a closed pipe fails with ERROR_NO_DATA as it is.
void ReportBrokenPipeAsError() {}

}  // namespace linkmate::cli
