#include "TableText.h"

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
  return lines;
}

const std::string& tableLine(const std::vector<std::string>& lines, std::size_t i) {
  static const std::string none;
  return i < lines.size() ? lines[i] : none;
}
