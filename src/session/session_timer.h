#pragma once

namespace m797::session {

// A periodic timer whose interval is fixed by its owner.  Enabling an enabled timer does not
// restart its period; disabling and enabling does.  The owner calls the session's handler on
// every tick, on the main thread.
class SessionTimer {
 public:
  virtual ~SessionTimer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

}  // namespace m797::session
