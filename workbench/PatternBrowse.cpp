#include "PatternBrowse.h"

#include <tbb/parallel_for.h>
#include <tbb/parallel_sort.h>

#include <algorithm>
#include <cctype>

namespace {

double sortValue(const PatternTable& t, std::int32_t j, PatternColumn column) {
  switch (column) {
    case PatternColumn::Class:
      return t.isPositive(j) ? 1 : 0;
    case PatternColumn::Degree:
      return t.degree(j);
    case PatternColumn::Positive:
      return t.covered(j).positive;
    case PatternColumn::Negative:
      return t.covered(j).negative;
    case PatternColumn::Prevalence:
      return t.prevalence(j).value_or(-1.0);
    case PatternColumn::Homogeneity:
      return t.homogeneity(j).value_or(-1.0);
    case PatternColumn::Coverage:
      return t.coverage(j);
    case PatternColumn::Name:
    case PatternColumn::Rule:
      break;
  }
  return j;
}

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

void sortPatterns(const PatternTable& t, std::vector<std::int32_t>& order, PatternColumn column,
                  bool ascending) {
  if (column == PatternColumn::Rule) {
    // Rules on the same attributes come together, without making millions of texts: the
    // first three attributes packed in one number decide most comparisons.
    std::vector<std::uint64_t> key(static_cast<std::size_t>(t.size()));
    tbb::parallel_for(std::int32_t{0}, t.size(), [&](std::int32_t j) {
      const auto map = t.rules().view(j).map;
      std::uint64_t packed = 0;
      for (std::size_t i = 0; i < 3; ++i) {
        packed = (packed << 21) | (i < map.size() ? static_cast<std::uint64_t>(map[i]) + 1 : 0);
      }
      key[static_cast<std::size_t>(j)] = packed;
    });
    tbb::parallel_sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
      const std::uint64_t kx = key[static_cast<std::size_t>(x)];
      const std::uint64_t ky = key[static_cast<std::size_t>(y)];
      if (kx != ky) return ascending ? kx < ky : kx > ky;
      const auto a = t.rules().view(x).map;
      const auto b = t.rules().view(y).map;
      if (a.size() > 3 || b.size() > 3) {
        const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
        const bool more = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end());
        if (less != more) return ascending ? less : more;
      }
      return x < y;
    });
    return;
  }
  std::vector<double> value(static_cast<std::size_t>(t.size()));
  tbb::parallel_for(std::int32_t{0}, t.size(), [&](std::int32_t j) {
    value[static_cast<std::size_t>(j)] = sortValue(t, j, column);
  });
  tbb::parallel_sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
    const double vx = value[static_cast<std::size_t>(x)];
    const double vy = value[static_cast<std::size_t>(y)];
    if (vx != vy) return ascending ? vx < vy : vx > vy;
    return x < y;
  });
}

std::vector<std::int32_t> filterPatterns(const PatternTable& t,
                                         const std::vector<std::int32_t>& order, std::int32_t cls,
                                         const std::string& text) {
  const ModelRules& rules = t.rules();
  const std::string wanted = lowered(text);
  // Which attributes the text names, decided once, so that the test per pattern is cheap.
  std::vector<char> named(rules.attributeCount(), 0);
  for (std::size_t k = 0; k < named.size(); ++k) {
    named[k] = lowered(rules.attributeName(k)).find(wanted) != std::string::npos;
  }
  const std::int32_t namedPattern = wanted.empty() ? -1 : rules.find(text);
  std::vector<char> keep(order.size(), 0);
  tbb::parallel_for(std::size_t{0}, order.size(), [&](std::size_t i) {
    const std::int32_t j = order[i];
    if (cls >= 0 && (t.isPositive(j) ? 1 : 0) != cls) return;
    if (wanted.empty() || j == namedPattern) {
      keep[i] = 1;
      return;
    }
    for (const std::int32_t k : rules.view(j).map) {
      if (named[static_cast<std::size_t>(k)] != 0) {
        keep[i] = 1;
        return;
      }
    }
  });
  std::vector<std::int32_t> kept;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (keep[i] != 0) kept.push_back(order[i]);
  }
  return kept;
}
