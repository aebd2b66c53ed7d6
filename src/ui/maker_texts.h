#pragma once

#include "ui/pictures/trip_computer.h"

// What the windows say about the maker and its trip computer, and where its links lead.  The web
// site and the mail address are placeholders under a reserved domain.
namespace m797::ui::maker {

inline constexpr const char* kMakerName = "Tarkon";
// The trip computer's name, shared with the pictures that show it.
using m797::ui::kTripComputerName;

inline constexpr const char* kSiteAddress = "www.tarkon.example";
inline constexpr const char* kProductPageUrl = "http://www.tarkon.example/produkt/";
inline constexpr const char* kOrderPageUrl = "http://www.tarkon.example/zakaz/";
inline constexpr const char* kMailAddress = "dev@tarkon.example";
inline constexpr const char* kMailUrl = "mailto:dev@tarkon.example";

}  // namespace m797::ui::maker
