// Intake: the six parameter texts and the table text into a new model, ready to build.
#pragma once

#include <memory>
#include <string>

#include "LadError.h"
#include "TLAD.h"

// The six parameters, in the order of LearningParameters.
enum class ParameterField {
  GridSize,
  Degree,
  PositiveHomogeneity,
  PositivePrevalence,
  NegativeHomogeneity,
  NegativePrevalence
};
// "Grid Size", "Degree", "Positive Homogeneity", ...: the captions of the window's boxes.
const char* parameterCaption(ParameterField field);

// A parameter that does not convert or lies outside its range; the message begins with the
// parameter's caption, and field says which box to put right.
class ParameterError : public EConvertError {
 public:
  ParameterError(ParameterField field, const std::string& message)
      : EConvertError(std::string(parameterCaption(field)) + ": " + message), field(field) {}
  ParameterField field;
};

// The model name that the window and the command line start with.
inline const std::string kDefaultModelName = "LAD";

// The parameter fields as the user typed them. These defaults are the start values of the
// window and of the command line alike.
struct LearningParameters {
  std::string gridSize = "8";
  std::string degree = "2";
  std::string positiveHomogeneity = "0.6";
  std::string positivePrevalence = "0.1";
  std::string negativeHomogeneity = "0.4";
  std::string negativePrevalence = "0.1";
};

// The parameters as numbers.
struct ParameterValues {
  std::int32_t gridSize = 0;
  std::int32_t degree = 0;
  double positiveHomogeneity = 0;
  double positivePrevalence = 0;
  double negativeHomogeneity = 0;
  double negativePrevalence = 0;
};
// Reads and checks the parameters as intake does; a front end calls it to point at a bad box
// before it starts a build.
ParameterValues readParameters(const LearningParameters& parameters, const NumberFormat& format);

// Reads the parameters (grid size and degree as whole numbers, other texts reading as 0; the
// four reals in the number text form, in field order) and refuses a Grid Size or Degree
// below 1 and a homogeneity or prevalence outside 0..1 (ParameterError), then the table:
// attributes, sizes, data and classvector. Failures, in this order: a real parameter that does not
// convert, a header of fewer than two fields ("Range check error"), a column name that holds a
// control character or begins with "Class", a table without observation lines, then line by line a
// line with more fields than the header or a field that does not convert. Numbers are read in
// `format`, which the model keeps for what it writes.
std::unique_ptr<TLAD> intake(const LearningParameters& parameters, const std::string& tableText,
                             const NumberFormat& format = currentNumberFormat());
