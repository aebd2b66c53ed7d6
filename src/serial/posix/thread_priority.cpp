#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "serial/serial_device.h"

namespace m797::serial {

namespace {
// Nice values standing for the seven levels, idle to time-critical.
constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};
}  // namespace

std::uint64_t CurrentThreadId() {
  return static_cast<std::uint64_t>(syscall(SYS_gettid));
}

void SetThreadPriorityById(std::uint64_t thread_id, TThreadPriority priority) {
  // Raising a priority needs CAP_SYS_NICE; without it the thread keeps its level.
  setpriority(PRIO_PROCESS, static_cast<id_t>(thread_id), kNice[static_cast<int>(priority)]);
}

}  // namespace m797::serial
