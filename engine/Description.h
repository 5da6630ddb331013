// Pattern descriptions: one field per attribute, each after a ",", holding the pattern's
// conditions on that attribute's values (">=x", "<y", ">=x & <y" or nothing).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ArrayTypes.h"
#include "NumberText.h"
#include "PatternBox.h"

// The description of a pattern over `attributes` attributes. cutText(k, i) is the text of
// cutpoint i of attribute k. When two coordinates name the same attribute, the later one
// gives its field.
std::string describePattern(PatternView pattern, std::size_t attributes, const matreal& cutpoints,
                            const std::function<std::string(std::size_t, std::size_t)>& cutText);

// The texts of every cutpoint of a model, written once, for describing many patterns.
class CutpointTexts {
 public:
  CutpointTexts(const matreal& cutpoints, const NumberFormat& format);

  const std::string& text(std::size_t k, std::size_t i) const { return texts_[k][i]; }
  // The first cutpoint of attribute k with the same text as cutpoint i: two patterns have the
  // same description exactly when they constrain the same attributes by cutpoints of the same
  // texts.
  std::int32_t textId(std::size_t k, std::size_t i) const { return ids_[k][i]; }
  // The text ids of the cutpoints that bound bins a to b of attribute k: the one below bin a
  // and the one above bin b, each -1 where the bins reach that end. Both -1: no condition.
  std::pair<std::int32_t, std::int32_t> boundIds(std::size_t k, std::int32_t a,
                                                 std::int32_t b) const {
    const auto count = static_cast<std::int32_t>(ids_[k].size());
    return {a > 0 ? ids_[k][static_cast<std::size_t>(a - 1)] : -1,
            b < count ? ids_[k][static_cast<std::size_t>(b)] : -1};
  }

  std::size_t cutpointCount(std::size_t k) const { return texts_[k].size(); }
  std::size_t attributeCount() const { return texts_.size(); }

  std::string describe(PatternView pattern, std::size_t attributes) const;
  // The same description appended to out.
  void describe(PatternView pattern, std::size_t attributes, std::string& out) const;
  // The field of attribute k from cutpoint lower up to cutpoint upper (-1: no bound on that
  // side), appended to out: ">=x", "<y", ">=x & <y", or nothing.
  void appendField(std::size_t k, std::int32_t lower, std::int32_t upper, std::string& out) const;

 private:
  const matreal& cutpoints_;
  std::vector<std::vector<std::string>> texts_;
  std::vector<std::vector<std::int32_t>> ids_;
};
