// What `lad evaluate`, `lad cv` and `lad tune` print: lines of text, or one JSON document.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CrossValidation.h"

// NaN figures become null.
nlohmann::ordered_json metricsJson(const Metrics& metrics);
nlohmann::ordered_json crossValidationJson(const CrossValidationResult& result,
                                   const ValidationOptions& options);
nlohmann::ordered_json tuningJson(const std::vector<CrossValidationResult>& ranked,
                          const ValidationOptions& options, TuningCriterion criterion,
                          const std::string& buildLine);

std::vector<std::string> crossValidationReport(const CrossValidationResult& result,
                                               const NumberFormat& format);
std::vector<std::string> tuningReport(const std::vector<CrossValidationResult>& ranked,
                                      TuningCriterion criterion, const NumberFormat& format);

// The `lad build` line that learns a model with these parameters.
std::string buildCommandLine(const std::string& table, const ParameterValues& parameters,
                             const NumberFormat& format);
