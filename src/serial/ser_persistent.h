#pragma once

#include <functional>

#include "serial/ser_types.h"

namespace m797::serial {

// Base of the component's property groups: counts nested updates and tells the owner about a
// change through one callback, once the outermost update has ended.
class TSerPersistent {
 public:
  virtual ~TSerPersistent() = default;

  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  void SetOnChange(std::function<void()> on_change) { on_change_ = std::move(on_change); }

 protected:
  void Changed();

 private:
  int update_count_ = 0;
  std::function<void()> on_change_;
};

// Buffer sizes, flow-control limits and the two time-outs, all 0 .. 2147483647 (a negative
// value is stored as 0).  ReadTimeout and WriteTimeout act on the next call and notify nobody.
class TSerBuffers : public TSerPersistent {
 public:
  int ReadSize() const { return read_size_; }
  int WriteSize() const { return write_size_; }
  int ReadTimeout() const { return read_timeout_; }
  int WriteTimeout() const { return write_timeout_; }
  int XonLimit() const { return xon_limit_; }
  int XoffLimit() const { return xoff_limit_; }

  void SetReadSize(int value) { Store(read_size_, value); }
  void SetWriteSize(int value) { Store(write_size_, value); }
  void SetReadTimeout(int value) { read_timeout_ = value < 0 ? 0 : value; }
  void SetWriteTimeout(int value) { write_timeout_ = value < 0 ? 0 : value; }
  void SetXonLimit(int value) { Store(xon_limit_, value); }
  void SetXoffLimit(int value) { Store(xoff_limit_, value); }

  // Copies every value; the owner hears of it once.
  void Assign(const TSerBuffers& source);

 private:
  void Store(int& field, int value);

  int read_size_ = 4096;
  int write_size_ = 2048;
  int read_timeout_ = 1000;
  int write_timeout_ = 1000;
  int xon_limit_ = 1024;
  int xoff_limit_ = 1024;
};

// The special characters of the line.  Every assignment notifies, changed or not.
class TSerEventChars : public TSerPersistent {
 public:
  char XonChar() const { return xon_char_; }
  char XoffChar() const { return xoff_char_; }
  char ErrorChar() const { return error_char_; }
  char EventChar() const { return event_char_; }
  char EofChar() const { return eof_char_; }

  void SetXonChar(char value) { Store(xon_char_, value); }
  void SetXoffChar(char value) { Store(xoff_char_, value); }
  void SetErrorChar(char value) { Store(error_char_, value); }
  void SetEventChar(char value) { Store(event_char_, value); }
  void SetEofChar(char value) { Store(eof_char_, value); }

  void Assign(const TSerEventChars& source);

 private:
  void Store(char& field, char value);

  char xon_char_ = 0x11;
  char xoff_char_ = 0x13;
  char error_char_ = 0;
  char event_char_ = 0;
  char eof_char_ = 0;
};

// Hardware and software flow control of the line; all off after construction.
class TSerFlowControl : public TSerPersistent {
 public:
  bool OutCtsFlow() const { return out_cts_flow_; }
  bool OutDsrFlow() const { return out_dsr_flow_; }
  TSerControlDtr ControlDtr() const { return control_dtr_; }
  TSerControlRts ControlRts() const { return control_rts_; }
  bool XonXoffOut() const { return xon_xoff_out_; }
  bool XonXoffIn() const { return xon_xoff_in_; }
  bool DsrSensitivity() const { return dsr_sensitivity_; }
  bool TxContinueOnXoff() const { return tx_continue_on_xoff_; }

  void SetOutCtsFlow(bool value) { Store(out_cts_flow_, value); }
  void SetOutDsrFlow(bool value) { Store(out_dsr_flow_, value); }
  void SetControlDtr(TSerControlDtr value) { Store(control_dtr_, value); }
  void SetControlRts(TSerControlRts value) { Store(control_rts_, value); }
  void SetXonXoffOut(bool value) { Store(xon_xoff_out_, value); }
  void SetXonXoffIn(bool value) { Store(xon_xoff_in_, value); }
  void SetDsrSensitivity(bool value) { Store(dsr_sensitivity_, value); }
  void SetTxContinueOnXoff(bool value) { Store(tx_continue_on_xoff_, value); }

  void Assign(const TSerFlowControl& source);

 private:
  template <typename T>
  void Store(T& field, T value) {
    if (field == value) return;
    field = value;
    Changed();
  }

  bool out_cts_flow_ = false;
  bool out_dsr_flow_ = false;
  TSerControlDtr control_dtr_ = TSerControlDtr::dtrDisabled;
  TSerControlRts control_rts_ = TSerControlRts::rtsDisabled;
  bool xon_xoff_out_ = false;
  bool xon_xoff_in_ = false;
  bool dsr_sensitivity_ = false;
  bool tx_continue_on_xoff_ = false;
};

}  // namespace m797::serial
