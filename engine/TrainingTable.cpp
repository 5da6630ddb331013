#include "TrainingTable.h"

#include <algorithm>

TrainingTable::TrainingTable(std::string attributeLine, matreal values, arrint classes,
                             const NumberFormat& format)
    : attributeLine_(std::move(attributeLine)),
      values_(std::move(values)),
      classes_(std::move(classes)),
      format_(format) {}

std::int32_t TrainingTable::positives() const {
  return static_cast<std::int32_t>(std::count(classes_.begin(), classes_.end(), 1));
}

std::int32_t TrainingTable::negatives() const {
  return static_cast<std::int32_t>(std::count(classes_.begin(), classes_.end(), 0));
}

std::vector<std::string> attributeNames(const std::string& attributeLine) {
  std::vector<std::string> names;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = attributeLine.find(',', from);
    names.push_back(attributeLine.substr(from, comma - from));
    if (comma == std::string::npos) return names;
    from = comma + 1;
  }
}

std::string observationName(std::size_t r) {
  return "Obs_" + std::to_string(r + 1);
}
