#include "PatternSetBuilder.h"

PatternSetBuilder::PatternSetBuilder(const CutpointTexts& texts, std::size_t attributes,
                               PatternSet& side)
    : texts_(texts), attributes_(attributes), patterns_(side), slots_(1024, 0) {}

void PatternSetBuilder::keyOf(PatternView pattern, std::vector<std::int32_t>& key) const {
  key.clear();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto k = static_cast<std::size_t>(pattern.map[i]);
    const auto count = static_cast<std::int32_t>(texts_.cutpointCount(k));
    const std::int32_t lower =
        pattern.a[i] > 0 ? texts_.textId(k, static_cast<std::size_t>(pattern.a[i] - 1)) : -1;
    const std::int32_t upper =
        pattern.b[i] < count ? texts_.textId(k, static_cast<std::size_t>(pattern.b[i])) : -1;
    if (lower < 0 && upper < 0) continue;
    key.push_back(pattern.map[i]);
    key.push_back(lower);
    key.push_back(upper);
  }
}

std::uint64_t PatternSetBuilder::hashOf(const std::vector<std::int32_t>& key) {
  std::uint64_t h = 0x9e3779b97f4a7c15ull ^ key.size();
  for (const std::int32_t word : key) {
    h ^= static_cast<std::uint32_t>(word);
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
  }
  return h;
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

void PatternSetBuilder::take(const std::vector<std::int32_t>& boxes, std::int32_t dims,
                          const arrint& map) {
  const auto d = static_cast<std::size_t>(dims);
  if (d == 0) return;
  a_.resize(d);
  b_.resize(d);
  for (std::size_t at = 0; at + 2 * d <= boxes.size(); at += 2 * d) {
    std::copy(boxes.begin() + static_cast<std::ptrdiff_t>(at),
              boxes.begin() + static_cast<std::ptrdiff_t>(at + d), a_.begin());
    std::copy(boxes.begin() + static_cast<std::ptrdiff_t>(at + d),
              boxes.begin() + static_cast<std::ptrdiff_t>(at + 2 * d), b_.begin());
    const PatternView pattern{a_, b_, map};
    keyOf(pattern, key_);
    const std::uint64_t hash = hashOf(key_) >> 32;
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>(hash) & mask;
    bool seen = false;
    for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
      if ((slots_[slot] >> 32) != hash) continue;
      const auto entry = static_cast<std::int32_t>((slots_[slot] & 0xffffffffu) - 1);
      keyOf(patterns_.pattern(entry), other_);
      if (other_ == key_) {
        seen = true;
        break;
      }
    }
    if (seen) continue;
    slots_[slot] = hash << 32 | static_cast<std::uint64_t>(patterns_.size() + 1);
    patterns_.append(texts_.describe(pattern, attributes_), pattern);
    if (++used_ * 2 > slots_.size()) grow();
  }
}
