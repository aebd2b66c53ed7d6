#pragma once

#include <QString>
#include <QStringList>

#include "shared_texts/page_texts.h"

// The fixed texts of the two windows.  Texts that name the maker or its product are built from
// maker_texts.h.
namespace m797::ui::texts {

// A text of the sources (UTF-8) as Qt holds it.
QString U(const char* text);

inline constexpr const char* kApplicationTitle = "Тестер для Bosch M7.9.7";
inline constexpr const char* kForm1Caption =
    "Диагностический тестер для контроллеров ЭСУД автомобилей HYUNDAI";

inline constexpr const char* kLabel13 = "Номер COM-порта:";
inline constexpr const char* kLabel14 = "Выбор типа контроллера";
using shared_texts::kLabel11;

inline constexpr const char* kTabSheet1 = "Параметры";
inline constexpr const char* kTabSheet2 = "Ошибки";
inline constexpr const char* kTabSheet5 = "О программе";

using shared_texts::kLabel1;
using shared_texts::kLabel2;
inline constexpr const char* kButton2 = "Сброс ошибок";

// Texts that carry the maker's name, its product or its addresses.
QString TabSheet6Caption();
QString Label3Text();
QStringList Memo3Lines();
QString SpeedButton4Caption();
QString SpeedButton5Caption();
QString N1Caption();
QString SiteItem1Caption();
QString Form2Caption();

// What assistive technology reads for the pictures, which carry text of their own: the banner's
// headline and the rest of its painted lines, the photo's caption and what the photo shows.
QString BannerName();
QString BannerDescription();
QString PhotoName();
QString PhotoDescription();

// The product descriptions: the long one of the main window's page, the short one of the about
// window.
QStringList Memo4Lines();
QStringList Form2Memo1Lines();

}  // namespace m797::ui::texts
