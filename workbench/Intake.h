// Intake: the six parameter texts and the table text into a new model, ready to build.
#pragma once

#include <memory>
#include <string>

#include "TLAD.h"

// The parameter fields as the user typed them; the defaults are the window's start values.
struct LearningParameters {
  std::string gridSize = "8";
  std::string degree = "2";
  std::string positiveHomogeneity = "0.6";
  std::string positivePrevalence = "0.1";
  std::string negativeHomogeneity = "0.4";
  std::string negativePrevalence = "0.1";
};

// Reads the parameters (grid size and degree as whole numbers, other texts reading as 0; the
// four reals in the number text form, in field order), then the table: attributes, sizes,
// data and classvector. Failures, in this order: a real parameter that does not convert, a
// header of fewer than two fields ("Range check error"), a table without observation lines,
// then line by line a line with more fields than the header or a field that does not convert.
// Numbers are read in `format`, which the model keeps for what it writes.
std::unique_ptr<TLAD> intake(const LearningParameters& parameters, const std::string& tableText,
                             const NumberFormat& format = currentNumberFormat());
