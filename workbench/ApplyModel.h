// Apply Model: score every observation line of the table with a stored model.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "BuildModel.h"

// What the command reports, in this order: the pattern counts once the model is read, the
// Forecast cleared once the header is checked, then one Forecast line per observation.
struct ApplyReport {
  std::function<void(PatternCounts)> counts;
  std::function<void()> forecastCleared;
  std::function<void(const std::string&)> forecastLine;
};

// Reads NAME.MOD into a fresh model and scores each observation line. Missing trailing values
// of a short line are 0.0. Refuses a table whose header has fewer attribute columns than the
// patterns use, and a line with more fields than the header; the lines before stay reported.
// Numbers are read and written in `format`, taken when the command starts.
void runApplyModel(const std::string& name, const std::string& tableText, const ApplyReport& report,
                   const NumberFormat& format = currentNumberFormat());

// "NAME,CLASS,SCORE": the fields as they stand, the score in the number text form.
std::string forecastLine(const std::string& nameField, const std::string& classField, double score,
                         const NumberFormat& format = currentNumberFormat());
