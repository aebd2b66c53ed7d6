#include "serial/ser_persistent.h"

namespace m797::serial {

void TSerPersistent::EndUpdate() {
  if (update_count_ > 0) --update_count_;
  Changed();
}

void TSerPersistent::Changed() {
  if (update_count_ == 0 && on_change_) on_change_();
}

// The copies run between BeginUpdate and EndUpdate, so the owner hears of them once.
namespace {
template <typename Group, typename Copy>
void CopyInOneUpdate(Group& group, Copy copy) {
  group.BeginUpdate();
  copy();  // cannot notify, so cannot raise, while the update is open
  group.EndUpdate();
}
}  // namespace

void TSerBuffers::Store(int& field, int value) {
  if (value < 0) value = 0;
  if (field == value) return;
  field = value;
  Changed();
}

void TSerBuffers::Assign(const TSerBuffers& source) {
  if (&source == this) return;
  CopyInOneUpdate(*this, [&] {
    SetReadSize(source.ReadSize());
    SetWriteSize(source.WriteSize());
    SetReadTimeout(source.ReadTimeout());
    SetWriteTimeout(source.WriteTimeout());
    SetXonLimit(source.XonLimit());
    SetXoffLimit(source.XoffLimit());
  });
}

void TSerEventChars::Store(char& field, char value) {
  field = value;
  Changed();
}

void TSerEventChars::Assign(const TSerEventChars& source) {
  if (&source == this) return;
  CopyInOneUpdate(*this, [&] {
    SetXonChar(source.XonChar());
    SetXoffChar(source.XoffChar());
    SetErrorChar(source.ErrorChar());
    SetEventChar(source.EventChar());
    SetEofChar(source.EofChar());
  });
}

void TSerFlowControl::Assign(const TSerFlowControl& source) {
  if (&source == this) return;
  CopyInOneUpdate(*this, [&] {
    SetOutCtsFlow(source.OutCtsFlow());
    SetOutDsrFlow(source.OutDsrFlow());
    SetControlDtr(source.ControlDtr());
    SetControlRts(source.ControlRts());
    SetXonXoffOut(source.XonXoffOut());
    SetXonXoffIn(source.XonXoffIn());
    SetDsrSensitivity(source.DsrSensitivity());
    SetTxContinueOnXoff(source.TxContinueOnXoff());
  });
}

}  // namespace m797::serial
