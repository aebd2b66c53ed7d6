#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "serial/ser_types.h"

namespace m797::serial {

// The device control block: every line setting the component applies, as one record.
struct TSerLineSettings {
  std::uint32_t baud_rate = 0;
  std::uint32_t flags = 0;  // kDcb... bits
  std::uint16_t xon_limit = 0;
  std::uint16_t xoff_limit = 0;
  std::uint8_t byte_size = 0;  // 4 .. 8
  std::uint8_t parity = 0;     // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t stop_bits = 0;  // 0 one, 1 one and a half, 2 two
  char xon_char = 0;
  char xoff_char = 0;
  char error_char = 0;
  char eof_char = 0;
  char event_char = 0;

  bool operator==(const TSerLineSettings&) const = default;
};

// The driver's queue state as the status query reports it.
struct TSerComStat {
  std::uint32_t in_queue = 0;   // bytes received and not yet read
  std::uint32_t out_queue = 0;  // bytes written and not yet sent
};

// How a blocking device operation ended.
enum class TSerIoStatus {
  Ok,
  TimedOut,   // the time given ran out first
  Cancelled,  // CancelWaits was called
  Failed,     // a passing failure: the same operation may be tried again
  Lost,       // the device failed for good (unplugged, hung up)
};

struct TSerIoResult {
  TSerIoStatus status = TSerIoStatus::Ok;
  int error = 0;             // platform error code when Failed or Lost
  int count = 0;             // bytes moved
  std::uint32_t events = 0;  // EV_ bits, for WaitEvent
};

// One open serial device.  The configuration calls, Read, Write, Escape and ClearErrors run on
// the main thread; WaitEvent runs on the event thread, WriteQueued on the write thread, and
// CancelWaits on any thread.  Configuration calls return 0 or the platform error code.
class TSerDevice {
 public:
  virtual ~TSerDevice() = default;

  virtual int ApplyLineSettings(const TSerLineSettings& settings) = 0;
  virtual int SetBufferSizes(int read_size, int write_size) = 0;
  // A read ends when all bytes asked for have come, or when more than 5 ms pass between two
  // bytes after the first; the read itself has no total time-out.
  virtual int SetTimeouts() = 0;
  virtual int SetEventMask(std::uint32_t mask) = 0;
  virtual int Escape(TSerEscape code) = 0;
  // Reads and clears the line error flags (CE_ bits) and reports the queues.
  virtual int ClearErrors(std::uint32_t& errors, TSerComStat& status) = 0;

  // Reads as the timeouts above say, waiting at most timeout_ms in all.  Bytes that have come
  // when the time runs out are returned, never dropped.
  virtual TSerIoResult Read(std::uint8_t* data, int count, int timeout_ms) = 0;
  // Writes, waiting at most timeout_ms; the count says how many bytes were taken.
  virtual TSerIoResult Write(const std::uint8_t* data, int count, int timeout_ms) = 0;

  // Waits for one of the events of the mask; received bytes are reported only when further
  // bytes arrive.  Ends with Cancelled once CancelWaits has been called.
  virtual TSerIoResult WaitEvent() = 0;
  // Writes at least one byte of data, waiting as long as the device needs, or until
  // CancelWaits.  Nothing of the operation is pending when it returns.
  virtual TSerIoResult WriteQueued(const std::uint8_t* data, int count) = 0;
  // Ends the current and every later WaitEvent and WriteQueued.
  virtual void CancelWaits() = 0;
};

// True for a platform error after which the device never works again through the same opening
// (unplugged, hung up).
bool IsDeviceLostError(int error);

// Opens the device that name stands for, exclusively.  On failure returns nothing and sets
// error to the platform error code; a missing device gives kErrorFileNotFound.
std::unique_ptr<TSerDevice> OpenSerialDevice(const std::string& name, int& error);
inline constexpr int kErrorFileNotFound = 2;  // ENOENT and ERROR_FILE_NOT_FOUND alike
// One sentence that tells the user how to get past a failed open of the device that name stands
// for, such as the group to join after a permission error; empty when there is nothing to say.
std::string OpenFailureAdvice(const std::string& name, int error);

// Sets the priority of a running component thread, named by the id that CurrentThreadId gave
// inside it; best effort, as raising a priority may need rights the program lacks.
void SetThreadPriorityById(std::uint64_t thread_id, TThreadPriority priority);
std::uint64_t CurrentThreadId();

}  // namespace m797::serial
