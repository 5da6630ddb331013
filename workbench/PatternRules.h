// The patterns of a model as rules a person can read: "Attr1 < 0.5 and 0.2 <= Attr3 < 0.7".
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ApplyModel.h"
#include "Model.h"
#include "NumberText.h"

// One attribute's condition of a pattern: the value must be at or above cutpoint `lower` and
// below cutpoint `upper` of that attribute (indices into the model's cutpoints; -1 where the
// side is open). A pattern's coordinates on the same attribute are merged into one condition,
// which holds exactly when all of them do, as the model checks them.
struct Condition {
  std::int32_t attribute = 0;
  std::int32_t lower = -1;
  std::int32_t upper = -1;

  // The comparisons of the model's own check: v >= cuts[lower], v < cuts[upper].
  bool holds(double v, const arrreal& cuts) const {
    if (lower >= 0 && !(v >= cuts[static_cast<std::size_t>(lower)])) return false;
    return upper < 0 || v < cuts[static_cast<std::size_t>(upper)];
  }
  // Whether some value satisfies it (hand-made model files can hold two coordinates on one
  // attribute that exclude each other).
  bool satisfiable() const { return lower < 0 || upper < 0 || lower < upper; }
  friend bool operator==(const Condition&, const Condition&) = default;
};

// The conditions of a pattern, one per constrained attribute, in attribute order. A
// coordinate that spans every bin of its attribute constrains nothing and gives none.
std::vector<Condition> patternConditions(PatternView pattern, const matreal& cutpoints);

// A model's patterns counted as one list, the positive ones first (P1, P2, ...), then the
// negative ones (N1, ...), as NAME.PAT and NAME.DES name them. Copies share the model, which
// must not change while they are in use.
class ModelRules {
 public:
  explicit ModelRules(std::shared_ptr<const Model> model, const NumberFormat& format);

  const Model& model() const { return *model_; }
  // The number text form of the rules' numbers.
  const NumberFormat& format() const { return format_; }
  // The same rules with numbers in another form.
  ModelRules withFormat(const NumberFormat& format) const {
    ModelRules copy = *this;
    copy.format_ = format;
    return copy;
  }

  // Reads conditions on a category's 0/1 attributes as "column = value" and "column ≠ value"
  // (TableReading.h): per attribute, its column and, for a category's, its value; `missing`,
  // the table's missing-value texts, for the exports that read the table's own values.
  void readCategories(const std::vector<std::string>& columns,
                      const std::vector<std::string>& values,
                      const std::vector<std::string>& missing = {});
  // Whether an attribute is a category's 0/1 attribute.
  bool hasCategories() const;
  // Attribute k's column and value when it is a category's 0/1 attribute, else "".
  const std::string& categoryColumn(std::size_t k) const;
  const std::string& categoryValue(std::size_t k) const;
  // The table's missing-value texts, as readCategories was given them.
  const std::vector<std::string>& missingTexts() const { return missingTexts_; }

  // The attributes the patterns can use: one per cutpoint row of the model.
  std::size_t attributeCount() const { return model_->cutpoints().size(); }
  const std::string& attributeName(std::size_t k) const { return names_[k]; }
  const arrreal& cutpoints(std::size_t k) const { return model_->cutpoints()[k]; }

  std::int32_t size() const { return positives_ + negatives_; }
  std::int32_t positiveCount() const { return positives_; }
  std::int32_t negativeCount() const { return negatives_; }
  bool isPositive(std::int32_t j) const { return j < positives_; }
  // "P3" or "N5".
  std::string name(std::int32_t j) const;
  // The pattern named so ("P3", "n5" too), or -1.
  std::int32_t find(std::string_view name) const;

  PatternView view(std::int32_t j) const;
  std::vector<Condition> conditions(std::int32_t j) const {
    return patternConditions(view(j), model_->cutpoints());
  }
  // The number of its conditions.
  std::int32_t degree(std::int32_t j) const;
  // The conditions of every pattern together: the size of the model as a reader sees it.
  std::int64_t conditionsInAll() const;
  // Its conditions joined by " and ", or "(no condition)" for a pattern that holds everywhere.
  std::string rule(std::int32_t j) const;
  // "Attr1 < 0.5", "Attr2 >= 0.1" or "0.2 <= Attr3 < 0.7", cutpoints in the number text form.
  std::string conditionText(const Condition& condition) const;
  // Whether the values satisfy pattern j: the model's own comparisons.
  bool satisfies(std::int32_t j, std::span<const double> values) const;

  // The highest attribute index a pattern uses, or -1.
  std::int32_t highestAttributeUsed() const;

 private:
  std::shared_ptr<const Model> model_;
  NumberFormat format_;
  std::vector<std::string> names_;
  // Per attribute, for a category's 0/1 attribute, its column and value (else empty).
  std::vector<std::string> categoryColumns_;
  std::vector<std::string> categoryValues_;
  std::vector<std::string> missingTexts_;
  std::int32_t positives_ = 0;
  std::int32_t negatives_ = 0;
};
