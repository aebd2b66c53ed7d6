#include <windows.h>

#include <QMetaObject>
#include <mutex>
#include <stdexcept>

#include "cli/stop_signals.h"

namespace m797::cli {

namespace {

// The system runs the console control handler on a thread of its own; it posts the stop to the
// receiver, which the event loop's thread makes and deletes.  Guards g_receiver and g_on_stop.
std::mutex g_mutex;
QObject* g_receiver = nullptr;
const std::function<void()>* g_on_stop = nullptr;

bool EndsTheProcessOnReturn(DWORD event) {
  return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

BOOL WINAPI OnControlEvent(DWORD event) {
  {
    const std::lock_guard lock(g_mutex);
    if (!g_receiver) return FALSE;  // no run: the default handling, which ends the process
    // Posted events to a receiver are dropped when it is deleted, so the call never outlives
    // the StopSignals whose function it calls.
    const std::function<void()>* on_stop = g_on_stop;
    QMetaObject::invokeMethod(
        g_receiver, [on_stop] { (*on_stop)(); }, Qt::QueuedConnection);
  }
  // After a closed console window, a logoff or a shutdown, the system ends the process as soon as
  // this handler returns, and in any case a few seconds later.  So it does not return: the run
  // stops as on the stop button, writes and closes its outputs, and main's return ends the
  // process, this thread with it.
  if (EndsTheProcessOnReturn(event)) Sleep(INFINITE);
  return TRUE;
}

}  // namespace

StopSignals::StopSignals(std::function<void()> on_stop) : on_stop_(std::move(on_stop)) {
  // Added once and never removed: the system calls the handlers under a lock of its own, which a
  // removal would wait for while a handler waits for the end of the process.
  static const bool added = SetConsoleCtrlHandler(OnControlEvent, TRUE);
  if (!added) throw std::runtime_error("SetConsoleCtrlHandler failed");
  const std::lock_guard lock(g_mutex);
  if (g_receiver) throw std::logic_error("StopSignals exists already");
  receiver_ = std::make_unique<QObject>();
  g_receiver = receiver_.get();
  g_on_stop = &on_stop_;
}

StopSignals::~StopSignals() {
  {
    const std::lock_guard lock(g_mutex);
    g_receiver = nullptr;
    g_on_stop = nullptr;
  }
  receiver_.reset();
}

}  // namespace m797::cli
