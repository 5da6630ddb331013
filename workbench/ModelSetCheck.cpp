#include "ModelSetCheck.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "ModelFiles.h"
#include "NumberText.h"

namespace {

struct Counts {
  std::int64_t positive = 0;
  std::int64_t negative = 0;
};

// The fields P1, ..., N1, ... of the first line of NAME.PAT ("Pattern,P1,...,N1,..."), read
// as a stream: that line alone is some megabytes for a big model.
std::optional<Counts> patternSpaceCounts(const std::string& name) {
  std::ifstream in(modelFileName(name, ModelFileKind::PatternSpace), std::ios::binary);
  if (!in) return std::nullopt;
  Counts counts;
  bool fieldStart = false;  // the first field, "Pattern", is not a pattern
  for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
    const char c = *it;
    if (c == '\r' || c == '\n') break;
    if (fieldStart) {
      if (c == 'P') ++counts.positive;
      if (c == 'N') ++counts.negative;
    }
    fieldStart = c == ',';
  }
  if (in.bad()) return std::nullopt;
  return counts;
}

std::string countsText(std::int64_t positive, std::int64_t negative) {
  return integerText(positive) + " positive and " + integerText(negative) + " negative patterns";
}

}  // namespace

std::string patternCountMismatch(const std::string& name, std::int32_t positive,
                                 std::int32_t negative) {
  const std::optional<Counts> named = patternSpaceCounts(name);
  if (!named || (named->positive == positive && named->negative == negative)) return "";
  const std::string model = modelFileName(name, ModelFileKind::Model);
  const std::string space = modelFileName(name, ModelFileKind::PatternSpace);
  return "The model " + model + " holds " + countsText(positive, negative) + ", but " + space +
         " beside it names " + countsText(named->positive, named->negative) + ": " + model +
         " may be cut short, or the files come from different builds";
}

std::string modelSetMismatch(const std::string& name) {
  std::ifstream in(modelFileName(name, ModelFileKind::Model), std::ios::binary);
  if (!in) return "";
  std::int32_t positive = 0;
  std::int32_t negative = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Pospattern", 0) == 0) ++positive;
    if (line.rfind("Negpattern", 0) == 0) ++negative;
  }
  return patternCountMismatch(name, positive, negative);
}
