// The learning parameters as command-line options, shared by the commands that build.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "CrossValidation.h"
#include "Intake.h"

class ParameterOptions {
 public:
  // One value of each parameter (build, cv), or lists of degrees, cut points and selections
  // to try (tune, whose threshold lists are options of its own).
  enum class Form { Values, Lists };

  // --grid-size, --degree, --discretize and --select; with Values, the four threshold
  // options too. Their defaults are LearningParameters{}, the shares written with the decimal
  // separator of `format`.
  void add(CLI::App* command, Form form, const NumberFormat& format);
  // The options as given, read and checked once (a ParameterError names a bad one); of a list,
  // its first value.
  LearningParameters read(const NumberFormat& format) const;
  // The options as text, as the window's boxes would hold them.
  ParameterTexts texts() const;
  // The lists of degrees, cut points and selections, for a tuning grid.
  void readLists(TuningGrid& grid) const;

 private:
  ParameterTexts texts_;
  std::int32_t gridSize_ = LearningParameters{}.gridSize;
  std::string degrees_ = "2";
  std::string discretizations_ = "equal-frequency";
  std::string selections_ = "none";
};

// "none" as 0, "cover:K" as K (a whole number of at least 1); anything else raises a LadError
// that names --select and what it takes.
std::int32_t readSelection(const std::string& text);
