#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace m797::cli {

// Turns SIGINT (Ctrl-C), SIGTERM and SIGHUP into a call on the event loop's thread, after the
// handler that runs when the signal comes has returned.  One at a time: the signal handlers write
// to one pipe.
class StopSignals {
 public:
  explicit StopSignals(std::function<void()> on_stop);
  ~StopSignals();  // puts the default handlers back
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  std::function<void()> on_stop_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace m797::cli
