#include "gauges/value_format.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace m797::gauges {

namespace {

struct Pattern {
  QString prefix;
  QString suffix;
  int min_int_digits = 0;
  int min_decimals = 0;
  int max_decimals = 0;
  bool has_point = false;
  bool exponent = false;
  bool exponent_plus = false;  // "e+": the sign is always written
  QChar exponent_char = 'e';
  int exponent_digits = 0;
};

bool IsPlaceholder(QChar c) {
  return c == '#' || c == '0';
}

Pattern Parse(const QString& section) {
  Pattern p;
  int first = -1;
  int last = -1;
  for (int i = 0; i < section.size(); ++i) {
    if (IsPlaceholder(section[i])) {
      if (first < 0) first = i;
      last = i;
    }
  }
  if (first < 0) {  // no digit at all: a literal text, the number is written in full
    p.prefix = section;
    p.min_int_digits = 1;
    return p;
  }
  p.prefix = section.left(first);
  p.suffix = section.mid(last + 1);
  bool after_point = false;
  for (int i = first; i <= last; ++i) {
    const QChar c = section[i];
    if ((c == 'e' || c == 'E') && i + 1 <= last &&
        (section[i + 1] == '-' || section[i + 1] == '+')) {
      p.exponent = true;
      p.exponent_char = c;
      p.exponent_plus = section[i + 1] == '+';
      for (int j = i + 2; j <= last; ++j)
        if (section[j] == '0') ++p.exponent_digits;
      break;
    }
    if (c == '.') {
      if (!after_point) {
        after_point = true;
        p.has_point = true;
      }
    } else if (after_point) {  // a decimal placeholder; a "0" makes every one before it mandatory
      ++p.max_decimals;
      if (c == '0') p.min_decimals = p.max_decimals;
    } else if (c == '0') {
      ++p.min_int_digits;
    }
  }
  return p;
}

// Digits of |value| rounded to `decimals` places, halves away from zero: the integer part and
// the fraction part as text.
void RoundedDigits(double value, int decimals, std::string& int_part, std::string& frac_part) {
  const long double scaled = std::fabs(static_cast<long double>(value)) * std::pow(10.0L, decimals);
  const long double rounded = std::floor(scaled + 0.5L);
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.0Lf", rounded);
  std::string digits = buffer;
  if (static_cast<int>(digits.size()) <= decimals)
    digits.insert(0, static_cast<std::size_t>(decimals + 1) - digits.size(), '0');
  int_part = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
  frac_part = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
}

QString FormatFixed(const Pattern& p, double magnitude) {
  std::string int_part;
  std::string frac_part;
  RoundedDigits(magnitude, p.max_decimals, int_part, frac_part);
  while (static_cast<int>(frac_part.size()) > p.min_decimals && !frac_part.empty() &&
         frac_part.back() == '0')
    frac_part.pop_back();
  // Leading zeros beyond the mandatory integer digits are dropped.
  std::size_t lead = 0;
  while (lead < int_part.size() && int_part[lead] == '0' &&
         static_cast<int>(int_part.size() - lead) > p.min_int_digits)
    ++lead;
  int_part.erase(0, lead);
  if (static_cast<int>(int_part.size()) < p.min_int_digits)
    int_part.insert(0, static_cast<std::size_t>(p.min_int_digits) - int_part.size(), '0');
  QString text = QString::fromStdString(int_part);
  if (!frac_part.empty()) text += '.' + QString::fromStdString(frac_part);
  return text;
}

QString FormatScientific(const Pattern& p, double magnitude) {
  int exponent = 0;
  double mantissa = magnitude;
  if (magnitude != 0.0 && std::isfinite(magnitude)) {
    const int int_digits = p.min_int_digits > 0 ? p.min_int_digits : 1;
    exponent = static_cast<int>(std::floor(std::log10(magnitude))) - (int_digits - 1);
    mantissa = magnitude / std::pow(10.0, exponent);
    // Rounding the mantissa may carry into one more digit (9.96 -> 10.0).
    const double limit = std::pow(10.0, int_digits);
    if (std::floor(mantissa * std::pow(10.0, p.max_decimals) + 0.5) >=
        limit * std::pow(10.0, p.max_decimals)) {
      ++exponent;
      mantissa /= 10.0;
    }
  }
  QString text = FormatFixed(p, mantissa);
  text += p.exponent_char;
  if (exponent < 0)
    text += '-';
  else if (p.exponent_plus)
    text += '+';
  QString digits = QString::number(std::abs(exponent));
  while (digits.size() < p.exponent_digits)
    digits.prepend('0');
  return text + digits;
}

}  // namespace

QString FormatValue(const QString& pattern, double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

  const int semicolon = pattern.indexOf(';');
  const QString positive = semicolon < 0 ? pattern : pattern.left(semicolon);
  QString negative;
  if (semicolon >= 0) {
    negative = pattern.mid(semicolon + 1);
    const int second = negative.indexOf(';');
    if (second >= 0) negative = negative.left(second);
  }

  const bool use_negative_section = value < 0 && !negative.isEmpty();
  const Pattern p = Parse(use_negative_section ? negative : positive);
  const double magnitude = std::fabs(value);
  QString body = p.exponent ? FormatScientific(p, magnitude) : FormatFixed(p, magnitude);

  // A negative value that rounds to zero is written without a sign.
  bool all_zero = true;
  for (QChar c : body) {
    if (c == p.exponent_char) break;
    if (c.isDigit() && c != '0') all_zero = false;
  }
  if (value < 0 && !use_negative_section && !all_zero) body.prepend('-');
  return p.prefix + body + p.suffix;
}

}  // namespace m797::gauges
