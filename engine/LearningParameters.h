// The learning parameters as the build uses them: the six of every build, then the choices
// that default to the original method (equal-frequency cut points, every pattern kept). They are read and checked once, where
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

// How each attribute's cut points are chosen.
enum class Discretization {
  EqualFrequency,  // bins of about equal counts, from the attribute's own sorted values
  ClassAware,      // the minimum-description-length splits of the attribute by its classes
};

struct LearningParameters {
  std::int32_t gridSize = 8;  // at most this many bins per attribute
  std::int32_t degree = 2;    // attributes per searched subset
  Share positiveHomogeneity = 0.6;
  Share positivePrevalence = 0.1;
  Share negativeHomogeneity = 0.4;
  Share negativePrevalence = 0.1;
  Discretization discretization = Discretization::EqualFrequency;
  // Pattern selection: when above 0, only patterns enough that each training observation of a
  // side covered by that many patterns of its side (or by all of them, where fewer) stays so
  // covered are kept. 0 keeps every pattern.
  std::int32_t coverTarget = 0;
};
