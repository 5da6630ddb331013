// The JSON documents that `lad evaluate`, `lad cv` and `lad tune` print with --json.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CrossValidation.h"
#include "ValidationReport.h"

// NaN figures become null.
nlohmann::ordered_json metricsJson(const Metrics& metrics);
// The figures of a model per class: classes, observations, accuracy, balanced accuracy, macro
// F1, the confusion matrix and each class's AUC against the rest.
nlohmann::ordered_json classMetricsJson(const ClassMetrics& metrics);
nlohmann::ordered_json crossValidationJson(const CrossValidationResult& result,
                                           const ValidationOptions& options);
nlohmann::ordered_json tuningJson(const std::vector<CrossValidationResult>& ranked,
                                  const ValidationOptions& options, TuningCriterion criterion,
                                  const std::string& buildLine);
