// Standard output closed under the tool (`linkmate-cli export | head -c1`): a write must fail with
// an error the tool reports (exit status 4), not end the process by a signal.
#pragma once

namespace linkmate::cli {

void ReportBrokenPipeAsError();

}  // namespace linkmate::cli
