#include "ModelPatterns.h"

#include "LadError.h"
#include "ModelFiles.h"

ModelPatterns modelPatterns(const std::string& name, const std::string& tableText,
                            const NumberFormat& format, const std::string& tableName) {
  std::string mismatch;
  ModelRules rules = rulesOfModel(
      loadModel(name, format, [&](const std::string& text) { mismatch = text; }), name, format);
  const std::string patterns = (mismatch.empty() ? "" : messageWithFullStop(mismatch) + " ") +
                               integerText(rules.size()) + " patterns of " +
                               modelFileName(name, ModelFileKind::Model);
  try {
    ObservationTable observations = readObservationsFor(name, tableText, format);
    const std::string mismatch = headerMismatch(rules, observations);
    auto table = std::make_shared<PatternTable>(rules, std::move(observations));
    std::string note = patterns + ", counted on the " +
                       integerText(static_cast<std::int64_t>(table->table().rows())) +
                       " observations of " + tableName;
    if (!mismatch.empty()) note += ". " + messageWithFullStop(mismatch);
    return {std::move(table), note};
  } catch (const std::exception& e) {
    return {std::make_shared<PatternTable>(rules),
            patterns + "; no statistics: " + messageWithFullStop(e.what())};
  }
}
