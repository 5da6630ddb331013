// The window's texts are QStrings and the workbench's are UTF-8 std::strings.
#pragma once

#include <QString>
#include <string>

inline QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toUtf8(const QString& text) {
  return text.toStdString();
}
