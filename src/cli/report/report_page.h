#pragma once

#include <QPainter>

#include "cli/recording_csv.h"

namespace m797::cli {

// The least, the greatest and the mean value of a quantity over a recording's rows.
struct QuantityStats {
  double min = 0;
  double max = 0;
  double mean = 0;
};
QuantityStats StatsOf(const Recording& recording, int quantity);

// The report of a recording on A4 pages: the run at a glance, a graph of each quantity against
// time with its instrument's coloured sectors behind the line and its minimum, maximum and mean,
// and the trouble codes when the recording read them (continued on further pages when they do
// not fit on the first).
class ReportPages {
 public:
  // Page size in the painter's units, tenths of a millimetre.
  static constexpr int kWidth = 2100;
  static constexpr int kHeight = 2970;

  explicit ReportPages(const Recording& recording);

  int count() const { return count_; }
  // Draws page `index` (0 first) filling the painter's device; the painter is left as found.
  void Draw(QPainter& painter, int index) const;

 private:
  void DrawHeader(QPainter& p) const;
  void DrawGraph(QPainter& p, const QRect& cell, int quantity) const;
  // Draws code lines from `first` into `area`; returns how many fitted.
  int DrawCodes(QPainter& p, const QRect& area, int first) const;
  int LinesFitting(int height) const;

  const Recording& recording_;
  struct CodeLine {
    std::string text;
    bool heading;
  };
  std::vector<CodeLine> code_lines_;  // captions and fault lines, as the fault page shows them
  int first_page_lines_ = 0;
  int count_ = 1;
};

}  // namespace m797::cli
