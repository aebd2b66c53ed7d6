#pragma once

#include <QString>

namespace m797::gauges {

// Formats a number with a numeric pattern: "#" an optional digit, "0" a mandatory digit, "." the
// decimal point, "e-0"/"e+0" (or "E") an exponent, and an optional section after ";" used for
// negative numbers (written without a minus sign of its own).  Other characters before the first
// or after the last digit placeholder are copied as they stand.  Halves round away from zero,
// as a person reading the number expects: 0.25 with "0.0" reads "0.3".
QString FormatValue(const QString& pattern, double value);

}  // namespace m797::gauges
