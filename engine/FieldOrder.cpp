#include "FieldOrder.h"

#include <tbb/parallel_for.h>
#include <tbb/parallel_sort.h>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <string>

#include "KeyOrder.h"

namespace {

// Fields are packed 32 bits each, four to a pattern, first field highest: the attribute
// (counted down from the top, so that a later attribute sorts first) in the high 16 bits, the
// field's rank in the low 16. An unused place is 0, below every field, as the description
// that has no more fields ends first.
constexpr std::size_t kMostFields = 4;
constexpr std::size_t kMostAttributes = 0xffff;
constexpr std::size_t kMostRanks = 0x10000;

struct Packed {
  std::uint64_t high;  // the first two fields
  std::uint64_t low;   // the last two
  std::uint32_t entry;
  bool operator<(const Packed& other) const {
    if (high != other.high) return high < other.high;
    if (low != other.low) return low < other.low;
    return entry < other.entry;
  }
};

}  // namespace

std::optional<FieldOrder> FieldOrder::of(const CutpointTexts& texts, std::size_t attributes) {
  if (attributes > kMostAttributes) return std::nullopt;
  for (std::size_t k = 0; k < std::min(attributes, texts.attributeCount()); ++k) {
    const std::size_t count = texts.cutpointCount(k);
    if ((count + 1) * (count + 1) > kMostRanks) return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
      const std::string& text = texts.text(k, i);
      if (text.find(',') != std::string::npos) return std::nullopt;
    }
  }
  return FieldOrder(texts, attributes);
}

FieldOrder::FieldOrder(const CutpointTexts& texts, std::size_t attributes)
    : texts_(texts), ranks_(std::min(attributes, texts.attributeCount())) {
  // Only an attribute with cutpoints can be constrained.
  for (std::size_t k = 0; k < ranks_.size(); ++k) {
    const auto count = static_cast<std::int32_t>(texts.cutpointCount(k));
    // What follows a field: the next field's comma, or the end of the description.
    const std::string after = k + 1 < attributes ? "," : "";
    std::vector<std::string> fields;
    for (std::int32_t lower = -1; lower < count; ++lower) {
      for (std::int32_t upper = -1; upper < count; ++upper) {
        std::string field;
        texts.appendField(k, lower, upper, field);
        fields.push_back(field + after);
      }
    }
    std::vector<std::uint32_t> byText(fields.size());
    std::iota(byText.begin(), byText.end(), 0u);
    std::sort(byText.begin(), byText.end(), [&](std::uint32_t x, std::uint32_t y) {
      return compareKeys(fields[x], fields[y]) < 0;
    });
    std::vector<std::uint16_t>& ranks = ranks_[k];
    ranks.resize(fields.size());
    std::uint16_t rank = 0;
    for (std::size_t i = 0; i < byText.size(); ++i) {
      if (i > 0 && compareKeys(fields[byText[i - 1]], fields[byText[i]]) != 0) ++rank;
      ranks[byText[i]] = rank;
    }
  }
}

std::optional<LargeVector<std::uint32_t>> FieldOrder::order(const PatternSet& patterns) const {
  const auto count = static_cast<std::size_t>(patterns.size());
  LargeVector<Packed> packed(count);
  std::atomic<bool> suits = true;
  tbb::parallel_for(
      tbb::blocked_range<std::size_t>(0, count, 4096),
      [&](const tbb::blocked_range<std::size_t>& range) {
        for (std::size_t i = range.begin(); i != range.end() && suits; ++i) {
          const PatternView pattern = patterns.pattern(static_cast<std::int32_t>(i));
          std::uint32_t fields[kMostFields] = {};
          std::size_t used = 0;
          for (std::size_t x = 0; x < pattern.size(); ++x) {
            const auto k = static_cast<std::size_t>(pattern.map[x]);
            if (k >= ranks_.size() || (x > 0 && pattern.map[x] <= pattern.map[x - 1])) {
              suits = false;
              break;
            }
            const auto [lower, upper] = texts_.boundIds(k, pattern.a[x], pattern.b[x]);
            if (lower < 0 && upper < 0) continue;
            if (used == kMostFields) {
              suits = false;
              break;
            }
            const std::size_t at =
                static_cast<std::size_t>(lower + 1) * (texts_.cutpointCount(k) + 1) +
                static_cast<std::size_t>(upper + 1);
            fields[used++] = static_cast<std::uint32_t>(kMostAttributes - k) << 16 | ranks_[k][at];
          }
          packed[i] = {static_cast<std::uint64_t>(fields[0]) << 32 | fields[1],
                       static_cast<std::uint64_t>(fields[2]) << 32 | fields[3],
                       static_cast<std::uint32_t>(i)};
        }
      });
  if (!suits) return std::nullopt;
  tbb::parallel_sort(packed.begin(), packed.end());
  LargeVector<std::uint32_t> order(count);
  for (std::size_t i = 0; i < count; ++i) order[i] = packed[i].entry;
  return order;
}
