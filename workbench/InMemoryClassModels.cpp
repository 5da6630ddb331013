#include "InMemoryClassModels.h"

#include <filesystem>

#include "LadError.h"
#include "ModelBuilding.h"
#include "NumberText.h"

BuiltClassModels buildClassModelsInMemory(const LearningParameters& parameters,
                                          const std::string& tableText,
                                          const BuildOptions& options) {
  // Naming the class column reads the table by its layout, as a build given no options reads
  // a table of three or more classes: the same layout, so the same files.
  ReadingOptions reading = options.reading;
  if (!reading.any()) reading.classColumn = "Class";
  const BuildTables tables =
      intakeTables(parameters, tableText, options.source, reading, options.format);
  if (!tables.multiClass()) {
    throw LadError(options.source + ": the class column has " +
                   integerText(static_cast<std::int64_t>(
                       tables.read ? tables.read->layout.classes.size() : 2)) +
                   " classes; one model per class needs three or more");
  }
  const ReadTable& read = *tables.read;
  BuiltClassModels built;
  built.layout = read.layout;
  for (std::size_t k = 0; k < read.layout.classes.size(); ++k) {
    BuiltModel one;
    one.table = read.againstRest(k, options.format);
    one.parameters = parameters;
    // Once, not per class: every class's table has the same attributes.
    if (k == 0) warnOfDegree(parameters, one.table, options);
    one.model = std::make_shared<const Model>(buildModel(one.table, parameters, options.control));
    if (options.control.cancelled()) throw LadError("Build cancelled");
    built.models.push_back(std::move(one));
  }
  return built;
}

std::string twoClassTableText(const TrainingTable& table) {
  std::string text = "Name," + table.attributeLine() + ",Class\n";
  std::int64_t row = 0;
  for (std::size_t r = 0; r < table.rows(); ++r) {
    const std::int32_t c = table.classes()[r];
    if (c != 0 && c != 1) continue;
    text += integerText(++row);
    for (const double value : table.values()[r])
      text += "," + exactNumberText(value, NumberFormat{});
    text += c == 1 ? ",1\n" : ",0\n";
  }
  return text;
}

PatternCounts writeClassModels(const BuiltClassModels& built, const std::string& name,
                               const FileWritten& fileWritten, const BuildOptions& options) {
  requireModelName(name);
  ClassIndex index;
  index.layout = built.layout;
  PatternCounts all;
  for (std::size_t k = 0; k < built.models.size(); ++k) {
    const BuiltModel& one = built.models[k];
    const TableLayout layout = classModelLayout(built.layout, k);
    const std::string modelName = classModelName(name, built.layout, k);
    const PatternCounts counts =
        writeModelFiles(*one.model, one.table, one.parameters, modelName, fileWritten, options);
    writeTableLayout(modelName, &layout);
    index.models.push_back(std::filesystem::path(modelName).filename().string());
    all.positive += counts.positive;
    all.negative += counts.negative;
  }
  writeClassIndex(name, index);
  return all;
}
