#include "KeyedLists.h"

namespace {

// The length of a UTF-8 text in UTF-16 code units.
std::size_t utf16Length(const std::string& s) {
  std::size_t units = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

void TextList::parse(const std::string& s) {
  if (utf16Length(delimiter) > 1) {
    parseWhole(s);
    return;
  }
  Clear();
  if (delimiter.empty()) {
    add(s, std::string());
    return;
  }
  // A one-character delimiter: cutting at its encoded bytes cuts at that character.
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = s.find(delimiter, start);
    if (at == std::string::npos) break;
    add(s.substr(start, at - start), std::string());
    start = at + delimiter.size();
  }
  add(s.substr(start), std::string());
}

void TextList::parseWhole(const std::string& s) {
  Clear();
  if (delimiter.empty()) {
    if (!s.empty()) add(s, std::string());
    return;
  }
  std::size_t start = 0;
  while (start < s.size()) {
    const std::size_t at = s.find(delimiter, start);
    if (at == std::string::npos) {
      add(s.substr(start), std::string());
      break;
    }
    add(s.substr(start, at - start), std::string());
    start = at + delimiter.size();
  }
}

void RealList::heapSortValues() {
  sorted = false;
  heapSortBy([this](std::size_t i, std::size_t j) { return vals[i] < vals[j]; });
}
