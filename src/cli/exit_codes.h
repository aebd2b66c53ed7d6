#pragma once

namespace m797::cli {

// What the console program's exit status tells a script.
enum ExitCode : int {
  kExitOk = 0,
  kExitFailed = 1,         // the line or an output file failed during the run
  kExitUsage = 2,          // unknown command or option, or a bad value
  kExitPortNotOpened = 3,  // the port cannot be opened; the serial component's message on stderr
  kExitNoAnswer = 4,       // the controller did not answer (or not what was asked for)
  kExitBadInput = 5,       // a recording that cannot be read
  kExitInterrupted = 130,  // Ctrl-C before codes or clear were done (live then ends with 0)
};

}  // namespace m797::cli
