#include "TPandect.h"

#include <tbb/parallel_sort.h>

#include <algorithm>
#include <numeric>

#include "KeyOrder.h"
#include "LadError.h"

std::string_view TPandect::key(std::int32_t i) const {
  const std::size_t s = slot(i);
  const std::uint64_t begin = s == 0 ? 0 : keyEnds_[s - 1];
  return std::string_view(keyText_).substr(begin, keyEnds_[s] - begin);
}

PatternView TPandect::pattern(std::int32_t i) const {
  const std::size_t s = slot(i);
  const std::uint64_t begin = s == 0 ? 0 : coordEnds_[s - 1];
  const std::size_t d = (coordEnds_[s] - begin) / 3;
  const std::int32_t* first = coords_.data() + begin;
  return {{first, d}, {first + d, d}, {first + 2 * d, d}};
}

std::vector<std::string> TPandect::keys() const {
  std::vector<std::string> out;
  out.reserve(keyEnds_.size());
  for (std::int32_t i = 0; i < size(); ++i) out.emplace_back(key(i));
  return out;
}

void TPandect::append(std::string_view key, PatternView pattern) {
  if (keyEnds_.size() >= 0x7fffffffu) throw LadError("A pandect holds at most 2147483647 patterns");
  if (!order_.empty()) order_.push_back(static_cast<std::uint32_t>(keyEnds_.size()));
  keyText_.append(key);
  keyEnds_.push_back(keyText_.size());
  const std::size_t d = pattern.size();
  coords_.insert(coords_.end(), pattern.a.begin(),
                 pattern.a.begin() + static_cast<std::ptrdiff_t>(d));
  coords_.insert(coords_.end(), pattern.b.begin(),
                 pattern.b.begin() + static_cast<std::ptrdiff_t>(d));
  coords_.insert(coords_.end(), pattern.map.begin(), pattern.map.end());
  coordEnds_.push_back(coords_.size());
  sorted = false;
}

void TPandect::sortByKey() {
  std::vector<std::uint32_t> order(keyEnds_.size());
  std::iota(order.begin(), order.end(), 0u);
  auto keyOfSlot = [this](std::uint32_t s) {
    const std::uint64_t begin = s == 0 ? 0 : keyEnds_[s - 1];
    return std::string_view(keyText_).substr(begin, keyEnds_[s] - begin);
  };
  tbb::parallel_sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
    return compareKeys(keyOfSlot(x), keyOfSlot(y)) < 0;
  });
  order_ = std::move(order);
  sorted = true;
}
