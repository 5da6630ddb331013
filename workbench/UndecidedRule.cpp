#include "UndecidedRule.h"

#include "Intake.h"
#include "NumberText.h"
#include "TableIntake.h"

ClassCounts tableClassCounts(const std::string& tableText, const NumberFormat& format) {
  const TrainingTable table = intake(LearningParameters{}, tableText, format);
  return {table.positives(), table.negatives()};
}

std::optional<ClassCounts> tableClassCounts(const std::string& tableText, const std::string& source,
                                            const ReadingOptions& reading,
                                            const NumberFormat& format) {
  const BuildTables tables = intakeTables(LearningParameters{}, tableText, source, reading, format);
  if (tables.multiClass()) return std::nullopt;
  const TrainingTable table = tables.twoClass(format);
  return ClassCounts{table.positives(), table.negatives()};
}

std::int32_t undecidedClass(UndecidedRule rule, const ClassCounts* training) {
  switch (rule) {
    case UndecidedRule::ClassOne:
      return 1;
    case UndecidedRule::ClassZero:
      return 0;
    case UndecidedRule::LargerClass:
      if (training == nullptr || training->positives == training->negatives) return kOtherClass;
      return training->positives > training->negatives ? 1 : 0;
    case UndecidedRule::Wrong:
      break;
  }
  return kOtherClass;
}

std::string undecidedSentence(const Metrics& metrics) {
  if (metrics.undecidedAs == kOtherClass || metrics.decidedByRule == 0) return "";
  return integerText(metrics.decidedByRule) + " undecided row" +
         (metrics.decidedByRule == 1 ? "" : "s") + " counted as class " +
         integerText(metrics.undecidedAs) + ".";
}
