// Cross-validation and tuning results as lines of text, for the command line and the window.
#pragma once

#include <string>
#include <vector>

#include "CrossValidation.h"

// The folds' figures, their mean and deviation, and the figures of every observation scored
// by the model that did not learn it.
std::vector<std::string> crossValidationReport(const CrossValidationResult& result,
                                               const NumberFormat& format);
// The parameter sets, best first, with their mean figures.
std::vector<std::string> tuningReport(const std::vector<CrossValidationResult>& ranked,
                                      TuningCriterion criterion, const NumberFormat& format);

// The `lad build` line that learns a model with these parameters.
std::string buildCommandLine(const std::string& table, const LearningParameters& parameters,
                             const NumberFormat& format);
