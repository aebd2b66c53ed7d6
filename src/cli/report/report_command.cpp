// m797-cli report: a recording's report as a PDF or as pictures.
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/report/report_page.h"

namespace m797::cli {

namespace {

constexpr int kPdfResolution = 300;
constexpr int kPictureResolution = 150;

int CannotWrite(const std::string& path) {
  std::fprintf(stderr, "m797-cli: %s: cannot be written\n", path.c_str());
  return kExitFailed;
}

// The whole file in one go, every step checked: a full disk or a device that takes nothing is
// a failure, not a report.
int WriteFile(const QString& path, const QByteArray& bytes) {
  const QByteArray name = QFile::encodeName(path);
  std::FILE* file = std::fopen(name.constData(), "wb");
  if (!file) return CannotWrite(path.toStdString());
  const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                   file) == static_cast<std::size_t>(bytes.size());
  const bool closed = std::fclose(file) == 0;
  return written && closed ? kExitOk : CannotWrite(path.toStdString());
}

int WritePdf(const ReportPages& pages, const std::string& path) {
  QBuffer drawn;
  drawn.open(QIODevice::WriteOnly);
  QPdfWriter pdf(&drawn);
  pdf.setResolution(kPdfResolution);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
  pdf.setTitle(QStringLiteral("Запись работы двигателя"));
  pdf.setCreator(QStringLiteral("m797-cli"));
  QPainter painter;
  if (!painter.begin(&pdf)) return CannotWrite(path);
  for (int i = 0; i < pages.count(); ++i) {
    if (i > 0) pdf.newPage();
    pages.Draw(painter, i);
  }
  if (!painter.end()) return CannotWrite(path);
  return WriteFile(QString::fromStdString(path), drawn.data());
}

// "report.png" for the first page, "report-2.png" and on for the others.
QString PicturePath(const std::string& path, int index) {
  const QString first = QString::fromStdString(path);
  if (index == 0) return first;
  const QFileInfo info(first);
  const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
  return info.path() + "/" + info.completeBaseName() + "-" + QString::number(index + 1) + suffix;
}

int WritePictures(const ReportPages& pages, const std::string& path) {
  const double dots_per_tenth_mm = kPictureResolution / 254.0;
  QImage image(qRound(ReportPages::kWidth * dots_per_tenth_mm),
               qRound(ReportPages::kHeight * dots_per_tenth_mm), QImage::Format_RGB32);
  image.setDotsPerMeterX(qRound(kPictureResolution / 0.0254));
  image.setDotsPerMeterY(qRound(kPictureResolution / 0.0254));
  for (int i = 0; i < pages.count(); ++i) {
    image.fill(Qt::white);
    QPainter painter(&image);
    pages.Draw(painter, i);
    painter.end();
    const QString file = PicturePath(path, i);
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    if (!image.save(&encoded, "PNG")) return CannotWrite(file.toStdString());
    if (const int code = WriteFile(file, encoded.data()); code != kExitOk) return code;
  }
  return kExitOk;
}

}  // namespace

int RunReport(const CliOptions& options) {
  Recording recording;
  try {
    recording = ReadRecordingFile(options.recording_path);
  } catch (const RecordingError& e) {
    std::fprintf(stderr, "m797-cli: %s\n", e.what());
    return kExitBadInput;
  }
  const ReportPages pages(recording);
  return options.pdf_path.empty() ? WritePictures(pages, options.png_path)
                                  : WritePdf(pages, options.pdf_path);
}

}  // namespace m797::cli
