// The window's texts are QStrings and the workbench's are UTF-8 std::strings.
#pragma once

#include <QLocale>
#include <QString>
#include <string>

#include "NumberText.h"

inline QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toUtf8(const QString& text) {
  return text.toStdString();
}

// The number format of the user's regional settings.
inline NumberFormat systemNumberFormat() {
  const QString point = QLocale::system().decimalPoint();
  return NumberFormat{point.isEmpty() ? std::string(".") : toUtf8(point)};
}
