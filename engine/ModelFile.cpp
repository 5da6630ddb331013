// NAME.MOD: the attribute names, the cutpoints and both pattern sets' patterns, one per line.
#include "ModelFile.h"

#include "Description.h"
#include "KeyedLists.h"
#include "LadError.h"
#include "NumberText.h"
#include "TextRoutines.h"
#include "TrainingTable.h"

namespace {

const std::string kPospattern = "Pospattern";
const std::string kNegpattern = "Negpattern";

// A damaged or hand-edited model file: say which file and line, and what is wrong.
[[noreturn]] void damaged(const std::string& filename, std::size_t line, const std::string& what) {
  throw LadError(filename + ", line " + std::to_string(line) + ": " + what);
}

// Runs a conversion; its failure keeps the conversion message and names the file and line.
template <class Convert>
auto converted(const std::string& filename, std::size_t line, Convert convert) {
  try {
    return convert();
  } catch (const EConvertError& e) {
    throw EConvertError(filename + ", line " + std::to_string(line) + ": " + e.what());
  }
}

}  // namespace

void writeModelFile(const Model& model, LineFileWriter& out) {
  const NumberFormat& format = model.format();
  const matreal& cutpoints = model.cutpoints();
  out.writeLine("Attributes=" + model.attributeLine());
  for (std::size_t i = 0; i < cutpoints.size(); ++i) {
    std::string line = "Cutpoints_Att_" + integerText(static_cast<std::int64_t>(i)) + "=";
    for (std::size_t j = 0; j < cutpoints[i].size(); ++j) {
      if (j > 0) line += ",";
      // Exact, so that a value equal to a cutpoint falls in the same bin when the model is
      // applied as when it was built.
      line += exactNumberText(cutpoints[i][j], format);
    }
    out.writeLine(line);
  }
  std::string line;
  auto writePatterns = [&](const PatternSet& patterns, const std::string& name) {
    for (std::int32_t j = 0; j < patterns.size(); ++j) {
      line = name;
      appendInteger(j + 1, line);
      line += '=';
      appendPatternText(patterns.pattern(j), line);
      out.writeLine(line);
    }
  };
  writePatterns(model.positive(), kPospattern);
  writePatterns(model.negative(), kNegpattern);
}

// Every line of a model file, in the one order save writes them: the "Attributes" line, then
// "Cutpoints_Att_0", "Cutpoints_Att_1", ... (one per attribute column), then "Pospattern1",
// "Pospattern2", ..., then "Negpattern1", ... Anything else is a damaged or foreign file, and
// is refused: a file cut short must not pass for a smaller model.
Model readModelFile(const std::string& filename, const NumberFormat& format) {
  std::vector<std::string> lines = readLineFile(filename);
  if (!lines.empty() && lines[0].rfind("\xEF\xBB\xBF", 0) == 0) lines[0].erase(0, 3);
  if (lines.empty())
    damaged(filename, 1, "the file is empty; a model begins with an \"Attributes\" line");

  std::vector<std::string> names;  // those of the "Attributes" line
  matreal readCutpoints;
  PatternSet positives;
  PatternSet negatives;

  TextList fields;
  TextList parts;
  parts.delimiter = ":";
  for (std::size_t lineIndex = 0; lineIndex < lines.size(); ++lineIndex) {
    const std::size_t lineNo = lineIndex + 1;
    const std::string& line = lines[lineIndex];
    const std::size_t eq = line.find('=');
    const std::string name = eq == std::string::npos ? line : line.substr(0, eq);
    const std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);

    if (lineIndex == 0) {
      if (name != "Attributes" || eq == std::string::npos) {
        damaged(filename, lineNo,
                "a model begins with an \"Attributes\" line, not " + quotedForMessage(line));
      }
      names = attributeNames(value);
      continue;
    }
    const std::string expectedCutpoints =
        "Cutpoints_Att_" + integerText(static_cast<std::int64_t>(readCutpoints.size()));
    if (name.rfind("Cutpoints_Att_", 0) == 0 && eq != std::string::npos) {
      if (!positives.empty() || !negatives.empty()) {
        damaged(filename, lineNo, "a \"Cutpoints\" line after the patterns");
      }
      if (name != expectedCutpoints) {
        damaged(filename, lineNo,
                "expected the line \"" + expectedCutpoints + "\", not " + quotedForMessage(name));
      }
      if (readCutpoints.size() >= names.size()) {
        damaged(filename, lineNo,
                "more \"Cutpoints\" lines than the " +
                    integerText(static_cast<std::int64_t>(names.size())) +
                    " attribute(s) of the \"Attributes\" line");
      }
      // An attribute without cutpoints is written with an empty value: an empty row.
      arrreal row;
      if (!value.empty()) {
        fields.parse(value);
        for (const std::string& field : fields.keys) {
          row.push_back(converted(filename, lineNo, [&] { return numberFromText(field, format); }));
          if (row.size() > 1 && !(row[row.size() - 2] < row.back())) {
            damaged(filename, lineNo,
                    "the cutpoints are not in ascending order (" + field + " after " +
                        fields.keys[row.size() - 2] + ")");
          }
        }
      }
      readCutpoints.push_back(std::move(row));
      continue;
    }
    const bool positive = name.rfind(kPospattern, 0) == 0;
    const bool negative = name.rfind(kNegpattern, 0) == 0;
    if ((!positive && !negative) || eq == std::string::npos) {
      damaged(filename, lineNo, "this is not a line of a model file: " + quotedForMessage(line));
    }
    if (positive && !negatives.empty()) {
      damaged(filename, lineNo, "a positive pattern after the negative ones");
    }
    PatternSet& side = positive ? positives : negatives;
    const std::string expectedName =
        (positive ? kPospattern : kNegpattern) + integerText(side.size() + 1);
    if (name != expectedName) {
      damaged(filename, lineNo,
              "expected the pattern \"" + expectedName + "\", not " + quotedForMessage(name));
    }

    fields.parse(value);
    PatternBox pattern(fields.size());
    for (std::size_t j = 0; j < fields.keys.size(); ++j) {
      const std::string& coordinate = fields.keys[j];
      parts.parse(coordinate);
      if (parts.size() != 3) {
        damaged(filename, lineNo,
                "the pattern coordinate " + quotedForMessage(coordinate) +
                    " does not have the three parts lower bin:upper bin:attribute");
      }
      pattern.a[j] = converted(filename, lineNo, [&] { return integerFromText(parts.keys[0]); });
      pattern.b[j] = converted(filename, lineNo, [&] { return integerFromText(parts.keys[1]); });
      const std::int32_t k =
          converted(filename, lineNo, [&] { return integerFromText(parts.keys[2]); });
      pattern.map[j] = k;
      if (k < 0 || static_cast<std::size_t>(k) >= readCutpoints.size()) {
        damaged(filename, lineNo,
                "the pattern names attribute " + integerText(k) + ", but the file has " +
                    integerText(static_cast<std::int64_t>(readCutpoints.size())) +
                    " \"Cutpoints\" line(s)");
      }
      const auto bins =
          static_cast<std::int32_t>(readCutpoints[static_cast<std::size_t>(k)].size()) + 1;
      if (pattern.a[j] < 0 || pattern.b[j] >= bins || pattern.a[j] > pattern.b[j]) {
        damaged(filename, lineNo,
                "the bins " + parts.keys[0] + " to " + parts.keys[1] + " of attribute " +
                    integerText(k) + " lie outside its bins 0 to " + integerText(bins - 1));
      }
    }
    side.append(describePattern(pattern, names.size(), readCutpoints,
                                [&](std::size_t k, std::size_t i) {
                                  return numberText(readCutpoints[k][i], format);
                                }),
                pattern);
  }

  // Every model has an attribute column, so a file without cutpoints was cut short.
  if (readCutpoints.empty()) {
    damaged(filename, lines.size() + 1,
            "expected the line \"Cutpoints_Att_0\", not the end of the file");
  }
  return Model(std::move(names), CutpointGrid(std::move(readCutpoints)), std::move(positives),
               std::move(negatives), format);
}
