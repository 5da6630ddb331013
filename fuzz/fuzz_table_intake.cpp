// Fuzzes intake with a data table text and the window's start parameters: a table is either
// refused with a LadError or read into one data row and one class per observation line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "Intake.h"
#include "LadError.h"

namespace {

// The observation lines, counted apart from the reader: the lines after the header, where a
// line ends at LF (a CR before it is not part of it), a final line end adds no empty line,
// and one empty last line is left out.
std::size_t observationLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  for (std::string& each : lines) {
    if (!each.empty() && each.back() == '\r') each.pop_back();
  }
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines.empty() ? 0 : lines.size() - 1;
}

// The attribute columns of the header: its fields less the name and the class.
std::size_t attributeColumns(const std::string& text) {
  const auto end = std::find(text.begin(), text.end(), '\n');
  return static_cast<std::size_t>(std::count(text.begin(), end, ',')) - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string table(reinterpret_cast<const char*>(data), size);
  std::optional<TrainingTable> read;
  try {
    read.emplace(intake(LearningParameters{}, table, NumberFormat{}));
  } catch (const LadError&) {
    return 0;
  }
  const TrainingTable& training = *read;
  const std::size_t observations = observationLines(table);
  if (training.values().size() != observations || training.classes().size() != observations) {
    propertyFailed(std::to_string(observations) + " observation lines read into " +
                   std::to_string(training.values().size()) + " data rows and " +
                   std::to_string(training.classes().size()) + " classes");
  }
  const std::size_t columns = attributeColumns(table);
  for (std::size_t r = 0; r < training.values().size(); ++r) {
    if (training.values()[r].size() != columns) {
      propertyFailed("data row " + std::to_string(r) + " has " +
                     std::to_string(training.values()[r].size()) + " values for " +
                     std::to_string(columns) + " attribute columns");
    }
  }
  return 0;
}
