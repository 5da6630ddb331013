#include "TableText.h"

#include "LadError.h"

std::vector<std::string> tableLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    std::size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.push_back(text.substr(start, stop - start));
    if (last) break;
    start = end + 1;
  }
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

void requireLines(const std::vector<std::string>& lines) {
  if (lines.empty()) throw LadError("The data table is empty");
}

double tableNumber(const std::string& field, std::size_t lineNo, std::size_t column,
                   const NumberFormat& format) {
  try {
    return numberFromText(field, format);
  } catch (const EConvertError& e) {
    throw EConvertError("Line " + std::to_string(lineNo) + ", column " + std::to_string(column) +
                        ": " + e.what());
  }
}

const std::string& tableLine(const std::vector<std::string>& lines, std::size_t i) {
  static const std::string none;
  return i < lines.size() ? lines[i] : none;
}

void requireNoExtraFields(std::int32_t fields, std::int32_t headerFields, std::size_t lineNo) {
  if (fields > headerFields) {
    throw LadError("Line " + integerText(static_cast<std::int64_t>(lineNo)) + " has " +
                   integerText(fields) + " fields, but the header has " + integerText(headerFields));
  }
}
