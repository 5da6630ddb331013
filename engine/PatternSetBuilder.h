// Gathers the patterns of every subset into a pattern set, one pattern per description.
#pragma once

#include <cstdint>
#include <vector>

#include "Description.h"
#include "PatternSet.h"

// The first pattern found with a description keeps it; a later one with the same description
// is dropped. Equal descriptions are recognised on a compact structural key (the constrained
// attributes and the texts of their cutpoints), so a description is written only for a
// pattern that enters the pattern set. finish() puts the pattern set in ascending key order.
class PatternSetBuilder {
 public:
  PatternSetBuilder(const CutpointTexts& texts, std::size_t attributes, PatternSet& side);

  // Takes the boxes of one subset (lower then upper corner, dims bins each) over map.
  void take(const std::vector<std::int32_t>& boxes, std::int32_t dims, const arrint& map);
  void finish() { patterns_.sortByKey(); }

 private:
  // The structural key of a pattern into key.
  void keyOf(PatternView pattern, std::vector<std::int32_t>& key) const;
  static std::uint64_t hashOf(const std::vector<std::int32_t>& key);
  void grow();

  const CutpointTexts& texts_;
  std::size_t attributes_;
  PatternSet& patterns_;
  // Open addressing: hash in the high half, pattern set entry + 1 in the low half, 0 for empty.
  std::vector<std::uint64_t> slots_;
  std::size_t used_ = 0;
  std::vector<std::int32_t> key_;
  std::vector<std::int32_t> other_;
  arrint a_;
  arrint b_;
};
