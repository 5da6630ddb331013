// NAME.PAT (who satisfies which pattern), NAME.DES (descriptions), NAME.GRD (the bins), each
// written line by line through the safe save.
#include "ModelReports.h"

#include <array>
#include <cmath>

#include "NumberText.h"
#include "PatternCoverage.h"

namespace {

// ",0" or ",1" for each of the 8 bits of a byte, lowest bit first.
const std::array<std::array<char, 16>, 256>& bitTexts() {
  static const auto table = [] {
    std::array<std::array<char, 16>, 256> t{};
    for (std::size_t byte = 0; byte < 256; ++byte) {
      for (std::size_t bit = 0; bit < 8; ++bit) {
        t[byte][2 * bit] = ',';
        t[byte][2 * bit + 1] = ((byte >> bit) & 1u) != 0 ? '1' : '0';
      }
    }
    return t;
  }();
  return table;
}

}  // namespace

void writePatternSpace(const Model& model, const TrainingTable& table, LineFileWriter& out) {
  const PatternCoverage coverage(model, table.values());
  out.write("Pattern");
  for (std::int32_t j = 1; j <= model.positive().size(); ++j) out.write(",P" + integerText(j));
  for (std::int32_t j = 1; j <= model.negative().size(); ++j) out.write(",N" + integerText(j));
  out.endLine();

  const auto& texts = bitTexts();
  const std::size_t patterns = coverage.patterns();
  for (std::size_t r = 0; r < table.rows(); ++r) {
    out.write(observationName(r));
    const std::uint64_t* bits = coverage.row(r);
    std::size_t j = 0;
    for (; j + 8 <= patterns; j += 8) {
      const auto byte = static_cast<std::size_t>((bits[j / 64] >> (j % 64)) & 0xffu);
      out.write(std::string_view(texts[byte].data(), 16));
    }
    for (; j < patterns; ++j) out.write(((bits[j / 64] >> (j % 64)) & 1u) != 0 ? ",1" : ",0");
    out.endLine();
  }
}

void writeDescriptions(const Model& model, LineFileWriter& out) {
  out.writeLine("," + model.attributeLine());
  for (std::int32_t j = 0; j < model.positive().size(); ++j) {
    out.write("P" + integerText(j + 1));
    out.writeLine(model.positive().key(j));
  }
  for (std::int32_t j = 0; j < model.negative().size(); ++j) {
    out.write("N" + integerText(j + 1));
    out.writeLine(model.negative().key(j));
  }
}

void writeDiscretizedTable(const Model& model, const TrainingTable& table, LineFileWriter& out) {
  out.writeLine("," + model.attributeLine());
  const CutpointGrid& grid = model.grid();
  const std::size_t columns = table.columns();
  for (std::size_t r = 0; r < table.rows(); ++r) {
    out.write(observationName(r));
    for (std::size_t k = 0; k < columns; ++k) {
      // A missing value is in no bin.
      const double value = table.values()[r][k];
      out.write(std::isnan(value) ? ",?" : "," + integerText(grid.binOf(value, k)));
    }
    out.endLine();
  }
}
