// The key order of built patterns, found from their fields rather than from their texts.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Description.h"
#include "LargePages.h"
#include "PatternSet.h"

// A pattern's description is ",field" per attribute, the fields of the attributes it leaves
// free empty, the others beginning with ">=" or "<". Compared byte by byte, two descriptions
// part at the first attribute where their fields differ: an empty field (a comma or the end
// next) comes before one that is not, so the pattern whose first constrained attribute comes
// later sorts first; two fields of the same attribute sort as their texts followed by what
// comes after a field (a comma, or the end at the last attribute), which a table of ranks per
// attribute settles once. So sorting small numbers per pattern gives the order of sorting the
// descriptions, without reading them.
//
// This holds when no cutpoint text holds a comma (a field would then run into the next) and
// the ranks fit their bits; FieldOrder::of says whether it does.
class FieldOrder {
 public:
  // Null when the texts do not allow the order by fields.
  static std::optional<FieldOrder> of(const CutpointTexts& texts, std::size_t attributes);

  // The entries of patterns in ascending order of their descriptions by `texts` (which must be
  // their keys), or null when a pattern does not suit (its attributes out of order, or more
  // than four of them constrained).
  std::optional<LargeVector<std::uint32_t>> order(const PatternSet& patterns) const;

 private:
  FieldOrder(const CutpointTexts& texts, std::size_t attributes);

  const CutpointTexts& texts_;
  // Per attribute, the rank of each field: [(lower + 1) * (cutpoints + 1) + upper + 1] for the
  // field from cutpoint `lower` (-1: none) below cutpoint `upper` (-1: none).
  std::vector<std::vector<std::uint16_t>> ranks_;
};
