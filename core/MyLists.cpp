#include "MyLists.h"

#include <cmath>
#include <limits>

#include "LineFile.h"
#include "MyLib.h"

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

std::string TSSList::get(const std::string& key) const {
  const std::int32_t i = find(key, true);
  return i < 0 ? std::string() : vals[static_cast<std::size_t>(i)];
}

void TSSList::parse(const std::string& s) {
  if (utf16Length(delimiter) > 1) {
    parse_old(s);
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

void TSSList::parse_old(const std::string& s) {
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

void TSSList::parse2(const std::string& s, const std::string& sep) {
  TSSList fields;
  fields.delimiter = delimiter;
  fields.parse_old(s);
  Clear();
  // A field without sep keeps the value of the nearest earlier field that had one.
  std::string key;
  std::string value;
  for (const std::string& field : fields.keys) {
    key = field;
    splitstr(field, sep, key, value);
    add(key, value);
  }
}

std::string TSSList::tostr() const {
  std::string out;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i > 0) out += delimiter;
    out += keys[i];
  }
  return out;
}

std::string TSSList::tostr2(const std::string& sep) const {
  std::string out;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!out.empty()) out += delimiter;
    out += keys[i] + sep + vals[i];
  }
  return out;
}

void TSSList::heapSortValues() {
  sorted = false;
  heapSortBy([this](std::size_t i, std::size_t j) { return compareKeys(vals[i], vals[j]) < 0; });
}

void TSSList::replace(const std::string& u, const std::string& v) {
  for (std::string& key : keys) key = replacestr(key, u, v, true);
  if (sorted) heapSort();
}

void TSSList::LoadFromFile(const std::string& filename) {
  Clear();
  for (std::string& line : readLineFile(filename)) add(line, std::string());
}

void TSSList::SaveToFile(const std::string& filename) const {
  writeLineFile(filename, keys);
}

double TIRList::get(std::int32_t key) const {
  const std::int32_t i = find(key, true);
  return i < 0 ? std::numeric_limits<double>::quiet_NaN() : vals[static_cast<std::size_t>(i)];
}

void TIRList::heapSortValues() {
  sorted = false;
  heapSortBy([this](std::size_t i, std::size_t j) { return vals[i] < vals[j]; });
}

void TIRList::ranking() {
  if (vals.empty()) return;
  double prev = vals[0];
  vals[0] = 1;
  double r = 1;
  for (std::size_t i = 1; i < vals.size(); ++i) {
    if (vals[i] > prev) {
      r += 1;
      prev = vals[i];
    }
    vals[i] = r;
  }
  for (double& v : vals) v /= r;
}

void TIRList::bucketize(std::int32_t grid) {
  heapSortValues();
  const auto n = static_cast<double>(size());
  for (std::int32_t i = 0; i < size(); ++i) {
    const auto product = static_cast<std::int32_t>(static_cast<std::int64_t>(i) * grid);
    vals[static_cast<std::size_t>(i)] = std::floor(static_cast<double>(product) / n);
  }
  heapSort();
}
