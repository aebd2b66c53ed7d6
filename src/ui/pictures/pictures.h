// The two pictures built into the program: the banner of the main window and the product photo
// that both windows show.
#pragma once

#include <QByteArray>
#include <QImage>

namespace m797::ui {

// The photo's JPEG file as stored, and the photo decoded through libjpeg (RGB888, 850 x 546).
QByteArray ProductPhotoBytes();
QImage ProductPhoto();

// The banner's BMP file as stored, and the banner read by Qt's built-in BMP reader (708 x 106).
QByteArray BannerBytes();
QImage Banner();

}  // namespace m797::ui
