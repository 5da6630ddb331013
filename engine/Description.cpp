#include "Description.h"

#include <algorithm>
#include <map>

std::string describePattern(PatternView pattern, std::size_t attributes, const matreal& cutpoints,
                            const std::function<std::string(std::size_t, std::size_t)>& cutText) {
  // The coordinates in attribute order; of two on the same attribute the later one counts.
  std::vector<std::size_t> order(pattern.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t x, std::size_t y) { return pattern.map[x] < pattern.map[y]; });
  std::string out;
  out.reserve(attributes + 24 * pattern.size());
  std::size_t next = 0;
  for (std::size_t k = 0; k < attributes; ++k) {
    out += ',';
    std::size_t chosen = order.size();
    while (next < order.size() && static_cast<std::size_t>(pattern.map[order[next]]) == k) {
      chosen = order[next++];
    }
    if (chosen == order.size()) continue;
    const std::int32_t a = pattern.a[chosen];
    const std::int32_t b = pattern.b[chosen];
    const auto count = static_cast<std::int32_t>(cutpoints[k].size());
    if (a > 0) {
      out += ">=";
      out += cutText(k, static_cast<std::size_t>(a - 1));
    }
    if (b < count) {
      if (a > 0) out += " & ";
      out += '<';
      out += cutText(k, static_cast<std::size_t>(b));
    }
  }
  return out;
}

CutpointTexts::CutpointTexts(const matreal& cutpoints, const NumberFormat& format)
    : cutpoints_(cutpoints), texts_(cutpoints.size()), ids_(cutpoints.size()) {
  for (std::size_t k = 0; k < cutpoints.size(); ++k) {
    std::map<std::string, std::int32_t> first;
    for (std::size_t i = 0; i < cutpoints[k].size(); ++i) {
      texts_[k].push_back(numberText(cutpoints[k][i], format));
      ids_[k].push_back(
          first.emplace(texts_[k].back(), static_cast<std::int32_t>(i)).first->second);
    }
  }
}

std::string CutpointTexts::describe(PatternView pattern, std::size_t attributes) const {
  std::string out;
  out.reserve(attributes + 40 * pattern.size());
  describe(pattern, attributes, out);
  return out;
}

void CutpointTexts::describe(PatternView pattern, std::size_t attributes, std::string& out) const {
  const std::size_t d = pattern.size();
  for (std::size_t i = 0; i < d; ++i) {
    const bool ascending = i == 0 || pattern.map[i] > pattern.map[i - 1];
    if (!ascending || static_cast<std::size_t>(pattern.map[i]) >= attributes) {
      out += describePattern(pattern, attributes, cutpoints_,
                             [this](std::size_t k, std::size_t c) { return texts_[k][c]; });
      return;
    }
  }
  // The usual case, the attributes of a subset in ascending order: fields written in one pass.
  std::size_t field = 0;  // the next attribute whose field is still to be written
  for (std::size_t i = 0; i < d; ++i) {
    const auto k = static_cast<std::size_t>(pattern.map[i]);
    out.append(k - field + 1, ',');
    field = k + 1;
    const std::int32_t b = pattern.b[i];
    appendField(k, pattern.a[i] - 1, static_cast<std::size_t>(b) < texts_[k].size() ? b : -1, out);
  }
  out.append(attributes - field, ',');
}

void CutpointTexts::appendField(std::size_t k, std::int32_t lower, std::int32_t upper,
                                std::string& out) const {
  if (lower >= 0) {
    out += ">=";
    out += texts_[k][static_cast<std::size_t>(lower)];
  }
  if (upper >= 0) {
    if (lower >= 0) out += " & ";
    out += '<';
    out += texts_[k][static_cast<std::size_t>(upper)];
  }
}
