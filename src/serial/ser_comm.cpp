#include "serial/ser_comm.h"

#include <climits>
#include <iostream>
#include <thread>

#include "serial/ser_comm_threads.h"
#include "serial/ser_const.h"

namespace m797::serial {

namespace {

constexpr std::chrono::milliseconds kClosePause(300);

void WriteToStderr(const std::string& message) {
  std::cerr << message << std::endl;
}

void Sleep(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

}  // namespace

TSerCustomComm::TSerCustomComm(MainThreadDispatcher& dispatcher)
    : dispatcher_(dispatcher),
      exception_handler_(WriteToStderr),
      pause_(Sleep),
      buffers_(std::make_unique<TSerBuffers>()),
      event_chars_(std::make_unique<TSerEventChars>()),
      flow_control_(std::make_unique<TSerFlowControl>()) {
  buffers_->SetOnChange([this] { BuffersChanged(); });
  event_chars_->SetOnChange([this] { ApplyDCB(); });
  flow_control_->SetOnChange([this] { ApplyDCB(); });
}

TSerCustomComm::~TSerCustomComm() {
  destroying_ = true;
  try {
    ClosePort();
  } catch (...) {
    // Nothing can be reported from a destructor; the device is closed all the same.
  }
  receivers_.clear();
}

void TSerCustomComm::CheckClosed() const {
  if (PortOpen()) throw ESerCommError(msg::kPortOpen);
}

std::string TSerCustomComm::DevicePath() const {
  return FillTemplate(device_name_, {std::to_string(port_num_)});
}

void TSerCustomComm::OpenPort() {
  CheckClosed();
  OpenDevice();
  try {
    ApplyDCB();
    ApplyBufferSizes();
    ApplyTimeouts();
    ApplyEventMask();
    StartThreads();
    if (on_open_) {
      try {
        on_open_(this);
      } catch (...) {
        HandleCurrentException();
      }
    }
  } catch (...) {
    StopThreads();
    CloseDevice();
    throw;
  }
}

void TSerCustomComm::OpenDevice() {
  const std::string path = DevicePath();
  int error = 0;
  std::unique_ptr<TSerDevice> device = OpenSerialDevice(path, error);
  if (!device) {
    if (error == kErrorFileNotFound) {
      throw ESerCommError(FillTemplate(msg::kDeviceNotFound, {path}));
    }
    std::string message = FillTemplate(std::string(msg::kCantOpen) + msg::kErrorSuffix,
                                       {path, std::to_string(error), SystemErrorText(error)});
    if (const std::string advice = OpenFailureAdvice(path, error); !advice.empty()) {
      message += ". " + advice;
    }
    throw ESerCommError(message);
  }
  device_ = std::move(device);
  ++open_count_;
  lost_error_ = 0;
}

void TSerCustomComm::CloseDevice() {
  device_.reset();
}

void TSerCustomComm::StartThreads() {
  const TSerThreadContext context{*this, *device_, dispatcher_};
  if (event_mask_ != 0) {
    event_thread_ = std::make_unique<TSerCommEventThread>(context);
    event_thread_->Start(event_priority_);
  }
  if (!direct_write_) {
    write_thread_ =
        std::make_unique<TSerCommWriteThread>(context, write_lock_, buffers_->WriteSize());
    write_thread_->Start(write_priority_);
  }
}

// Stops both threads, then waits for both.  A thread blocked in a hand-over gives it up, so this
// also works from inside a handler that a thread is waiting for.
void TSerCustomComm::StopThreads() {
  if (event_thread_) event_thread_->Stop();
  if (write_thread_) write_thread_->Stop();
  event_thread_.reset();
  write_thread_.reset();
}

void TSerCustomComm::ClosePort() {
  if (!PortOpen()) return;
  {
    std::lock_guard guard(read_lock_);
    StopThreads();
  }
  CloseDevice();
  if (!destroying_) Fire(on_close_);
  pause_(kClosePause);
}

TSerLineSettings TSerCustomComm::BuildLineSettings() const {
  TSerLineSettings s;
  s.baud_rate = baudrate_ == TSerBaudrate::brUser
                    ? static_cast<std::uint32_t>(user_baudrate_ < 0 ? 0 : user_baudrate_)
                    : BaudrateValue(baudrate_);
  const TSerFlowControl& flow = *flow_control_;
  std::uint32_t flags = kDcbBinary;
  if (flow.OutCtsFlow()) flags |= kDcbOutxCtsFlow;
  if (flow.OutDsrFlow()) flags |= kDcbOutxDsrFlow;
  flags |= static_cast<std::uint32_t>(flow.ControlDtr()) << kDcbDtrControlShift;
  flags |= static_cast<std::uint32_t>(flow.ControlRts()) << kDcbRtsControlShift;
  if (flow.XonXoffOut()) flags |= kDcbOutX;
  if (flow.XonXoffIn()) flags |= kDcbInX;
  if (flow.DsrSensitivity()) flags |= kDcbDsrSensitivity;
  if (flow.TxContinueOnXoff()) flags |= kDcbTxContinueOnXoff;
  if (options_.Contains(TSerCommOption::coErrorChar)) flags |= kDcbErrorChar;
  if (options_.Contains(TSerCommOption::coNullStrip)) flags |= kDcbNull;
  if (options_.Contains(TSerCommOption::coParityCheck)) flags |= kDcbParity;
  s.flags = flags;
  s.xon_limit = static_cast<std::uint16_t>(buffers_->XonLimit() & 0xFFFF);
  s.xoff_limit = static_cast<std::uint16_t>(buffers_->XoffLimit() & 0xFFFF);
  s.byte_size = static_cast<std::uint8_t>(4 + static_cast<int>(databits_));
  s.parity = static_cast<std::uint8_t>(parity_);
  s.stop_bits = static_cast<std::uint8_t>(stopbits_);
  s.xon_char = event_chars_->XonChar();
  s.xoff_char = event_chars_->XoffChar();
  s.error_char = event_chars_->ErrorChar();
  s.eof_char = event_chars_->EofChar();
  s.event_char = event_chars_->EventChar();
  return s;
}

void TSerCustomComm::ApplyDCB() {
  if (!DeviceWorks() || !update_dcb_) return;
  CheckDeviceResult(device_->ApplyLineSettings(BuildLineSettings()), msg::kWriteDcb);
}

void TSerCustomComm::ApplyBufferSizes() {
  if (!PortOpen()) return;
  CheckCommResult(device_->SetBufferSizes(buffers_->ReadSize(), buffers_->WriteSize()),
                  msg::kInitBuffers);
}

void TSerCustomComm::ApplyTimeouts() {
  if (!PortOpen()) return;
  CheckCommResult(device_->SetTimeouts(), msg::kSetTimeouts);
}

void TSerCustomComm::ApplyEventMask() {
  std::uint32_t mask = 0;
  for (int e = 0; e <= static_cast<int>(TSerCommEvent::ceEvent2); ++e) {
    const auto event = static_cast<TSerCommEvent>(e);
    if (monitor_events_.Contains(event)) mask |= EventBit(event);
  }
  // In queued mode the write thread reports the empty transmit side itself.
  if (!direct_write_) mask &= ~kEvTxEmpty;
  event_mask_ = mask;
  if (PortOpen()) CheckCommResult(device_->SetEventMask(mask), msg::kSetEventMask);
}

int TSerCustomComm::SendBytes(const void* data, int count) {
  if (!DeviceWorks() || data == nullptr || count <= 0) return 0;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (!direct_write_) {
    if (!write_thread_->QueueData(bytes, count, buffers_->WriteTimeout())) {
      throw ESerCommError(msg::kOutputFull);
    }
    return count;
  }
  std::lock_guard guard(write_lock_);
  const TSerIoResult result = device_->Write(bytes, count, buffers_->ReadTimeout());
  CheckIoResult(result, msg::kWriteError);
  return result.count;  // after a time-out: the bytes that did go out
}

int TSerCustomComm::ReadBytes(void* data, int count) {
  if (!DeviceWorks() || data == nullptr || count <= 0) return 0;
  std::lock_guard guard(read_lock_);
  const TSerIoResult result =
      device_->Read(static_cast<std::uint8_t*>(data), count, buffers_->ReadTimeout());
  CheckIoResult(result, msg::kReadError);
  return result.status == TSerIoStatus::Ok ? result.count : 0;
}

void TSerCustomComm::GetComStatus(std::uint32_t& errors, TSerComStat& status) {
  std::lock_guard guard(read_lock_);
  errors = 0;
  status = {};
  if (!DeviceWorks()) return;
  CheckDeviceResult(device_->ClearErrors(errors, status), msg::kStatistics);
}

int TSerCustomComm::InQueueCount() {
  if (!PortOpen()) return 0;
  std::uint32_t errors = 0;
  TSerComStat status;
  GetComStatus(errors, status);
  return status.in_queue > INT_MAX ? INT_MAX : static_cast<int>(status.in_queue);
}

void TSerCustomComm::SetDtrState(bool state) {
  if (flow_control_->ControlDtr() == TSerControlDtr::dtrHandshake) {
    throw ESerCommError(msg::kDtrHandshake);
  }
  EscapeComm(state ? TSerEscape::SetDtr : TSerEscape::ClrDtr);
}

void TSerCustomComm::SetBreakState(bool state) {
  EscapeComm(state ? TSerEscape::SetBreak : TSerEscape::ClrBreak);
}

void TSerCustomComm::EscapeComm(TSerEscape code) {
  if (!DeviceWorks()) return;
  CheckDeviceResult(device_->Escape(code), msg::kCommFunction);
}

void TSerCustomComm::Loaded() {
  if (auto_open_) OpenPort();
}

void TSerCustomComm::SetBaudrate(TSerBaudrate value) {
  if (value == baudrate_) return;
  baudrate_ = value;
  if (value != TSerBaudrate::brUser) user_baudrate_ = 0;
  ApplyDCB();
}

void TSerCustomComm::SetUserBaudrate(int value) {
  if (value == user_baudrate_) return;
  user_baudrate_ = value;
  baudrate_ = TSerBaudrate::brUser;
  ApplyDCB();
}

void TSerCustomComm::SetParity(TSerParity value) {
  if (value == parity_) return;
  parity_ = value;
  ApplyDCB();
}

void TSerCustomComm::SetDatabits(TSerDatabits value) {
  if (value == databits_) return;
  databits_ = value;
  ApplyDCB();
}

void TSerCustomComm::SetStopbits(TSerStopbits value) {
  if (value == stopbits_) return;
  stopbits_ = value;
  ApplyDCB();
}

void TSerCustomComm::SetOptions(TSerCommOptions value) {
  if (value == options_) return;
  options_ = value;
  ApplyDCB();
}

void TSerCustomComm::SetPortNum(int value) {
  CheckClosed();
  port_num_ = value < 0 ? 0 : value;
}

void TSerCustomComm::SetDeviceName(const std::string& value) {
  CheckClosed();
  device_name_ = value;
}

void TSerCustomComm::SetMonitorEvents(TSerCommEvents value) {
  CheckClosed();
  monitor_events_ = value;
}

void TSerCustomComm::SetBuffers(const TSerBuffers& value) {
  CheckClosed();
  buffers_->Assign(value);
}

void TSerCustomComm::BuffersChanged() {
  CheckClosed();
  ApplyBufferSizes();
}

void TSerCustomComm::SetEventPriority(TThreadPriority value) {
  if (value == event_priority_) return;
  event_priority_ = value;
  if (event_thread_) event_thread_->SetPriority(value);
}

void TSerCustomComm::SetWritePriority(TThreadPriority value) {
  if (value == write_priority_) return;
  write_priority_ = value;
  if (write_thread_) write_thread_->SetPriority(value);
}

void TSerCustomComm::SetDirectWrite(bool value) {
  CheckClosed();
  direct_write_ = value;
}

void TSerCustomComm::SetUpdateDCB(bool value) {
  CheckClosed();
  update_dcb_ = value;
}

void TSerCustomComm::DisplayRemoved(TSerDisplay* display) {
  if (display_ == display) display_ = nullptr;
}

void TSerCustomComm::AttachReceiver(TSerReceiver* receiver) {
  if (receiver) receivers_.push_back(receiver);
  UpdateTxEmptyWanted();
}

void TSerCustomComm::DetachReceiver(TSerReceiver* receiver) {
  std::erase(receivers_, receiver);
  UpdateTxEmptyWanted();
}

void TSerCustomComm::SetOnTxEmpty(TNotifyEvent handler) {
  on_tx_empty_ = std::move(handler);
  UpdateTxEmptyWanted();
}

void TSerCustomComm::UpdateTxEmptyWanted() {
  tx_empty_wanted_.store(on_tx_empty_ != nullptr || !receivers_.empty(), std::memory_order_relaxed);
}

void TSerCustomComm::SetExceptionHandler(TSerExceptionHandler handler) {
  exception_handler_ = handler ? std::move(handler) : WriteToStderr;
}

void TSerCustomComm::SetPauseFunction(TSerPauseFunction pause) {
  pause_ = pause ? std::move(pause) : Sleep;
}

void TSerCustomComm::HandleCurrentException() {
  std::string message;
  try {
    throw;
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = "Unknown exception";
  }
  try {
    exception_handler_(message);
  } catch (...) {
    // The handler is the last resort; an exception out of it has nowhere to go.
  }
}

void TSerCustomComm::HandleRxChar() {
  const int count = InQueueCount();
  if (count <= 0) return;
  if (!receivers_.empty()) {
    std::vector<std::uint8_t> data(count);
    const int got = ReadBytes(data.data(), count);
    ForwardData(data.data(), got);
  } else if (on_rx_char_) {
    on_rx_char_(this, count);
  }
}

void TSerCustomComm::HandleLineEvents(std::uint32_t mask) {
  if (mask & kEvErr) HandleLineErrors();
  if (!receivers_.empty() && forwarding_) ForwardEvents(mask);
  if (mask & kEvRxFlag) Fire(on_rx_flag_);
  if (mask & kEvCts) Fire(on_cts_);
  if (mask & kEvDsr) Fire(on_dsr_);
  if (mask & kEvRing) Fire(on_ring_);
  if (mask & kEvRlsd) Fire(on_rlsd_);
  if (mask & kEvTxEmpty) Fire(on_tx_empty_);
  if (mask & kEvBreak) Fire(on_break_);
  if (mask & kEvPErr) Fire(on_perr_);
  if (mask & kEvRx80Full) Fire(on_rx80_full_);
  if (mask & kEvEvent1) Fire(on_event1_);
  if (mask & kEvEvent2) Fire(on_event2_);
}

bool TSerCustomComm::HandleLineErrors() {
  std::uint32_t errors = 0;
  TSerComStat status;
  GetComStatus(errors, status);
  if (errors != 0 && on_error_) {
    try {
      on_error_(this, static_cast<int>(errors));
    } catch (...) {
      HandleCurrentException();
    }
  }
  return errors != 0;
}

void TSerCustomComm::HandleDeviceLost(int error) {
  if (!DeviceWorks()) return;
  lost_error_ = error;
  RaiseCommError(msg::kDeviceLost, error);
}

void TSerCustomComm::CheckDeviceResult(int code, std::string_view templ) {
  if (code == 0) return;
  if (IsDeviceLostError(code)) HandleDeviceLost(code);
  RaiseCommError(templ, code);
}

void TSerCustomComm::CheckIoResult(const TSerIoResult& result, std::string_view templ) {
  if (result.status == TSerIoStatus::Lost) HandleDeviceLost(result.error);
  if (result.status == TSerIoStatus::Failed || result.status == TSerIoStatus::Lost) {
    RaiseCommError(templ, result.error);
  }
}

void TSerCustomComm::ForwardEvents(std::uint32_t mask) {
  for (TSerReceiver* receiver : receivers_)
    receiver->ReceiveEvents(mask);
}

void TSerCustomComm::ForwardData(const std::uint8_t* data, int count) {
  if (forwarding_) {
    for (TSerReceiver* receiver : receivers_)
      receiver->ReceiveData(data, count);
  }
  if (on_rx_buf_) on_rx_buf_(this, data, count);
}

}  // namespace m797::serial
