#include "PatternSetBuilder.h"

#include <set>

#include "FieldOrder.h"

namespace {

PatternView boxAt(const std::vector<std::int32_t>& boxes, std::size_t d, std::size_t box,
                  const arrint& map) {
  const std::int32_t* lower = boxes.data() + 2 * d * box;
  return {{lower, d}, {lower + d, d}, {map.data(), d}};
}

}  // namespace

PatternSetBuilder::PatternSetBuilder(const CutpointTexts& texts, std::size_t attributes,
                                     PatternSet& side)
    : texts_(texts), attributes_(attributes), patterns_(side), slots_(1024, 0) {
  for (std::size_t k = 0; k < attributes; ++k) {
    bool distinct = true;
    for (std::size_t i = 0; k < texts.attributeCount() && i < texts.cutpointCount(k); ++i) {
      distinct = distinct && texts.textId(k, i) == static_cast<std::int32_t>(i);
    }
    distinctTexts_.push_back(distinct);
  }
}

bool PatternSetBuilder::keyOf(PatternView pattern, std::vector<std::int32_t>& key) const {
  bool whole = true;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto [lower, upper] =
        texts_.boundIds(static_cast<std::size_t>(pattern.map[i]), pattern.a[i], pattern.b[i]);
    if (lower < 0 && upper < 0) {
      whole = false;
      continue;
    }
    key.push_back(pattern.map[i]);
    key.push_back(lower);
    key.push_back(upper);
  }
  return whole;
}

std::uint64_t PatternSetBuilder::hashOf(const std::int32_t* key, std::size_t size) {
  std::uint64_t h = 0x9e3779b97f4a7c15ull ^ size;
  for (std::size_t i = 0; i < size; ++i) {
    h ^= static_cast<std::uint32_t>(key[i]);
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
  }
  return h >> 32;
}

void PatternSetBuilder::grow() {
  std::vector<std::uint64_t> old(slots_.size() * 2, 0);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint64_t slot : old) {
    if (slot == 0) continue;
    std::size_t at = static_cast<std::size_t>(slot >> 32) & mask;
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

void PatternSetBuilder::prepare(const std::vector<std::int32_t>& boxes, std::int32_t dims,
                                const arrint& map, Prepared& out) const {
  out.whole.clear();
  out.descriptions.clear();
  out.lengths.clear();
  out.open.clear();
  out.keys.clear();
  out.keyLengths.clear();
  out.hashes.clear();
  const auto d = static_cast<std::size_t>(dims);
  if (d == 0) return;
  // Different boxes of one subset can share a key only through cutpoints of the same text.
  bool distinct = true;
  for (const std::int32_t k : map) {
    distinct = distinct && (static_cast<std::size_t>(k) >= distinctTexts_.size() ||
                            distinctTexts_[static_cast<std::size_t>(k)]);
  }
  std::set<std::vector<std::int32_t>> seen;
  std::vector<std::int32_t> key;
  const std::size_t count = boxes.size() / (2 * d);
  for (std::size_t box = 0; box < count; ++box) {
    const PatternView pattern = boxAt(boxes, d, box, map);
    const std::size_t start = out.keys.size();
    if (keyOf(pattern, out.keys)) {
      if (!distinct) {
        key.assign(out.keys.begin() + static_cast<std::ptrdiff_t>(start), out.keys.end());
        if (!seen.insert(key).second) {
          out.keys.resize(start);
          continue;
        }
      }
      out.keys.resize(start);
      out.whole.push_back(static_cast<std::uint32_t>(box));
      const std::size_t before = out.descriptions.size();
      texts_.describe(pattern, attributes_, out.descriptions);
      out.lengths.push_back(static_cast<std::uint32_t>(out.descriptions.size() - before));
    } else {
      out.open.push_back(static_cast<std::uint32_t>(box));
      out.keyLengths.push_back(static_cast<std::uint32_t>(out.keys.size() - start));
      out.hashes.push_back(hashOf(out.keys.data() + start, out.keys.size() - start));
    }
  }
}

void PatternSetBuilder::take(const std::vector<std::int32_t>& boxes, std::int32_t dims,
                             const arrint& map) {
  prepare(boxes, dims, map, prepared_);
  take(boxes, dims, map, prepared_);
}

void PatternSetBuilder::take(const std::vector<std::int32_t>& boxes, std::int32_t dims,
                             const arrint& map, const Prepared& prepared) {
  const auto d = static_cast<std::size_t>(dims);
  if (d == 0) return;
  patterns_.appendMany(prepared.descriptions, prepared.lengths, boxes, prepared.whole, map);
  std::size_t keyAt = 0;
  for (std::size_t i = 0; i < prepared.open.size(); ++i) {
    const std::int32_t* key = prepared.keys.data() + keyAt;
    const std::size_t size = prepared.keyLengths[i];
    keyAt += size;
    const std::uint64_t hash = prepared.hashes[i];
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>(hash) & mask;
    bool seen = false;
    for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
      if ((slots_[slot] >> 32) != hash) continue;
      const auto entry = static_cast<std::size_t>((slots_[slot] & 0xffffffffu) - 1);
      const std::size_t from = openKeyAt_[entry];
      if (openKeyAt_[entry + 1] - from == size &&
          std::equal(key, key + size, openKeys_.begin() + static_cast<std::ptrdiff_t>(from))) {
        seen = true;
        break;
      }
    }
    if (seen) continue;
    slots_[slot] = hash << 32 | static_cast<std::uint64_t>(openKeyAt_.size());
    openKeys_.insert(openKeys_.end(), key, key + size);
    openKeyAt_.push_back(openKeys_.size());
    const PatternView pattern = boxAt(boxes, d, prepared.open[i], map);
    patterns_.append(texts_.describe(pattern, attributes_), pattern);
    if ((openKeyAt_.size() - 1) * 2 > slots_.size()) grow();
  }
}

void PatternSetBuilder::finish() {
  // By the patterns' fields where they allow it: the same order, without reading the keys.
  if (const auto byFields = FieldOrder::of(texts_, attributes_)) {
    if (auto order = byFields->order(patterns_)) {
      patterns_.arrange(std::move(*order));
      return;
    }
  }
  patterns_.sortByKey();
}
