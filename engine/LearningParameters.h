// The six learning parameters as the build uses them. They are read and checked once, where
// the user gives them (a parameter box, a command-line option), and travel unchanged from
// there to the search's acceptance rule.
#pragma once

#include <cstdint>

// A share of observations between 0 and 1, inclusive: a homogeneity or a prevalence. A value
// outside that range (not a number included) is refused when the share is made.
class Share {
 public:
  constexpr Share() = default;
  // Raises LadError for a value outside 0..1.
  Share(double value);  // NOLINT(google-explicit-constructor): a share reads as the number it is

  constexpr operator double() const { return value_; }

  static constexpr bool holds(double value) { return value >= 0.0 && value <= 1.0; }

 private:
  double value_ = 0;
};

struct LearningParameters {
  std::int32_t gridSize = 8;  // at most this many bins per attribute
  std::int32_t degree = 2;    // attributes per searched subset
  Share positiveHomogeneity = 0.6;
  Share positivePrevalence = 0.1;
  Share negativeHomogeneity = 0.4;
  Share negativePrevalence = 0.1;
};
