#pragma once

#include "cli/cli_options.h"

namespace m797::cli {

// Each runs one command inside the running Qt application and returns the exit code.
int RunLive(const CliOptions& options);
int RunCodes(const CliOptions& options);
int RunClear(const CliOptions& options);
int RunReport(const CliOptions& options);
int RunProbe(const CliOptions& options);

}  // namespace m797::cli
