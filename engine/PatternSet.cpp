#include "PatternSet.h"

#include <tbb/parallel_sort.h>

#include <numeric>

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
  requireRoomFor(1);
  const std::size_t d = pattern.size();
  std::vector<std::int32_t>& run = scratch_;
  run.assign(pattern.a.begin(), pattern.a.begin() + static_cast<std::ptrdiff_t>(d));
  run.insert(run.end(), pattern.b.begin(), pattern.b.begin() + static_cast<std::ptrdiff_t>(d));
  run.insert(run.end(), pattern.map.begin(), pattern.map.end());
  addEntry(keyText_.add({key.data(), key.size()}), key.size(), coords_.add(run), d);
}

void PatternSet::requireRoomFor(std::size_t count) const {
  if (keyAt_.size() + count > 0x7fffffffu) {
    throw LadError("A side of a model holds at most 2147483647 patterns");
  }
}

void PatternSet::addEntry(std::uint64_t keyAt, std::size_t keyLength, std::uint64_t coordAt,
                          std::size_t d) {
  if (!order_.empty()) order_.push_back(static_cast<std::uint32_t>(keyAt_.size()));
  keyAt_.push_back(keyAt);
  keyLength_.push_back(static_cast<std::uint32_t>(keyLength));
  coordAt_.push_back(coordAt);
  dims_.push_back(static_cast<std::uint32_t>(d));
  bytes_ += keyLength + 12 * d + 40;  // text, coordinates, and the entry's indexes
  sorted_ = false;
}

void PatternSet::appendMany(std::string_view keys, std::span<const std::uint32_t> lengths,
                            std::span<const std::int32_t> boxes,
                            std::span<const std::uint32_t> which,
                            std::span<const std::int32_t> map) {
  const std::size_t count = lengths.size();
  if (count == 0) return;
  requireRoomFor(count);
  const std::size_t d = map.size();
  // Each key and each run of coordinates keeps its place in the one run added for all.
  const SpanArena<char>::Position keysAt = keyText_.add({keys.data(), keys.size()});
  std::vector<std::int32_t>& runs = scratch_;
  runs.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const std::int32_t* box = boxes.data() + 2 * d * which[i];
    runs.insert(runs.end(), box, box + 2 * d);
    runs.insert(runs.end(), map.begin(), map.end());
  }
  const SpanArena<std::int32_t>::Position coordsAt = coords_.add(runs);
  for (std::size_t i = 0, offset = 0; i < count; offset += lengths[i], ++i) {
    addEntry(keysAt + offset, lengths[i], coordsAt + 3 * d * i, d);
  }
}

void PatternSet::sortByKey() {
  LargeVector<std::uint32_t> order(keyAt_.size());
  std::iota(order.begin(), order.end(), 0u);
  tbb::parallel_sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
    return compareKeys(keyOfSlot(x), keyOfSlot(y)) < 0;
  });
  order_ = std::move(order);
  sorted_ = true;
}

void PatternSet::arrange(LargeVector<std::uint32_t> order) {
  if (!order_.empty()) {
    for (std::uint32_t& entry : order) entry = order_[entry];
  }
  order_ = std::move(order);
  sorted_ = true;
}
