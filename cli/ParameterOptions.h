// The learning parameters as command-line options, shared by the commands that build.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>

#include "Intake.h"

struct ParameterOptions {
  LearningParameters parameters;
  std::int32_t gridSize = spinValue(parameters.gridSize);
  std::int32_t degree = spinValue(parameters.degree);

  // --grid-size and --degree; with thresholds, the four threshold options too.
  void add(CLI::App* command, bool thresholds);
  // The parameters with the grid size and degree as given.
  LearningParameters values() const;
};
