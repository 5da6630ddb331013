// Build Model: learn from the table, write and report the four model files, count patterns.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Intake.h"
#include "ModelFiles.h"

struct PatternCounts {
  std::int32_t positive = 0;
  std::int32_t negative = 0;
};

// Called right after each file is written, so that a front end shows it before the next.
using FileWritten = std::function<void(ModelFileKind kind, const std::string& filename)>;

// Intake, buildModel, then NAME.MOD, NAME.PAT, NAME.DES and NAME.GRD in that order. A failure
// stops the command where it happens; the files written before it stay.
// How a build runs: the number format, taken once when the options are made (on the thread
// that starts the command), and the threads, progress and cancel flag of the search.
struct BuildOptions {
  NumberFormat format = currentNumberFormat();
  BuildControl control;
};

// A cancelled build raises "Build cancelled" before it writes any file.
PatternCounts runBuildModel(const LearningParameters& parameters, const std::string& tableText,
                            const std::string& name, const FileWritten& fileWritten,
                            const BuildOptions& options = {});
