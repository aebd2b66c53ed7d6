#pragma once

namespace m797::session {

// Captions the session shows.  The button's caption is also the testing state.
inline constexpr const char* kStartCaption = "Начать тестирование";
inline constexpr const char* kStopCaption = "Остановить тестирование";
inline constexpr const char* kLinkUpCaption = "Связь с ЭБУ установлена";
inline constexpr const char* kLinkDownCaption = "Нет связи с ЭБУ";

// Where the two selectors are kept between runs.
inline constexpr const char* kSettingsSection = "Vestrel";
inline constexpr const char* kPortSetting = "COM";
inline constexpr const char* kTypeSetting = "TYPE";

}  // namespace m797::session
