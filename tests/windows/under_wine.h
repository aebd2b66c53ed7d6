#pragma once

#include <windows.h>

namespace m797::testing {

// True when the program runs under Wine rather than on Windows: Wine's ntdll exports
// wine_get_version, Windows' does not.  Tests that need what Wine cannot give on a
// pseudo-terminal skip themselves only then, saying why.
inline bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace m797::testing
