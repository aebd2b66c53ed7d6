// Decodes a JPEG picture with libjpeg's own API (not through Qt's image plugins).
#pragma once

#include <QByteArrayView>
#include <QImage>

namespace m797::ui {

// Limits on what DecodeJpeg accepts; anything beyond them is refused before it is decoded.
inline constexpr qsizetype kJpegMaxBytes = 16 * 1024 * 1024;
inline constexpr unsigned kJpegMaxSide = 4096;
inline constexpr unsigned long kJpegMaxPixels = 8UL * 1024 * 1024;
inline constexpr int kJpegMaxScans = 100;

// Decodes `jpeg` into an RGB888 picture.  Corrupt, truncated, unsupported or oversized data gives
// a null picture and one warning on standard error (through qWarning); a libjpeg warning about
// corrupt data counts as a failure, so a damaged picture is never shown half grey.
QImage DecodeJpeg(QByteArrayView jpeg);

}  // namespace m797::ui
