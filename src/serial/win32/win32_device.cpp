#include "serial/win32/win32_device.h"

#include <winioctl.h>

namespace m797::serial {

namespace {

TSerIoResult ErrorResult(DWORD error) {
  return {IsDeviceLostError(static_cast<int>(error)) ? TSerIoStatus::Lost : TSerIoStatus::Failed,
          static_cast<int>(error), 0, 0};
}

int Result(BOOL ok) {
  return ok ? 0 : static_cast<int>(GetLastError());
}

// A record for one overlapped operation, which signals event when the operation ends.
OVERLAPPED RecordFor(TSerWaitEvent& event) {
  OVERLAPPED record;
  ZeroMemory(&record, sizeof record);
  record.hEvent = event.Handle();
  return record;
}

}  // namespace

std::unique_ptr<TSerDevice> OpenSerialDevice(const std::string& name, int& error) {
  // The name is the path: nothing is put in front of it.
  return TSerWin32Device::Open(name, error);
}

std::unique_ptr<TSerWin32Device> TSerWin32Device::Open(const std::string& path, int& error) {
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    return nullptr;
  }
  // Bytes that came while the port was closed belong to an earlier opening: a stale answer read
  // now would be taken for the answer to the next request.
  if (!PurgeComm(handle, PURGE_RXCLEAR)) {
    error = static_cast<int>(GetLastError());
    CloseHandle(handle);
    return nullptr;
  }
  error = 0;
  return std::unique_ptr<TSerWin32Device>(new TSerWin32Device(handle));
}

int TSerWin32Device::ApplyLineSettings(const TSerLineSettings& s) {
  // Built from zero, the length field included: the driver's current state is never read.
  DCB dcb;
  ZeroMemory(&dcb, sizeof dcb);
  dcb.BaudRate = s.baud_rate;
  const std::uint32_t f = s.flags;
  dcb.fBinary = (f & kDcbBinary) != 0;
  dcb.fParity = (f & kDcbParity) != 0;
  dcb.fOutxCtsFlow = (f & kDcbOutxCtsFlow) != 0;
  dcb.fOutxDsrFlow = (f & kDcbOutxDsrFlow) != 0;
  dcb.fDtrControl = (f >> kDcbDtrControlShift) & 3;
  dcb.fDsrSensitivity = (f & kDcbDsrSensitivity) != 0;
  dcb.fTXContinueOnXoff = (f & kDcbTxContinueOnXoff) != 0;
  dcb.fOutX = (f & kDcbOutX) != 0;
  dcb.fInX = (f & kDcbInX) != 0;
  dcb.fErrorChar = (f & kDcbErrorChar) != 0;
  dcb.fNull = (f & kDcbNull) != 0;
  dcb.fRtsControl = (f >> kDcbRtsControlShift) & 3;
  dcb.fAbortOnError = (f & kDcbAbortOnError) != 0;
  dcb.XonLim = s.xon_limit;
  dcb.XoffLim = s.xoff_limit;
  dcb.ByteSize = s.byte_size;
  dcb.Parity = s.parity;
  dcb.StopBits = s.stop_bits;
  dcb.XonChar = s.xon_char;
  dcb.XoffChar = s.xoff_char;
  dcb.ErrorChar = s.error_char;
  dcb.EofChar = s.eof_char;
  dcb.EvtChar = s.event_char;
  return Result(SetCommState(handle_.Handle(), &dcb));
}

int TSerWin32Device::SetBufferSizes(int read_size, int write_size) {
  return Result(
      SetupComm(handle_.Handle(), static_cast<DWORD>(read_size), static_cast<DWORD>(write_size)));
}

int TSerWin32Device::SetTimeouts() {
  COMMTIMEOUTS timeouts;
  timeouts.ReadIntervalTimeout = 5;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 0;
  return Result(SetCommTimeouts(handle_.Handle(), &timeouts));
}

int TSerWin32Device::SetEventMask(std::uint32_t mask) {
  return Result(SetCommMask(handle_.Handle(), mask));
}

int TSerWin32Device::Escape(TSerEscape code) {
  if (EscapeCommFunction(handle_.Handle(), static_cast<DWORD>(code))) return 0;
  const DWORD error = GetLastError();
  // A device that cannot even report its modem lines has none (a pseudo-terminal that Wine maps
  // as a COM port): there DTR requests succeed without effect, so that the simulator can stand
  // in for the adapter.  On any other device the failure stands.
  DWORD modem_lines = 0;
  if ((code == TSerEscape::SetDtr || code == TSerEscape::ClrDtr) &&
      !GetCommModemStatus(handle_.Handle(), &modem_lines)) {
    return 0;
  }
  // A failure is never reported as success, even when the driver leaves no error code.
  return error != 0 ? static_cast<int>(error) : ERROR_NOT_SUPPORTED;
}

int TSerWin32Device::ReadOutputLines(bool& dtr, bool& rts) {
  // IOCTL_SERIAL_GET_DTRRTS of the serial driver interface, and its two bits.
  constexpr DWORD kGetDtrRts =
      CTL_CODE(FILE_DEVICE_SERIAL_PORT, 30, METHOD_BUFFERED, FILE_ANY_ACCESS);
  constexpr ULONG kDtrState = 0x1;
  constexpr ULONG kRtsState = 0x2;
  OVERLAPPED record = RecordFor(io_event_);
  ULONG lines = 0;
  DWORD returned = 0;
  if (!DeviceIoControl(handle_.Handle(), kGetDtrRts, nullptr, 0, &lines, sizeof lines, nullptr,
                       &record)) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return static_cast<int>(error);
  }
  if (!GetOverlappedResult(handle_.Handle(), &record, &returned, TRUE)) {
    return static_cast<int>(GetLastError());
  }
  dtr = (lines & kDtrState) != 0;
  rts = (lines & kRtsState) != 0;
  return 0;
}

int TSerWin32Device::ReadLineSettings(TSerLineSettings& s) {
  DCB dcb;
  ZeroMemory(&dcb, sizeof dcb);
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle_.Handle(), &dcb)) return static_cast<int>(GetLastError());
  s = {};
  s.baud_rate = dcb.BaudRate;
  std::uint32_t f = 0;
  if (dcb.fBinary) f |= kDcbBinary;
  if (dcb.fParity) f |= kDcbParity;
  if (dcb.fOutxCtsFlow) f |= kDcbOutxCtsFlow;
  if (dcb.fOutxDsrFlow) f |= kDcbOutxDsrFlow;
  f |= static_cast<std::uint32_t>(dcb.fDtrControl) << kDcbDtrControlShift;
  if (dcb.fDsrSensitivity) f |= kDcbDsrSensitivity;
  if (dcb.fTXContinueOnXoff) f |= kDcbTxContinueOnXoff;
  if (dcb.fOutX) f |= kDcbOutX;
  if (dcb.fInX) f |= kDcbInX;
  if (dcb.fErrorChar) f |= kDcbErrorChar;
  if (dcb.fNull) f |= kDcbNull;
  f |= static_cast<std::uint32_t>(dcb.fRtsControl) << kDcbRtsControlShift;
  if (dcb.fAbortOnError) f |= kDcbAbortOnError;
  s.flags = f;
  s.xon_limit = dcb.XonLim;
  s.xoff_limit = dcb.XoffLim;
  s.byte_size = dcb.ByteSize;
  s.parity = dcb.Parity;
  s.stop_bits = dcb.StopBits;
  s.xon_char = dcb.XonChar;
  s.xoff_char = dcb.XoffChar;
  s.error_char = dcb.ErrorChar;
  s.eof_char = dcb.EofChar;
  s.event_char = dcb.EvtChar;
  return 0;
}

int TSerWin32Device::ClearErrors(std::uint32_t& errors, TSerComStat& status) {
  DWORD flags = 0;
  COMSTAT comstat;
  ZeroMemory(&comstat, sizeof comstat);
  const BOOL ok = ClearCommError(handle_.Handle(), &flags, &comstat);
  errors = flags;
  status.in_queue = comstat.cbInQue;
  status.out_queue = comstat.cbOutQue;
  return Result(ok);
}

void TSerWin32Device::CancelAndWait(OVERLAPPED& record) {
  CancelIoEx(handle_.Handle(), &record);
  DWORD ignored = 0;
  GetOverlappedResult(handle_.Handle(), &record, &ignored, TRUE);
}

TSerIoResult TSerWin32Device::FinishWithin(OVERLAPPED& record, TSerWaitEvent& event,
                                           DWORD timeout_ms) {
  const bool signalled = event.WaitFor(timeout_ms) == TSerWaitResult::WaitSignalled;
  if (!signalled) CancelIoEx(handle_.Handle(), &record);
  // Waits for the end of a cancelled operation too; bytes it moved before are counted.  Only an
  // operation cancelled here ends aborted as a matter of course: one that the driver aborted by
  // itself tells of a device that has gone.
  DWORD count = 0;
  if (!GetOverlappedResult(handle_.Handle(), &record, &count, TRUE)) {
    const DWORD error = GetLastError();
    if (signalled || error != ERROR_OPERATION_ABORTED) return ErrorResult(error);
  }
  if (!signalled && count == 0) return {TSerIoStatus::TimedOut, 0, 0, 0};
  return {TSerIoStatus::Ok, 0, static_cast<int>(count), 0};
}

TSerIoResult TSerWin32Device::FinishUnlessCancelled(OVERLAPPED& record, TSerWaitEvent& event) {
  const HANDLE waits[2] = {cancel_event_.Handle(), event.Handle()};
  const DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
  if (which != WAIT_OBJECT_0 + 1) {
    const DWORD error = which == WAIT_OBJECT_0 ? 0 : GetLastError();
    CancelAndWait(record);
    if (which == WAIT_OBJECT_0) return {TSerIoStatus::Cancelled, 0, 0, 0};
    return {TSerIoStatus::Failed, static_cast<int>(error), 0, 0};
  }
  DWORD count = 0;
  if (!GetOverlappedResult(handle_.Handle(), &record, &count, FALSE)) {
    return ErrorResult(GetLastError());
  }
  return {TSerIoStatus::Ok, 0, static_cast<int>(count), 0};
}

TSerIoResult TSerWin32Device::AbortedWait() {
  TSerLineSettings ignored;
  const int error = ReadLineSettings(ignored);
  if (error == 0) return {TSerIoStatus::Failed, static_cast<int>(ERROR_OPERATION_ABORTED), 0, 0};
  // The query's own error says best what became of the device.
  return ErrorResult(IsDeviceLostError(error) ? static_cast<DWORD>(error)
                                              : ERROR_OPERATION_ABORTED);
}

template <typename Start>
TSerIoResult TSerWin32Device::TransferWithin(Start start, int timeout_ms) {
  OVERLAPPED record = RecordFor(io_event_);
  if (!start(record)) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return ErrorResult(error);
  }
  return FinishWithin(record, io_event_, static_cast<DWORD>(timeout_ms));
}

TSerIoResult TSerWin32Device::Read(std::uint8_t* data, int count, int timeout_ms) {
  return TransferWithin(
      [&](OVERLAPPED& record) {
        return ReadFile(handle_.Handle(), data, static_cast<DWORD>(count), nullptr, &record);
      },
      timeout_ms);
}

TSerIoResult TSerWin32Device::Write(const std::uint8_t* data, int count, int timeout_ms) {
  return TransferWithin(
      [&](OVERLAPPED& record) {
        return WriteFile(handle_.Handle(), data, static_cast<DWORD>(count), nullptr, &record);
      },
      timeout_ms);
}

TSerIoResult TSerWin32Device::WaitEvent() {
  OVERLAPPED record = RecordFor(wait_event_);
  DWORD mask = 0;
  if (!WaitCommEvent(handle_.Handle(), &mask, &record)) {
    const DWORD error = GetLastError();
    if (error == ERROR_OPERATION_ABORTED) return AbortedWait();
    if (error != ERROR_IO_PENDING) return ErrorResult(error);
    TSerIoResult result = FinishUnlessCancelled(record, wait_event_);
    if (result.error == ERROR_OPERATION_ABORTED) return AbortedWait();
    if (result.status != TSerIoStatus::Ok) return result;
  }
  wait_event_.Reset();
  return {TSerIoStatus::Ok, 0, 0, mask};
}

TSerIoResult TSerWin32Device::WriteQueued(const std::uint8_t* data, int count) {
  OVERLAPPED record = RecordFor(overlapped_event_);
  if (!WriteFile(handle_.Handle(), data, static_cast<DWORD>(count), nullptr, &record)) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return ErrorResult(error);
    return FinishUnlessCancelled(record, overlapped_event_);
  }
  DWORD written = 0;
  GetOverlappedResult(handle_.Handle(), &record, &written, FALSE);
  return {TSerIoStatus::Ok, 0, static_cast<int>(written), 0};
}

void TSerWin32Device::CancelWaits() {
  cancel_event_.Set();
}

bool IsDeviceLostError(int code) {
  const auto error = static_cast<DWORD>(code);
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_INVALID_HANDLE:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_FILE_NOT_FOUND:
    // Some USB and Bluetooth serial drivers end the pending operations of a removed device
    // aborted, or time them out; the component's own cancellations never get this far.
    case ERROR_OPERATION_ABORTED:
    case ERROR_SEM_TIMEOUT:
    // What a hung-up pseudo-terminal gives under Wine: reads find the pipe broken, writes and
    // queries a device that is not ready (and the pending wait ends aborted, as above).
    case ERROR_BROKEN_PIPE:
    case ERROR_NOT_READY:
      return true;
    default:
      return false;
  }
}

}  // namespace m797::serial
