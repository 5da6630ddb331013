#include "TableInput.h"

#include <clocale>
#include <iostream>
#include <iterator>

#include "NumberText.h"
#include "SampleTable.h"
#include "TextFile.h"

std::string readTable(const std::string& table) {
  if (table.empty()) return sampleTable();
  if (table == "-") {
    return {std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
  }
  return readTextFile(table);
}

NumberFormat localeNumberFormat() {
  NumberFormat format;
  if (std::setlocale(LC_NUMERIC, "") != nullptr) {
    const char* point = std::localeconv()->decimal_point;
    if (point != nullptr && *point != '\0') format.decimalSeparator = point;
  }
  return format;
}
