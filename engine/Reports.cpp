// NAME.PAT (who satisfies which pattern), NAME.DES (descriptions), NAME.GRD (the bins), each
// written line by line through the safe save.
#include <array>

#include "LineFile.h"
#include "NumberText.h"
#include "PatternCoverage.h"
#include "TLAD.h"

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

void TLAD::savepatternspace(const std::string& filename) {
  LineFileWriter out(filename);
  savepatternspace(out);
  out.commit();
}

void TLAD::savepatternspace(LineFileWriter& out) {
  if (labels.empty()) {
    for (std::size_t r = 0; r < data.size(); ++r) {
      labels.push_back("Obs_" + IntToStr(static_cast<std::int64_t>(r + 1)));
    }
  }
  const PatternCoverage coverage(*this);
  out.write("Pattern");
  for (std::int32_t j = 1; j <= pospandect->size(); ++j) out.write(",P" + IntToStr(j));
  for (std::int32_t j = 1; j <= negpandect->size(); ++j) out.write(",N" + IntToStr(j));
  out.endLine();

  const auto& texts = bitTexts();
  const std::size_t patterns = coverage.patterns();
  for (std::size_t r = 0; r < data.size(); ++r) {
    out.write(labels[r]);
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

void TLAD::savepatterndesc(const std::string& filename) const {
  LineFileWriter out(filename);
  savepatterndesc(out);
  out.commit();
}

void TLAD::savepatterndesc(LineFileWriter& out) const {
  out.writeLine("," + attributes);
  for (std::int32_t j = 0; j < pospandect->size(); ++j) {
    out.write("P" + IntToStr(j + 1));
    out.writeLine(pospandect->key(j));
  }
  for (std::int32_t j = 0; j < negpandect->size(); ++j) {
    out.write("N" + IntToStr(j + 1));
    out.writeLine(negpandect->key(j));
  }
}

void TLAD::savedatagrid(const std::string& filename) const {
  LineFileWriter out(filename);
  savedatagrid(out);
  out.commit();
}

void TLAD::savedatagrid(LineFileWriter& out) const {
  out.writeLine("," + attributes);
  const std::size_t columns = datagrid.empty() ? 0 : datagrid[0].size();
  for (std::size_t r = 0; r < datagrid.size(); ++r) {
    out.write(r < labels.size() ? labels[r] : "Obs_" + IntToStr(static_cast<std::int64_t>(r + 1)));
    for (std::size_t k = 0; k < columns; ++k) out.write("," + IntToStr(datagrid[r][k]));
    out.endLine();
  }
}
