// The observations a model learns from: the attribute names, one row of values per
// observation and each observation's class.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArrayTypes.h"
#include "NumberText.h"

class TrainingTable {
 public:
  TrainingTable() = default;
  // attributeLine: the attribute names joined by ",", as the header gives them and the model
  // files write them. values: one row per observation, one value per attribute column.
  // classes: per observation, 1 positive, 0 negative, any other value neither. format: how the
  // table's numbers were written, and so how the model learned from it writes its own.
  TrainingTable(std::string attributeLine, matreal values, arrint classes,
                const NumberFormat& format);

  const std::string& attributeLine() const { return attributeLine_; }
  const matreal& values() const { return values_; }
  const arrint& classes() const { return classes_; }
  const NumberFormat& format() const { return format_; }

  std::size_t rows() const { return values_.size(); }
  // The attribute columns: the length of the first row.
  std::size_t columns() const { return values_.empty() ? 0 : values_[0].size(); }
  std::int32_t positives() const;
  std::int32_t negatives() const;
  // The same table with only the rows r for which keep(r) holds, in their order.
  template <class Keep>
  TrainingTable rowsWhere(Keep keep) const {
    TrainingTable kept(attributeLine_, {}, {}, format_);
    for (std::size_t r = 0; r < rows(); ++r) {
      if (!keep(r)) continue;
      kept.values_.push_back(values_[r]);
      kept.classes_.push_back(classes_[r]);
    }
    return kept;
  }

 private:
  std::string attributeLine_;
  matreal values_;
  arrint classes_;
  NumberFormat format_;
};

// The names of an attribute line, cut at every "," (k commas give k + 1 names).
std::vector<std::string> attributeNames(const std::string& attributeLine);

// The name of observation r (from 0) in the reports: "Obs_1", "Obs_2", ...
std::string observationName(std::size_t r);
