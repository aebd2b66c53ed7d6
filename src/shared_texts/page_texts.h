#pragma once

// Texts of the window that the console program shows as well: the captions of the two fault
// lists, and the caption before the link's state.  No Qt, so that the console program and its
// recorder take them without the window.
namespace m797::shared_texts {

inline constexpr const char* kLabel1 =
    "Текущее неисправности электронной системы управления двигателем";
inline constexpr const char* kLabel2 =
    "Накопленные неисправности электронной системы управления двигателем";
inline constexpr const char* kLabel11 = "Связь с контроллером:    ";

}  // namespace m797::shared_texts
