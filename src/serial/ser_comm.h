#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "serial/main_thread_dispatcher.h"
#include "serial/ser_critical_section.h"
#include "serial/ser_error.h"
#include "serial/ser_persistent.h"
#include "serial/ser_types.h"
#include "serial/serial_device.h"

namespace m797::serial {

class TSerCustomComm;
class TSerCommEventThread;
class TSerCommWriteThread;

using TNotifyEvent = std::function<void(TSerCustomComm* sender)>;
using TSerCommErrorEvent = std::function<void(TSerCustomComm* sender, int errors)>;
using TSerCommRxCharEvent = std::function<void(TSerCustomComm* sender, int count)>;
using TSerCommRxBufEvent =
    std::function<void(TSerCustomComm* sender, const std::uint8_t* data, int count)>;
// The application's standard exception handler: shows the message and the program goes on.
using TSerExceptionHandler = std::function<void(const std::string& message)>;
// The pause after closing; a real sleep unless replaced.
using TSerPauseFunction = std::function<void(std::chrono::milliseconds)>;

// A control that shows the line state; refreshed at each notification of the event thread.
class TSerDisplay {
 public:
  virtual ~TSerDisplay() = default;
  virtual void RefreshFromLine(TSerCustomComm& comm) = 0;
};

// An object that takes the received bytes and the line events instead of OnRxChar.
class TSerReceiver {
 public:
  virtual ~TSerReceiver() = default;
  virtual void ReceiveData(const std::uint8_t* data, int count) = 0;
  virtual void ReceiveEvents(std::uint32_t mask) = 0;
};

class TSerComponent {
 public:
  virtual ~TSerComponent() = default;
};

// A serial port: configures the line from its properties, runs an event thread and a write
// thread while open, delivers received bytes as OnRxChar on the main thread, and offers reads,
// writes, DTR and break.  Every operation, setter and event runs on the main thread, which the
// dispatcher stands for; the dispatcher must outlive the component.
class TSerCustomComm : public TSerComponent {
 public:
  explicit TSerCustomComm(MainThreadDispatcher& dispatcher);
  ~TSerCustomComm() override;
  TSerCustomComm(const TSerCustomComm&) = delete;
  TSerCustomComm& operator=(const TSerCustomComm&) = delete;

  // Operations.
  void OpenPort();
  void ClosePort();
  bool PortOpen() const { return device_ != nullptr; }
  int SendBytes(const void* data, int count);
  int ReadBytes(void* data, int count);
  void SetDtrState(bool state);
  void SetBreakState(bool state);
  int InQueueCount();
  void GetComStatus(std::uint32_t& errors, TSerComStat& status);
  void CheckClosed() const;
  // Called when loading the stored properties has ended: opens the port when AutoOpen is set.
  void Loaded();
  // The path that OpenPort opens: DeviceName with PortNum in place of %d.
  std::string DevicePath() const;
  // The device control block that the properties describe.
  TSerLineSettings BuildLineSettings() const;

  // Properties.
  bool AutoOpen() const { return auto_open_; }
  void SetAutoOpen(bool value) { auto_open_ = value; }
  TSerBaudrate Baudrate() const { return baudrate_; }
  void SetBaudrate(TSerBaudrate value);
  TSerParity Parity() const { return parity_; }
  void SetParity(TSerParity value);
  TSerDatabits Databits() const { return databits_; }
  void SetDatabits(TSerDatabits value);
  TSerStopbits Stopbits() const { return stopbits_; }
  void SetStopbits(TSerStopbits value);
  TSerEventChars* EventChars() const { return event_chars_.get(); }
  void SetEventChars(const TSerEventChars& value) { event_chars_->Assign(value); }
  TSerFlowControl* FlowControl() const { return flow_control_.get(); }
  void SetFlowControl(const TSerFlowControl& value) { flow_control_->Assign(value); }
  TSerCommOptions Options() const { return options_; }
  void SetOptions(TSerCommOptions value);
  int PortNum() const { return port_num_; }
  void SetPortNum(int value);
  const std::string& DeviceName() const { return device_name_; }
  void SetDeviceName(const std::string& value);
  TSerCommEvents MonitorEvents() const { return monitor_events_; }
  void SetMonitorEvents(TSerCommEvents value);
  TSerBuffers* Buffers() const { return buffers_.get(); }
  void SetBuffers(const TSerBuffers& value);
  TThreadPriority EventPriority() const { return event_priority_; }
  void SetEventPriority(TThreadPriority value);
  TThreadPriority WritePriority() const { return write_priority_; }
  void SetWritePriority(TThreadPriority value);
  bool DirectWrite() const { return direct_write_; }
  void SetDirectWrite(bool value);
  bool UpdateDCB() const { return update_dcb_; }
  void SetUpdateDCB(bool value);
  int UserBaudrate() const { return user_baudrate_; }
  void SetUserBaudrate(int value);
  TSerDisplay* Display() const { return display_; }
  void SetDisplay(TSerDisplay* value) { display_ = value; }
  // The display control is going away: forget it.
  void DisplayRemoved(TSerDisplay* display);

  // Events.
  void SetOnOpen(TNotifyEvent handler) { on_open_ = std::move(handler); }
  void SetOnClose(TNotifyEvent handler) { on_close_ = std::move(handler); }
  void SetOnCts(TNotifyEvent handler) { on_cts_ = std::move(handler); }
  void SetOnDsr(TNotifyEvent handler) { on_dsr_ = std::move(handler); }
  void SetOnRlsd(TNotifyEvent handler) { on_rlsd_ = std::move(handler); }
  void SetOnRing(TNotifyEvent handler) { on_ring_ = std::move(handler); }
  void SetOnBreak(TNotifyEvent handler) { on_break_ = std::move(handler); }
  void SetOnRxFlag(TNotifyEvent handler) { on_rx_flag_ = std::move(handler); }
  void SetOnTxEmpty(TNotifyEvent handler);
  void SetOnPErr(TNotifyEvent handler) { on_perr_ = std::move(handler); }
  void SetOnRx80Full(TNotifyEvent handler) { on_rx80_full_ = std::move(handler); }
  void SetOnEvent1(TNotifyEvent handler) { on_event1_ = std::move(handler); }
  void SetOnEvent2(TNotifyEvent handler) { on_event2_ = std::move(handler); }
  void SetOnError(TSerCommErrorEvent handler) { on_error_ = std::move(handler); }
  void SetOnRxChar(TSerCommRxCharEvent handler) { on_rx_char_ = std::move(handler); }
  void SetOnRxBuf(TSerCommRxBufEvent handler) { on_rx_buf_ = std::move(handler); }

  // Receivers.
  void AttachReceiver(TSerReceiver* receiver);
  void DetachReceiver(TSerReceiver* receiver);
  void SetForwarding(bool enabled) { forwarding_ = enabled; }

  // Where exceptions go that escape event handlers run for the threads; stderr unless set.
  void SetExceptionHandler(TSerExceptionHandler handler);
  // Runs the pause of ClosePort; a real sleep unless set.
  void SetPauseFunction(TSerPauseFunction pause);
  // Passes the exception in flight to the exception handler.  Call inside a catch block.
  void HandleCurrentException();

  // Notification handlers, run on the main thread for the component's threads.
  virtual void HandleRxChar();
  virtual void HandleLineEvents(std::uint32_t mask);
  // The device failed for good: report it once per opening and stop sending to it.
  void HandleDeviceLost(int error);
  // Whether the open port's device has failed for good (reported once, by whichever call or
  // thread noticed it first); false again once the port is closed.
  bool DeviceLost() const { return PortOpen() && lost_error_ != 0; }
  // Counts the openings, so that a notification of one opening is not applied to the next.
  std::uint64_t OpenCount() const { return open_count_; }
  // Whether anyone takes the report of an empty write queue (OnTxEmpty or a receiver); safe
  // from any thread.
  bool TxEmptyWanted() const { return tx_empty_wanted_.load(std::memory_order_relaxed); }

 protected:
  virtual void OpenDevice();
  virtual void StartThreads();
  virtual void ForwardEvents(std::uint32_t mask);
  virtual void ForwardData(const std::uint8_t* data, int count);

 private:
  void CloseDevice();
  void StopThreads();
  // True while the port is open and its device has not failed for good.  A lost device has been
  // reported once; until the port is opened again every call on it does nothing and raises
  // nothing, as a retrying caller would otherwise bury the user in the same message.
  bool DeviceWorks() const { return PortOpen() && lost_error_ == 0; }
  // Raise templ for a failed device call; a failure that means the device is gone is reported
  // as the loss instead, by whichever call notices it first.
  void CheckDeviceResult(int code, std::string_view templ);
  void CheckIoResult(const TSerIoResult& result, std::string_view templ);
  void UpdateTxEmptyWanted();
  void ApplyDCB();
  void ApplyBufferSizes();
  void ApplyTimeouts();
  void ApplyEventMask();
  void EscapeComm(TSerEscape code);
  bool HandleLineErrors();
  void BuffersChanged();
  void Fire(const TNotifyEvent& handler) {
    if (handler) handler(this);
  }

  MainThreadDispatcher& dispatcher_;
  TSerExceptionHandler exception_handler_;
  TSerPauseFunction pause_;

  // The open device and its threads; all touched on the main thread only.
  std::unique_ptr<TSerDevice> device_;
  std::unique_ptr<TSerCommEventThread> event_thread_;
  std::unique_ptr<TSerCommWriteThread> write_thread_;
  std::uint64_t open_count_ = 0;
  int lost_error_ = 0;  // the device failed for good with this error; 0 while it works
  bool destroying_ = false;

  TSerCriticalSection write_lock_;  // direct writes and the write queue
  TSerCriticalSection read_lock_;   // reads, status queries and stopping the threads
  std::uint32_t event_mask_ = 0;

  bool auto_open_ = false;
  TSerBaudrate baudrate_ = TSerBaudrate::br1200;
  TSerParity parity_ = TSerParity::paNone;
  TSerDatabits databits_ = TSerDatabits::db8;
  TSerStopbits stopbits_ = TSerStopbits::sb1;
  TSerCommOptions options_;
  int port_num_ = 0;
  std::string device_name_ = "COM%d";
  TSerCommEvents monitor_events_ = {TSerCommEvent::ceError, TSerCommEvent::ceRxChar,
                                    TSerCommEvent::ceTxEmpty};
  TThreadPriority event_priority_ = TThreadPriority::tpNormal;
  TThreadPriority write_priority_ = TThreadPriority::tpHighest;
  bool direct_write_ = false;
  bool update_dcb_ = true;
  int user_baudrate_ = 0;
  TSerDisplay* display_ = nullptr;
  std::unique_ptr<TSerBuffers> buffers_;
  std::unique_ptr<TSerEventChars> event_chars_;
  std::unique_ptr<TSerFlowControl> flow_control_;

  std::vector<TSerReceiver*> receivers_;
  bool forwarding_ = true;
  // What TxEmptyWanted says: written on the main thread, read by the write thread.
  std::atomic<bool> tx_empty_wanted_ = false;

  TNotifyEvent on_open_, on_close_, on_cts_, on_dsr_, on_rlsd_, on_ring_, on_break_, on_rx_flag_,
      on_tx_empty_, on_perr_, on_rx80_full_, on_event1_, on_event2_;
  TSerCommErrorEvent on_error_;
  TSerCommRxCharEvent on_rx_char_;
  TSerCommRxBufEvent on_rx_buf_;
};

// The component as the application places it.
class TSerComm : public TSerCustomComm {
 public:
  using TSerCustomComm::TSerCustomComm;
};

}  // namespace m797::serial
