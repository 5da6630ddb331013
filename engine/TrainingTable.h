// The observations a model learns from: the attribute names, one row of values per
// observation and each observation's class.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArrayTypes.h"
#include "NumberText.h"

struct TrainingTable {
  // The attribute names joined by ",", as the header gives them and the model files write them.
  std::string attributeLine;
  matreal values;  // one row per observation, one value per attribute column
  arrint classes;  // per observation: 1 positive, 0 negative, any other value neither
  // How the table's numbers were written, and so how the model writes its own.
  NumberFormat format;

  std::size_t rows() const { return values.size(); }
  // The attribute columns: the length of the first row.
  std::size_t columns() const { return values.empty() ? 0 : values[0].size(); }
  std::int32_t positives() const;
  std::int32_t negatives() const;
};

// The names of an attribute line, cut at every "," (k commas give k + 1 names).
std::vector<std::string> attributeNames(const std::string& attributeLine);

// The name of observation r (from 0) in the reports: "Obs_1", "Obs_2", ...
std::string observationName(std::size_t r);
