#include "StoredPatternCounts.h"

#include <fstream>

#include "ModelFiles.h"

std::optional<PatternCounts> storedPatternCounts(const std::string& name) {
  std::ifstream in(modelFileName(name, ModelFileKind::Model), std::ios::binary);
  if (!in) return std::nullopt;
  PatternCounts counts;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Pospattern", 0) == 0) ++counts.positive;
    if (line.rfind("Negpattern", 0) == 0) ++counts.negative;
  }
  if (in.bad()) return std::nullopt;
  return counts;
}
