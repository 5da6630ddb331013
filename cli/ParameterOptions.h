// The learning parameters as command-line options, shared by the commands that build.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>

#include "Intake.h"

class ParameterOptions {
 public:
  // --grid-size, --degree, --discretize and --select; with thresholds, the four threshold
  // options too. Their defaults are LearningParameters{}, the shares written with the decimal
  // separator of `format`.
  void add(CLI::App* command, bool thresholds, const NumberFormat& format);
  // The options as given, read and checked once (a ParameterError names a bad one).
  LearningParameters read(const NumberFormat& format) const;
  // The options as text, as the window's boxes would hold them.
  ParameterTexts texts() const;

 private:
  ParameterTexts texts_;
  std::int32_t gridSize_ = LearningParameters{}.gridSize;
  std::int32_t degree_ = LearningParameters{}.degree;
  std::string discretization_ = "equal-frequency";
  std::string selection_ = "none";
};

// "none" as 0, "cover:K" as K (a whole number of at least 1); anything else raises a LadError
// that names --select and what it takes.
std::int32_t readSelection(const std::string& text);
