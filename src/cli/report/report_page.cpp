#include "cli/report/report_page.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "cli/report/report_scales.h"
#include "shared_texts/page_texts.h"

namespace m797::cli {

namespace {

constexpr int kMargin = 150;
constexpr int kContentWidth = ReportPages::kWidth - 2 * kMargin;
constexpr int kGraphsTop = 360;
constexpr int kGraphRowHeight = 500;
constexpr int kGraphColumnGap = 100;
constexpr int kGraphsBottom = kGraphsTop + 4 * kGraphRowHeight;
constexpr int kFooterTop = ReportPages::kHeight - 110;
constexpr int kCodeLineHeight = 42;

const QColor kInk(0x20, 0x20, 0x20);
const QColor kGrid(0xD8, 0xD8, 0xD8);
const QColor kFrame(0x80, 0x80, 0x80);
const QColor kLine(0x10, 0x30, 0xA0);

QFont Font(int pixels, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

QString Number(double value, int decimals) {
  return QString::number(value, 'f', decimals);
}

// A step of 1, 2 or 5 times a power of ten that divides `span` into about `parts`.
double NiceStep(double span, int parts) {
  if (span <= 0) return 1;
  const double raw = span / parts;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

// The multiples of `step` from `low` to `high`, counted rather than summed up, so that a step
// too small to change a large value cannot loop for ever.
std::vector<double> GridValues(double low, double high, double step) {
  constexpr double kMostLines = 50;
  const double first = std::ceil(low / step);
  const double count = std::floor(high / step + 1e-6) - first + 1;
  std::vector<double> values;
  for (int i = 0; i < std::min(count, kMostLines); ++i)
    values.push_back((first + i) * step);
  return values;
}

int DecimalsOf(double step) {
  return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
}

// "2026-12-08T09:14:03.512+01:00" as "2026-12-08 09:14:03".
QString ShownTime(const std::string& iso) {
  QString text = Text(iso.substr(0, std::min<std::size_t>(iso.size(), 19)));
  return text.replace('T', ' ');
}

QString Duration(double ms) {
  const long long seconds = std::llround(ms / 1000.0);
  if (seconds < 60) return QStringLiteral("%1 с").arg(seconds);
  if (seconds < 3600) {
    return QStringLiteral("%1 мин %2 с").arg(seconds / 60).arg(seconds % 60);
  }
  return QStringLiteral("%1 ч %2 мин").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

// Where a graph's values and times go in its plot: the instrument's scale, widened to whatever the
// recording holds beyond it, against the recording's time from its first row to its last.
struct GraphFrame {
  GraphFrame(const QRect& plot_area, const QuantityScale& scale, const QuantityStats& stats,
             const Recording& recording)
      : plot(plot_area),
        low(std::min<double>(scale.from, stats.min)),
        high(std::max<double>(scale.to, stats.max)),
        t0(recording.rows.front().ms / 1000.0),
        t1(recording.rows.back().ms / 1000.0) {
    if (high - low < 1e-6) high = low + 1;
    if (t1 - t0 < 1e-6) t1 = t0 + 1;
  }
  double Y(double v) const { return plot.bottom() - (v - low) / (high - low) * plot.height(); }
  double X(double t) const { return plot.left() + (t - t0) / (t1 - t0) * plot.width(); }

  QRect plot;
  double low, high;  // values
  double t0, t1;     // seconds
};

// The instrument's coloured sectors, tinted, behind the line.
void DrawBands(QPainter& p, const GraphFrame& f, const QuantityScale& scale) {
  p.save();
  p.setClipRect(f.plot);
  for (const ScaleBand& band : scale.bands) {
    QColor tint = band.color;
    tint.setAlpha(70);
    const double top = f.Y(scale.ValueAt(band.to_ppt));
    const double bottom = f.Y(scale.ValueAt(band.from_ppt));
    p.fillRect(QRectF(f.plot.left(), top, f.plot.width(), bottom - top), tint);
  }
  p.restore();
}

// The value grid with its labels left of the plot from `labels_left`, the time grid with its
// labels under it, and the plot's frame.
void DrawGrid(QPainter& p, const GraphFrame& f, int labels_left) {
  p.setFont(Font(24));
  const double y_step = NiceStep(f.high - f.low, 4);
  for (const double v : GridValues(f.low, f.high, y_step)) {
    const double y = f.Y(v);
    p.setPen(QPen(kGrid, 2));
    p.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
    p.setPen(kInk);
    p.drawText(QRectF(labels_left, y - 20, 90, 40), Qt::AlignRight | Qt::AlignVCenter,
               Number(std::abs(v) < y_step * 1e-6 ? 0 : v, DecimalsOf(y_step)));
  }
  const double t_step = NiceStep(f.t1 - f.t0, 6);
  for (const double t : GridValues(f.t0, f.t1, t_step)) {
    const double x = f.X(t);
    p.setPen(QPen(kGrid, 2));
    p.drawLine(QPointF(x, f.plot.top()), QPointF(x, f.plot.bottom()));
    p.setPen(kInk);
    p.drawText(QRectF(x - 60, f.plot.bottom() + 6, 120, 34), Qt::AlignHCenter | Qt::AlignTop,
               Number(t, DecimalsOf(t_step)));
  }
  p.setPen(QPen(kFrame, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(f.plot);
}

// The quantity's line through the recording's rows; a dot for a single row.
void DrawTrace(QPainter& p, const GraphFrame& f, const Recording& recording, int quantity) {
  p.save();
  p.setClipRect(f.plot.adjusted(-4, -4, 4, 4));
  p.setPen(QPen(kLine, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (recording.rows.size() == 1) {
    const RecordingRow& row = recording.rows.front();
    p.setBrush(kLine);
    p.drawEllipse(QPointF(f.X(row.ms / 1000.0), f.Y(row.values[quantity])), 8, 8);
  } else {
    QPainterPath path;
    bool first = true;
    for (const RecordingRow& row : recording.rows) {
      const QPointF point(f.X(row.ms / 1000.0), f.Y(row.values[quantity]));
      if (first) {
        path.moveTo(point);
        first = false;
      } else {
        path.lineTo(point);
      }
    }
    p.drawPath(path);
  }
  p.restore();
}

}  // namespace

QuantityStats StatsOf(const Recording& recording, int quantity) {
  QuantityStats stats;
  if (recording.rows.empty()) return stats;
  stats.min = stats.max = recording.rows.front().values[quantity];
  double sum = 0;
  for (const RecordingRow& row : recording.rows) {
    const double v = row.values[quantity];
    stats.min = std::min(stats.min, v);
    stats.max = std::max(stats.max, v);
    sum += v;
  }
  stats.mean = sum / static_cast<double>(recording.rows.size());
  return stats;
}

ReportPages::ReportPages(const Recording& recording) : recording_(recording) {
  if (!recording.codes_read) return;
  code_lines_.push_back({"Коды неисправностей", true});
  if (recording.current_codes.empty() && recording.stored_codes.empty()) {
    code_lines_.push_back({"Неисправностей нет", false});
  } else {
    code_lines_.push_back({shared_texts::kLabel1, true});
    for (const std::string& line : recording.current_codes)
      code_lines_.push_back({line, false});
    code_lines_.push_back({shared_texts::kLabel2, true});
    for (const std::string& line : recording.stored_codes)
      code_lines_.push_back({line, false});
  }
  first_page_lines_ = std::min<int>(code_lines_.size(), LinesFitting(kFooterTop - kGraphsBottom));
  const int rest = static_cast<int>(code_lines_.size()) - first_page_lines_;
  const int per_page = LinesFitting(kFooterTop - kMargin);
  count_ = 1 + (rest + per_page - 1) / per_page;
}

int ReportPages::LinesFitting(int height) const {
  return std::max(0, height / kCodeLineHeight - 1);
}

void ReportPages::Draw(QPainter& p, int index) const {
  p.save();
  p.setWindow(0, 0, kWidth, kHeight);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  if (index == 0) {
    DrawHeader(p);
    for (int q = 0; q < shared_texts::kQuantityCount; ++q) {
      const int column = q % 2;
      const int row = q / 2;
      const int width = (kContentWidth - kGraphColumnGap) / 2;
      DrawGraph(p,
                QRect(kMargin + column * (width + kGraphColumnGap),
                      kGraphsTop + row * kGraphRowHeight, width, kGraphRowHeight - 60),
                q);
    }
    DrawCodes(p, QRect(kMargin, kGraphsBottom, kContentWidth, kFooterTop - kGraphsBottom), 0);
  } else {
    const int per_page = LinesFitting(kFooterTop - kMargin);
    DrawCodes(p, QRect(kMargin, kMargin, kContentWidth, kFooterTop - kMargin),
              first_page_lines_ + (index - 1) * per_page);
  }
  p.setFont(Font(24));
  p.setPen(kFrame);
  p.drawText(QRect(kMargin, kFooterTop + 40, kContentWidth, 40), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Тестер для Bosch M7.9.7 · m797-cli report"));
  if (count_ > 1) {
    p.drawText(QRect(kMargin, kFooterTop + 40, kContentWidth, 40),
               Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("стр. %1 из %2").arg(index + 1).arg(count_));
  }
  p.restore();
}

void ReportPages::DrawHeader(QPainter& p) const {
  const RecordingRow& first = recording_.rows.front();
  const RecordingRow& last = recording_.rows.back();
  p.setPen(kInk);
  p.setFont(Font(62, true));
  p.drawText(QRect(kMargin, kMargin - 30, kContentWidth, 90), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Запись работы двигателя"));
  p.setFont(Font(30));
  QStringList facts;
  facts << QStringLiteral("Начало: %1").arg(ShownTime(first.time))
        << QStringLiteral("длительность: %1").arg(Duration(last.ms))
        << QStringLiteral("циклов опроса: %1").arg(recording_.rows.size());
  if (!recording_.port.empty()) facts << QStringLiteral("порт: %1").arg(Text(recording_.port));
  if (recording_.controller_type > 0) {
    facts << QStringLiteral("тип контроллера: Type %1").arg(recording_.controller_type);
  }
  p.drawText(QRect(kMargin, kMargin + 70, kContentWidth, 45), Qt::AlignLeft | Qt::AlignVCenter,
             facts.join(QStringLiteral(", ")));
  p.setFont(Font(26));
  p.setPen(kFrame);
  p.drawText(QRect(kMargin, kMargin + 115, kContentWidth, 40), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("По горизонтали — секунды от начала опроса; цветные полосы — "
                            "секторы шкал прибора."));
  p.setPen(QPen(kFrame, 3));
  p.drawLine(kMargin, kGraphsTop - 30, kMargin + kContentWidth, kGraphsTop - 30);
}

void ReportPages::DrawGraph(QPainter& p, const QRect& cell, int quantity) const {
  const shared_texts::Quantity& q = shared_texts::Quantities()[quantity];
  const QuantityScale& scale = QuantityScales()[quantity];
  const QuantityStats stats = StatsOf(recording_, quantity);

  p.setPen(kInk);
  p.setFont(Font(32, true));
  p.drawText(QRect(cell.left(), cell.top(), cell.width(), 45), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("%1, %2").arg(QString::fromUtf8(q.caption), QString::fromUtf8(q.unit)));
  p.setFont(Font(26));
  const int d = q.decimals;
  p.drawText(QRect(cell.left(), cell.top() + 45, cell.width(), 36),
             Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("мин. %1   макс. %2   среднее %3")
                 .arg(Number(stats.min, d), Number(stats.max, d), Number(stats.mean, d)));

  const GraphFrame frame(
      QRect(cell.left() + 100, cell.top() + 95, cell.width() - 110, cell.height() - 140), scale,
      stats, recording_);
  DrawBands(p, frame, scale);
  DrawGrid(p, frame, cell.left());
  DrawTrace(p, frame, recording_, quantity);
}

int ReportPages::DrawCodes(QPainter& p, const QRect& area, int first) const {
  const int fitting = LinesFitting(area.height());
  int drawn = 0;
  for (int i = first; i < static_cast<int>(code_lines_.size()) && drawn < fitting; ++i, ++drawn) {
    const CodeLine& line = code_lines_[i];
    const QFont font = Font(i == 0 ? 34 : 27, line.heading);
    p.setFont(font);
    p.setPen(kInk);
    const QRect box(area.left(), area.top() + (drawn + 1) * kCodeLineHeight - 30, area.width(),
                    kCodeLineHeight);
    const QString text =
        QFontMetrics(font).elidedText(Text(line.text), Qt::ElideRight, box.width());
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
  }
  return drawn;
}

}  // namespace m797::cli
