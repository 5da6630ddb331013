// Numbers for reading in the window: a plain decimal of up to 15 significant digits with the
// user's decimal separator, never with an exponent (0.000000745897943107261, not
// 7.45897943107261E-7).
#pragma once

#include <QString>
#include <algorithm>
#include <cmath>

#include "QtText.h"

inline QString plainDecimal(double value, const NumberFormat& format) {
  if (!std::isfinite(value)) return QString::number(value);
  if (value == 0) return "0";
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  QString text = QString::number(value, 'f', std::clamp(14 - magnitude, 0, 330));
  if (text.contains('.')) {
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith('.')) text.chop(1);
  }
  return text.replace('.', fromUtf8(format.decimalSeparator));
}
