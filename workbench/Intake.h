// Intake: the parameter texts into checked values, and the table text into a training table,
// ready to build.
#pragma once

#include <memory>
#include <string>

#include "LadError.h"
#include "LearningParameters.h"
#include "TrainingTable.h"

// The six parameters, in the order of ParameterTexts.
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

// The parameter fields as the user typed them: the text of the window's six boxes, or of the
// command line's options. The defaults are the texts of LearningParameters{}.
struct ParameterTexts {
  std::string gridSize = "8";
  std::string degree = "2";
  std::string positiveHomogeneity = "0.6";
  std::string positivePrevalence = "0.1";
  std::string negativeHomogeneity = "0.4";
  std::string negativePrevalence = "0.1";
};

// Reads the parameters (grid size and degree as whole numbers, other texts reading as 0; the
// four shares in the number text form, in field order) and refuses a Grid Size or Degree below
// 1 and a homogeneity or prevalence outside 0..1 (ParameterError, naming the box to put
// right). Failures, in this order: a share that does not convert, the grid size, the degree,
// then each share out of range.
LearningParameters readParameters(const ParameterTexts& texts, const NumberFormat& format);
// The parameters as the text of the six boxes, the shares in `format`.
ParameterTexts parameterTexts(const LearningParameters& parameters, const NumberFormat& format);

// Refuses a Grid Size or Degree below 1 (ParameterError).
void requireParameterRanges(const LearningParameters& parameters);

// Checks the parameters' ranges (values made elsewhere than from the boxes' texts are held to
// them too), then reads the table: attribute line, values and classes. Failures, in this
// order: a Grid Size or Degree below 1, a header of fewer than two fields ("Range check
// error"), a column name that holds a control character or begins with "Class", a table
// without observation lines, then line by line a line with more fields than the header or a
// field that does not convert. Numbers are read in `format`, which the table keeps for the
// model learned from it.
TrainingTable intake(const LearningParameters& parameters, const std::string& tableText,
                     const NumberFormat& format);
