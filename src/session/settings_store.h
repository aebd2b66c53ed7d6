#pragma once

#include <string>

namespace m797::session {

// INI-style persistent settings: sections holding named values stored as text.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text converted to an integer; fallback when absent or not a decimal number.
  virtual int ReadInteger(const std::string& section, const std::string& ident, int fallback) = 0;
  // Stores the decimal text of value.
  virtual void WriteInteger(const std::string& section, const std::string& ident, int value) = 0;
};

}  // namespace m797::session
