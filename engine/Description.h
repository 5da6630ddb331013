// Pattern descriptions: one field per attribute, each after a ",", holding the pattern's
// conditions on that attribute's values (">=x", "<y", ">=x & <y" or nothing).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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

  std::size_t cutpointCount(std::size_t k) const { return texts_[k].size(); }
  std::size_t attributeCount() const { return texts_.size(); }

  std::string describe(PatternView pattern, std::size_t attributes) const;
  // The same description appended to out.
  void describe(PatternView pattern, std::size_t attributes, std::string& out) const;

 private:
  const matreal& cutpoints_;
  std::vector<std::vector<std::string>> texts_;
  std::vector<std::vector<std::int32_t>> ids_;
};
