#include "ui/pictures/pictures.h"

#include <QFile>

#include "ui/pictures/jpeg_decoder.h"

namespace m797::ui {
namespace {

// The files are compiled in as Qt resources (see CMakeLists.txt).
QByteArray ReadResource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    qWarning("Built-in picture %s is missing", qPrintable(path));
    return {};
  }
  return file.readAll();
}

}  // namespace

QByteArray ProductPhotoBytes() {
  return ReadResource(":/m797/pictures/product_photo.jpg");
}

QImage ProductPhoto() {
  return DecodeJpeg(ProductPhotoBytes());
}

QByteArray BannerBytes() {
  return ReadResource(":/m797/pictures/banner.bmp");
}

QImage Banner() {
  return QImage::fromData(BannerBytes(), "BMP");
}

}  // namespace m797::ui
