// Apply Model: score every observation line of the table with a stored model.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "BuildModel.h"
#include "TableReading.h"

// What the command reports, in this order: the pattern counts once the model is read, the
// Forecast cleared once the header is checked, then one Forecast line per observation.
struct ApplyReport {
  // The model, once it is read.
  std::function<void(const std::shared_ptr<const Model>&)> loaded;
  std::function<void(PatternCounts)> counts;
  // Right after the counts, when the model lacks the patterns of a side: such a model scores
  // with one side only, and a model file cut short between its sides looks the same.
  std::function<void(const std::string&)> warning;
  std::function<void()> forecastCleared;
  std::function<void(const std::string&)> forecastLine;
  // With each Forecast line: the observation's name and class fields and its score.
  std::function<void(const std::string& name, const std::string& classField, double score)> scored;
};

// The layout NAME.TBL keeps of the table the model learned from, when there is one.
std::optional<TableLayout> storedLayout(const std::string& name);
// Row r's class as a two-class model sees it: "1" for the layout's positive class, "0" for
// another, "" for none.
std::string twoClassField(const ReadTable& table, std::size_t r);

// Reads NAME.MOD into a fresh model that reads and writes numbers in `format` (the model name
// checked as Build checks it). `warning` hears when NAME.PAT beside it names other pattern
// counts (a NAME.MOD cut short at a line end reads as a smaller model).
std::shared_ptr<const Model> loadModel(const std::string& name, const NumberFormat& format,
                                const std::function<void(const std::string&)>& warning = {});

// Reads NAME.MOD into a fresh model and scores each observation line. With NAME.TBL beside
// it, the table is read by that layout (its class column may be absent), the Forecast keeps
// each row's class as written and `scored` hears it as "1", "0" or "". Otherwise missing
// trailing values of a short line are 0.0. Refuses a table whose header has fewer attribute columns than the
// patterns use, and a line with more fields than the header; the lines before stay reported.
// Numbers are read and written in `format`, taken when the command starts.
void runApplyModel(const std::string& name, const std::string& tableText, const ApplyReport& report,
                   const NumberFormat& format);

// The highest attribute index a pattern of the model uses, or -1.
std::int32_t highestAttributeUsed(const Model& model);
// Refuses a table of fewer attribute columns than the model's patterns use, saying which
// attribute they need.
void requireAttributeColumns(const Model& model, std::int32_t columns);

// Applies NAME.MOD to the table and judges its scores (Evaluation.h); the report's callbacks
// are called as by runApplyModel.
struct Metrics;
Metrics evaluateStoredModel(const std::string& name, const std::string& tableText,
                            ApplyReport report, const NumberFormat& format);

// "NAME,CLASS,SCORE": the fields as they stand, the score in the number text form.
// The warning for a model whose positive or negative pattern set is empty, or "" when neither is.
std::string oneSidedModelWarning(const std::string& modelFile, PatternCounts counts);

std::string forecastLine(const std::string& nameField, const std::string& classField, double score,
                         const NumberFormat& format);
