#include "ui/pictures/jpeg_decoder.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace m797::ui {
namespace {

// libjpeg's error manager, extended with the way back to the decoding frame and the message of
// the failure.  libjpeg's own error_exit calls exit(); this one jumps back instead.
struct JpegErrors {
  jpeg_error_mgr manager;  // first member: cinfo->err points here
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

// Everything one decoding needs, kept in the caller's frame so that the frame with setjmp owns
// no object at all.
struct JpegDecoding {
  jpeg_decompress_struct cinfo{};
  JpegErrors errors{};
  jpeg_progress_mgr progress{};
};

JpegErrors* ErrorsOf(j_common_ptr cinfo) {
  return reinterpret_cast<JpegErrors*>(cinfo->err);
}

[[noreturn]] void FailWith(j_common_ptr cinfo, const char* message) {
  std::snprintf(ErrorsOf(cinfo)->message, JMSG_LENGTH_MAX, "%s", message);
  std::longjmp(ErrorsOf(cinfo)->back, 1);
}

[[noreturn]] void JumpBackOnError(j_common_ptr cinfo) {
  (*cinfo->err->format_message)(cinfo, ErrorsOf(cinfo)->message);
  std::longjmp(ErrorsOf(cinfo)->back, 1);
}

// A warning (level -1) means corrupt or missing data, which libjpeg would paper over with grey;
// it ends the decoding like an error.  Trace messages are ignored.
void JumpBackOnWarning(j_common_ptr cinfo, int msg_level) {
  if (msg_level < 0) JumpBackOnError(cinfo);
}

// A progressive picture can be split into any number of scans, each costing a pass over the
// whole picture; a picture with too many is refused.
void LimitScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kJpegMaxScans) {
    FailWith(cinfo, "too many scans");
  }
}

// Gives the picture its size once the header is known; null when the memory is not there.
JSAMPROW MakePicture(QImage* picture, JDIMENSION width, JDIMENSION height) {
  *picture = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
  return picture->isNull() ? nullptr : picture->bits();
}

// The libjpeg calls.  This frame holds no object with a destructor (all state is in `d` and
// `picture`, owned by the caller), so the longjmp from the error handlers back to the setjmp here
// is well defined.
bool RunLibjpeg(JpegDecoding* d, const unsigned char* data, unsigned long size, QImage* picture) {
  j_decompress_ptr cinfo = &d->cinfo;
  cinfo->err = jpeg_std_error(&d->errors.manager);
  d->errors.manager.error_exit = JumpBackOnError;
  d->errors.manager.emit_message = JumpBackOnWarning;
  if (setjmp(d->errors.back) != 0) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  d->progress.progress_monitor = LimitScans;
  cinfo->progress = &d->progress;
  jpeg_mem_src(cinfo, data, size);
  jpeg_read_header(cinfo, TRUE);
  if (cinfo->image_width > kJpegMaxSide || cinfo->image_height > kJpegMaxSide ||
      static_cast<unsigned long>(cinfo->image_width) * cinfo->image_height > kJpegMaxPixels) {
    char text[JMSG_LENGTH_MAX];
    std::snprintf(text, sizeof text, "picture of %u x %u pixels is too large", cinfo->image_width,
                  cinfo->image_height);
    FailWith(reinterpret_cast<j_common_ptr>(cinfo), text);
  }
  cinfo->out_color_space = JCS_RGB;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_components != 3) {
    FailWith(reinterpret_cast<j_common_ptr>(cinfo), "not decoded to three colour components");
  }
  if (MakePicture(picture, cinfo->output_width, cinfo->output_height) == nullptr) {
    FailWith(reinterpret_cast<j_common_ptr>(cinfo), "no memory for the picture");
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = picture->scanLine(static_cast<int>(cinfo->output_scanline));
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
      FailWith(reinterpret_cast<j_common_ptr>(cinfo), "decoding stalled");
    }
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

}  // namespace

QImage DecodeJpeg(QByteArrayView jpeg) {
  if (jpeg.size() > kJpegMaxBytes) {
    qWarning("JPEG picture not decoded: %lld bytes is too large",
             static_cast<long long>(jpeg.size()));
    return {};
  }
  JpegDecoding decoding;
  QImage picture;
  if (!RunLibjpeg(&decoding, reinterpret_cast<const unsigned char*>(jpeg.data()),
                  static_cast<unsigned long>(jpeg.size()), &picture)) {
    qWarning("JPEG picture not decoded: %s", decoding.errors.message);
    return {};
  }
  return picture;
}

}  // namespace m797::ui
