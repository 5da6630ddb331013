#include "PatternRules.h"

#include <algorithm>
#include <cctype>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "LadError.h"
#include "ModelFiles.h"

std::vector<Condition> patternConditions(PatternView pattern, const matreal& cutpoints) {
  std::vector<Condition> conditions;
  conditions.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const std::int32_t k = pattern.map[i];
    const auto count = static_cast<std::int32_t>(cutpoints[static_cast<std::size_t>(k)].size());
    const std::int32_t lower = pattern.a[i] > 0 ? pattern.a[i] - 1 : -1;
    const std::int32_t upper = pattern.b[i] < count ? pattern.b[i] : -1;
    auto at = std::find_if(conditions.begin(), conditions.end(),
                           [k](const Condition& c) { return c.attribute == k; });
    if (at == conditions.end()) {
      conditions.push_back({k, lower, upper});
      continue;
    }
    // Cutpoints ascend, so the higher lower bound and the lower upper bound imply the others.
    at->lower = std::max(at->lower, lower);
    if (upper >= 0) at->upper = at->upper < 0 ? upper : std::min(at->upper, upper);
  }
  std::erase_if(conditions, [](const Condition& c) { return c.lower < 0 && c.upper < 0; });
  std::sort(conditions.begin(), conditions.end(),
            [](const Condition& x, const Condition& y) { return x.attribute < y.attribute; });
  return conditions;
}

ModelRules::ModelRules(std::shared_ptr<const Model> model, const NumberFormat& format)
    : model_(std::move(model)), format_(format) {
  if (!model_) throw LadError("No model");
  positives_ = model_->positive().size();
  negatives_ = model_->negative().size();
  for (std::size_t k = 0; k < model_->cutpoints().size(); ++k) {
    const bool named = k < model_->attributeNames().size();
    names_.push_back(named ? model_->attributeNames()[k]
                           : "Attribute " + integerText(static_cast<std::int64_t>(k + 1)));
  }
}

std::string ModelRules::name(std::int32_t j) const {
  return isPositive(j) ? "P" + integerText(j + 1) : "N" + integerText(j - positives_ + 1);
}

std::int32_t ModelRules::find(std::string_view name) const {
  if (name.size() < 2) return -1;
  const char side = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (side != 'P' && side != 'N') return -1;
  const std::string_view digits = name.substr(1);
  if (!std::all_of(digits.begin(), digits.end(),
                   [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
    return -1;
  }
  std::int64_t number = 0;
  for (const char c : digits) {
    number = number * 10 + (c - '0');
    if (number > size()) return -1;
  }
  if (side == 'P')
    return number >= 1 && number <= positives_ ? static_cast<std::int32_t>(number - 1) : -1;
  return number >= 1 && number <= negatives_ ? positives_ + static_cast<std::int32_t>(number - 1)
                                             : -1;
}

PatternView ModelRules::view(std::int32_t j) const {
  return isPositive(j) ? model_->positive().pattern(j) : model_->negative().pattern(j - positives_);
}

std::int64_t ModelRules::conditionsInAll() const {
  std::int64_t all = 0;
  for (std::int32_t j = 0; j < size(); ++j) all += degree(j);
  return all;
}

std::int32_t ModelRules::degree(std::int32_t j) const {
  const PatternView pattern = view(j);
  // The usual pattern names each attribute once and bounds it: no need to merge.
  bool plain = true;
  for (std::size_t i = 0; i < pattern.size() && plain; ++i) {
    const auto count = static_cast<std::int32_t>(
        model_->cutpoints()[static_cast<std::size_t>(pattern.map[i])].size());
    plain = (i == 0 || pattern.map[i] > pattern.map[i - 1]) &&
            (pattern.a[i] > 0 || pattern.b[i] < count);
  }
  if (plain) return static_cast<std::int32_t>(pattern.size());
  return static_cast<std::int32_t>(conditions(j).size());
}

void ModelRules::readCategories(const std::vector<std::string>& columns,
                                const std::vector<std::string>& values,
                                const std::vector<std::string>& missing) {
  missingTexts_ = missing;
  categoryColumns_.assign(names_.size(), "");
  categoryValues_.assign(names_.size(), "");
  for (std::size_t k = 0; k < names_.size() && k < columns.size() && k < values.size(); ++k) {
    if (values[k].empty()) continue;
    categoryColumns_[k] = columns[k];
    categoryValues_[k] = values[k];
  }
}

bool ModelRules::hasCategories() const {
  return std::any_of(categoryValues_.begin(), categoryValues_.end(),
                     [](const std::string& v) { return !v.empty(); });
}

const std::string& ModelRules::categoryColumn(std::size_t k) const {
  static const std::string none;
  return k < categoryColumns_.size() ? categoryColumns_[k] : none;
}

const std::string& ModelRules::categoryValue(std::size_t k) const {
  static const std::string none;
  return k < categoryValues_.size() ? categoryValues_[k] : none;
}

std::string ModelRules::conditionText(const Condition& condition) const {
  const auto k = static_cast<std::size_t>(condition.attribute);
  const arrreal& cuts = model_->cutpoints()[k];
  const std::string& attribute = names_[k];
  if (k < categoryValues_.size() && !categoryValues_[k].empty()) {
    // A category's attribute is 1 where the row has the value and 0 where it has another.
    auto holds = [&](double v) {
      return (condition.lower < 0 || v >= cuts[static_cast<std::size_t>(condition.lower)]) &&
             (condition.upper < 0 || v < cuts[static_cast<std::size_t>(condition.upper)]);
    };
    if (holds(1) && !holds(0)) return categoryColumns_[k] + " = " + categoryValues_[k];
    if (holds(0) && !holds(1)) return categoryColumns_[k] + " \u2260 " + categoryValues_[k];
  }
  std::string text;
  if (condition.lower >= 0) {
    const std::string low = numberText(cuts[static_cast<std::size_t>(condition.lower)], format_);
    text = condition.upper >= 0 ? low + " <= " + attribute : attribute + " >= " + low;
  } else {
    text = attribute;
  }
  if (condition.upper >= 0) {
    text += " < " + numberText(cuts[static_cast<std::size_t>(condition.upper)], format_);
  }
  return text;
}

std::string ModelRules::rule(std::int32_t j) const {
  std::string text;
  for (const Condition& condition : conditions(j)) {
    if (!text.empty()) text += " and ";
    text += conditionText(condition);
  }
  return text.empty() ? "(no condition)" : text;
}

bool ModelRules::satisfies(std::int32_t j, std::span<const double> values) const {
  return boxHolds(view(j), model_->cutpoints(), values);
}

std::int32_t ModelRules::highestAttributeUsed() const {
  return ::highestAttributeUsed(*model_);
}
