#include "TestLists.h"

#include <cmath>
#include <limits>

#include "LineFile.h"
#include "TextRoutines.h"

std::string TextPairList::get(const std::string& key) const {
  const std::int32_t i = find(key, true);
  return i < 0 ? std::string() : vals[static_cast<std::size_t>(i)];
}

void TextPairList::parsePairs(const std::string& s, const std::string& sep) {
  TextList fields;
  fields.delimiter = delimiter;
  fields.parseWhole(s);
  Clear();
  // A field without sep keeps the value of the nearest earlier field that had one.
  std::string key;
  std::string value;
  for (const std::string& field : fields.keys) {
    key = field;
    splitAtFirst(field, sep, key, value);
    add(key, value);
  }
}

std::string TextPairList::tostr() const {
  std::string out;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i > 0) out += delimiter;
    out += keys[i];
  }
  return out;
}

std::string TextPairList::joinPairs(const std::string& sep) const {
  std::string out;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!out.empty()) out += delimiter;
    out += keys[i] + sep + vals[i];
  }
  return out;
}

void TextPairList::heapSortValues() {
  sorted = false;
  heapSortBy([this](std::size_t i, std::size_t j) { return compareKeys(vals[i], vals[j]) < 0; });
}

void TextPairList::replace(const std::string& u, const std::string& v) {
  for (std::string& key : keys) key = replacestr(key, u, v, true);
  if (sorted) heapSort();
}

void TextPairList::loadLines(const std::string& filename) {
  Clear();
  for (std::string& line : readLineFile(filename)) add(line, std::string());
}

void TextPairList::saveLines(const std::string& filename) const {
  writeLineFile(filename, keys);
}

double RankedList::get(std::int32_t key) const {
  const std::int32_t i = find(key, true);
  return i < 0 ? std::numeric_limits<double>::quiet_NaN() : vals[static_cast<std::size_t>(i)];
}

void RankedList::ranking() {
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

void RankedList::bucketize(std::int32_t grid) {
  heapSortValues();
  const auto n = static_cast<double>(size());
  for (std::int32_t i = 0; i < size(); ++i) {
    const auto product = static_cast<std::int32_t>(static_cast<std::int64_t>(i) * grid);
    vals[static_cast<std::size_t>(i)] = std::floor(static_cast<double>(product) / n);
  }
  heapSort();
}

std::string textBeforeEquals(const std::string& s) {
  const std::size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

void splitAtFirst(const std::string& s, const std::string& sep, std::string& left,
                  std::string& right) {
  if (sep.empty()) return;
  const std::size_t at = s.find(sep);
  if (at == std::string::npos) return;
  left = s.substr(0, at);
  right = s.substr(at + sep.size());
}
