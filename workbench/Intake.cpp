#include "Intake.h"

#include <cmath>
#include <limits>

#include "LadError.h"
#include "TextRoutines.h"
#include "KeyedLists.h"
#include "NameText.h"
#include "NumberText.h"
#include "TableText.h"

namespace {

std::int32_t classOf(const std::string& field, std::size_t lineNo, std::size_t column,
                     const NumberFormat& format) {
  const double value = std::trunc(tableNumber(field, lineNo, column, format));
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw LadError("Line " + integerText(static_cast<std::int64_t>(lineNo)) + ": the class '" + field +
                   "' is out of range");
  }
  return static_cast<std::int32_t>(value);
}

double realParameter(ParameterField field, const std::string& text, const NumberFormat& format) {
  try {
    return numberFromText(text, format);
  } catch (const EConvertError& e) {
    throw ParameterError(field, e.what());
  }
}

// A share between 0 and 1; anything else (not a number included) is refused.
Share share(ParameterField field, double value, const NumberFormat& format) {
  if (!Share::holds(value)) {
    throw ParameterError(field,
                         "must lie between 0 and 1 (it is " + numberText(value, format) + ")");
  }
  return value;
}

}  // namespace

const char* parameterCaption(ParameterField field) {
  switch (field) {
    case ParameterField::GridSize:
      return "Grid Size";
    case ParameterField::Degree:
      return "Degree";
    case ParameterField::PositiveHomogeneity:
      return "Positive Homogeneity";
    case ParameterField::PositivePrevalence:
      return "Positive Prevalence";
    case ParameterField::NegativeHomogeneity:
      return "Negative Homogeneity";
    case ParameterField::NegativePrevalence:
      break;
  }
  return "Negative Prevalence";
}

LearningParameters readParameters(const ParameterTexts& parameters, const NumberFormat& format) {
  const std::int32_t grid = spinValue(parameters.gridSize);
  const std::int32_t degree = spinValue(parameters.degree);
  using F = ParameterField;
  const double posHom =
      realParameter(F::PositiveHomogeneity, parameters.positiveHomogeneity, format);
  const double posPrev =
      realParameter(F::PositivePrevalence, parameters.positivePrevalence, format);
  const double negHom =
      realParameter(F::NegativeHomogeneity, parameters.negativeHomogeneity, format);
  const double negPrev =
      realParameter(F::NegativePrevalence, parameters.negativePrevalence, format);
  // Out of these ranges a build would write an empty or meaningless model as a success.
  if (grid < 1) {
    throw ParameterError(
        F::GridSize, "must be at least 1 (it is " + quotedForMessage(parameters.gridSize) + ")");
  }
  if (degree < 1) {
    throw ParameterError(F::Degree,
                         "must be at least 1 (it is " + quotedForMessage(parameters.degree) + ")");
  }
  LearningParameters read;
  read.gridSize = grid;
  read.degree = degree;
  read.positiveHomogeneity = share(F::PositiveHomogeneity, posHom, format);
  read.positivePrevalence = share(F::PositivePrevalence, posPrev, format);
  read.negativeHomogeneity = share(F::NegativeHomogeneity, negHom, format);
  read.negativePrevalence = share(F::NegativePrevalence, negPrev, format);
  return read;
}

ParameterTexts parameterTexts(const LearningParameters& parameters, const NumberFormat& format) {
  ParameterTexts texts;
  texts.gridSize = integerText(parameters.gridSize);
  texts.degree = integerText(parameters.degree);
  texts.positiveHomogeneity = numberText(parameters.positiveHomogeneity, format);
  texts.positivePrevalence = numberText(parameters.positivePrevalence, format);
  texts.negativeHomogeneity = numberText(parameters.negativeHomogeneity, format);
  texts.negativePrevalence = numberText(parameters.negativePrevalence, format);
  return texts;
}

void requireParameterRanges(const LearningParameters& parameters) {
  // Values made elsewhere than from the boxes' texts (a program's own, say) are held to the
  // same ranges; the shares hold theirs by their type.
  using F = ParameterField;
  if (parameters.gridSize < 1) {
    throw ParameterError(F::GridSize, "must be at least 1 (it is " +
                                          quotedForMessage(integerText(parameters.gridSize)) + ")");
  }
  if (parameters.degree < 1) {
    throw ParameterError(F::Degree, "must be at least 1 (it is " +
                                        quotedForMessage(integerText(parameters.degree)) + ")");
  }
}

TrainingTable intake(const LearningParameters& parameters, const std::string& tableText,
                     const NumberFormat& format) {
  requireParameterRanges(parameters);
  const std::vector<std::string> lines = tableLines(tableText);
  requireLines(lines);
  const std::string& header = tableLine(lines, 0);
  TextList fields;
  fields.parse(header);
  const std::int32_t headerFields = fields.size();
  const std::int32_t n = headerFields - 2;
  if (n < 0) throw ERangeError();
  if (n == 0) {
    throw LadError(
        "The header has no attribute column: a table needs a name column, at least one "
        "attribute and the class column");
  }
  // The names are the header without its first field and without ",Class": a name that only
  // begins with "Class" would lose those letters.
  for (std::int32_t j = 1; j < headerFields; ++j) {
    const std::string& name = fields.keys[static_cast<std::size_t>(j)];
    // Names go into the model's files and into code exported from it: a NUL or a line break
    // there could end a line or a quoted name early.
    const std::string problem = controlCharacterProblem(name);
    if (!problem.empty()) {
      throw LadError("Column " + integerText(j + 1) + " of the header " + problem +
                     "; a name may hold no control characters (bytes 0x00 to 0x1F and 0x7F)");
    }
    if (name.rfind("Class", 0) == 0 && name != "Class") {
      throw LadError("Column " + integerText(j + 1) + " of the header is named " +
                     quotedForMessage(name) +
                     "; no column may have a name that begins with \"Class\" unless it is the "
                     "class column named \"Class\"");
    }
  }
  if (lines.size() < 2) {
    throw LadError("The data table has a header but no observation lines");
  }

  const std::size_t observations = lines.size() - 1;
  matreal values(observations, arrreal(static_cast<std::size_t>(n), 0.0));
  arrint classes(observations, 0);

  const std::size_t comma = header.find(',');
  const std::string names = comma == std::string::npos ? header : header.substr(comma + 1);
  std::string attributeLine = replacestr(names, ",Class", "", true);

  for (std::size_t r = 0; r < observations; ++r) {
    const std::size_t lineNo = r + 2;
    fields.parse(lines[r + 1]);
    const std::int32_t m = fields.size();
    requireNoExtraFields(m, headerFields, lineNo);
    arrreal& row = values[r];
    for (std::int32_t j = 1; j <= m - 2; ++j) {
      row[static_cast<std::size_t>(j - 1)] =
          tableNumber(fields.keys[static_cast<std::size_t>(j)], lineNo,
                      static_cast<std::size_t>(j + 1), format);
    }
    classes[r] = classOf(fields.keys[static_cast<std::size_t>(m - 1)], lineNo,
                                    static_cast<std::size_t>(m), format);
  }
  return TrainingTable(std::move(attributeLine), std::move(values), std::move(classes), format);
}
