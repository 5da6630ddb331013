#include "PatternSet.h"

#include <tbb/parallel_for.h>
#include <tbb/parallel_sort.h>

#include "KeyOrder.h"
#include "LadError.h"

std::string_view PatternSet::key(std::int32_t i) const {
  return keyOfSlot(slot(i));
}

PatternView PatternSet::pattern(std::int32_t i) const {
  const std::size_t s = slot(i);
  const std::size_t d = dims_[s];
  const std::int32_t* first = coords_.get(coordAt_[s], 3 * d).data();
  return {{first, d}, {first + d, d}, {first + 2 * d, d}};
}

std::vector<std::string> PatternSet::keys() const {
  std::vector<std::string> out;
  out.reserve(keyAt_.size());
  for (std::int32_t i = 0; i < size(); ++i) out.emplace_back(key(i));
  return out;
}

void PatternSet::append(std::string_view key, PatternView pattern) {
  if (keyAt_.size() >= 0x7fffffffu)
    throw LadError("A side of a model holds at most 2147483647 patterns");
  if (!order_.empty()) order_.push_back(static_cast<std::uint32_t>(keyAt_.size()));
  keyAt_.push_back(keyText_.add({key.data(), key.size()}));
  keyLength_.push_back(static_cast<std::uint32_t>(key.size()));
  const std::size_t d = pattern.size();
  std::vector<std::int32_t>& run = scratch_;
  run.assign(pattern.a.begin(), pattern.a.begin() + static_cast<std::ptrdiff_t>(d));
  run.insert(run.end(), pattern.b.begin(), pattern.b.begin() + static_cast<std::ptrdiff_t>(d));
  run.insert(run.end(), pattern.map.begin(), pattern.map.end());
  coordAt_.push_back(coords_.add(run));
  dims_.push_back(static_cast<std::uint32_t>(d));
  bytes_ += key.size() + 12 * d + 40;  // text, coordinates, and the entry's indexes
  sorted_ = false;
}

void PatternSet::sortByKey() {
  // Each slot with its key's order code, so that most comparisons need not read the keys.
  struct Coded {
    std::uint64_t code;
    std::uint32_t slot;
  };
  std::vector<Coded> coded(keyAt_.size());
  tbb::parallel_for(std::size_t{0}, coded.size(), [&](std::size_t s) {
    coded[s] = {keyOrderCode(keyOfSlot(s)), static_cast<std::uint32_t>(s)};
  });
  tbb::parallel_sort(coded.begin(), coded.end(), [&](const Coded& x, const Coded& y) {
    if (x.code != y.code) return x.code < y.code;
    return compareKeys(keyOfSlot(x.slot), keyOfSlot(y.slot)) < 0;
  });
  std::vector<std::uint32_t> order(coded.size());
  for (std::size_t i = 0; i < coded.size(); ++i) order[i] = coded[i].slot;
  order_ = std::move(order);
  sorted_ = true;
}
