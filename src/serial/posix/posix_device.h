#pragma once

#include <linux/serial.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "serial/serial_device.h"

namespace m797::serial {

// A terminal device opened exclusively, in non-blocking mode.  The event thread waits on an
// edge-triggered epoll set, so received bytes wake it only when further bytes arrive; an eventfd
// in the same set, and in every other wait of a thread, makes CancelWaits end those waits.
class TSerPosixDevice : public TSerDevice {
 public:
  static std::unique_ptr<TSerPosixDevice> Open(const std::string& path, int& error);
  ~TSerPosixDevice() override;

  int ApplyLineSettings(const TSerLineSettings& settings) override;
  int SetBufferSizes(int read_size, int write_size) override;
  int SetTimeouts() override;
  int SetEventMask(std::uint32_t mask) override;
  int Escape(TSerEscape code) override;
  int ClearErrors(std::uint32_t& errors, TSerComStat& status) override;
  TSerIoResult Read(std::uint8_t* data, int count, int timeout_ms) override;
  TSerIoResult Write(const std::uint8_t* data, int count, int timeout_ms) override;
  TSerIoResult WaitEvent() override;
  TSerIoResult WriteQueued(const std::uint8_t* data, int count) override;
  void CancelWaits() override;

 private:
  TSerPosixDevice(int fd, int cancel_fd, int epoll_fd, bool is_pty);
  int ModemLineCall(unsigned long request, int bits);

  const int fd_;
  const int cancel_fd_;  // eventfd, readable once CancelWaits has run
  const int epoll_fd_;   // the device and cancel_fd_; used by the event thread only
  const bool is_pty_;    // a pseudo-terminal: no modem lines, break ignored
  bool device_in_epoll_ = false;
  // The control modes of DTR and RTS that the lines were last set for; none before the first
  // line setup of the opening.
  std::optional<std::uint32_t> dtr_control_;
  std::optional<std::uint32_t> rts_control_;
  struct serial_icounter_struct counts_ = {};  // error counters at the last status query
  bool counters_known_ = false;
};

}  // namespace m797::serial
