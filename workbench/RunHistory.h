// The run history: one record per build, apply, cross-validation and tuning run, kept as a small
// tab-separated file in the data's folder so that the runs are still listed next time.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "Evaluation.h"
#include "LearningParameters.h"

// The history file's name, in the folder of the data file (or the current folder).
inline const std::string kRunHistoryFile = "lad-runs.tsv";

struct RunRecord {
  std::string time;        // local time, "2026-12-11 02:30:05"
  std::string kind;        // "build", "apply", "cross-validation" or "tune"
  std::string table;       // the data's file name, or "the data box"
  std::string model;       // the model's name (build and apply), else ""
  std::string parameters;  // parametersSummary, or "" for apply
  // Patterns of the model (build, apply) or their mean over the folds; -1 when not known.
  double positivePatterns = -1;
  double negativePatterns = -1;
  // Figures of the evaluation; NaN when the run has none (a build).
  double accuracy = std::numeric_limits<double>::quiet_NaN();
  double balancedAccuracy = std::numeric_limits<double>::quiet_NaN();
  double auc = std::numeric_limits<double>::quiet_NaN();
  double undecidedShare = std::numeric_limits<double>::quiet_NaN();
  double seconds = 0;
};

// "grid 8, degree 2, 0.6/0.1/0.4/0.1", then ", class-aware" and ", cover 3" when chosen.
std::string parametersSummary(const LearningParameters& parameters);
// Now, in local time, as RunRecord::time holds it.
std::string timeNow();

// The header line of the file, and a record as one line (tabs and line breaks in texts become
// spaces; numbers with a '.' whatever the locale, "n/a" for NaN).
std::string runHistoryHeader();
std::string runHistoryLine(const RunRecord& record);
// A line read back; false when it is not a record (too few fields, a number that does not
// read).
bool readRunHistoryLine(const std::string& line, RunRecord& record);

struct RunHistory {
  std::vector<RunRecord> runs;   // oldest first
  std::int64_t unreadLines = 0;  // lines that were not records, left out
};
// The file's records; a missing file is an empty history. Keeps the newest kRunsKept.
constexpr std::size_t kRunsKept = 500;
RunHistory readRunHistory(const std::string& path);
// Adds the record at the end of the file (with the header, when the file is new); raises
// LadError "Cannot write the run history ..." naming the file and the reason.
void appendRun(const std::string& path, const RunRecord& record);

// Two runs side by side: one row per field, {caption, first run, second run}; the parameters
// one row each (grid size, degree, the four thresholds, cut points, selection).
std::vector<std::array<std::string, 3>> compareRuns(const RunRecord& first, const RunRecord& second,
                                                    const NumberFormat& format);
