// The maker and its on-board trip computer, as the windows, the banner and the photo name them.
// scripts/make-pictures reads the two constants from this file, so the pictures never drift from
// the texts of the windows.
#pragma once

namespace m797::ui {

inline constexpr char kTripComputerName[] = "Тарком-А";
inline constexpr char kMakerSite[] = "http://www.tarkon.example";

}  // namespace m797::ui
