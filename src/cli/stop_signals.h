#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace m797::cli {

// Turns the console's stop requests into a call on the event loop's thread, after the handler that
// the system runs for them has returned: on Linux SIGINT (Ctrl-C), SIGTERM and SIGHUP; on Windows
// the console control events Ctrl-C, Ctrl-Break and the closing of the console window (or the
// user's logoff or the system's shutdown), for which the program is given its few seconds to stop
// and close its outputs.  One at a time: the handlers are the process's own.
class StopSignals {
 public:
  explicit StopSignals(std::function<void()> on_stop);
  ~StopSignals();  // puts the default handling back
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  std::function<void()> on_stop_;
  // Lives on the event loop's thread; the call on a stop request is posted to it.
  std::unique_ptr<QObject> receiver_;
};

}  // namespace m797::cli
