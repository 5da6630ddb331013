// NAME.PAT (who satisfies which pattern), NAME.DES (descriptions), NAME.GRD (the bins).
#include "NumberText.h"
#include "TLAD.h"

void TLAD::savepatternspace(const std::string& filename) {
  if (labels.empty()) {
    for (std::size_t r = 0; r < data.size(); ++r) {
      labels.push_back("Obs_" + IntToStr(static_cast<std::int64_t>(r + 1)));
    }
  }
  TSSList lines;
  std::string header = "Pattern";
  for (std::int32_t j = 1; j <= pospandect->size(); ++j) header += ",P" + IntToStr(j);
  for (std::int32_t j = 1; j <= negpandect->size(); ++j) header += ",N" + IntToStr(j);
  lines.add(header, "");
  for (std::size_t r = 0; r < data.size(); ++r) {
    std::string line = labels[r];
    for (const TPatternList* pandect : {pospandect.get(), negpandect.get()}) {
      for (const TInterval* pattern : pandect->vals) {
        line += triggered(data[r], *pattern, classvector[r]) ? ",1" : ",0";
      }
    }
    lines.add(line, "");
  }
  lines.SaveToFile(filename);
}

void TLAD::savepatterndesc(const std::string& filename) const {
  TSSList lines;
  lines.add("," + attributes, "");
  for (std::int32_t j = 0; j < pospandect->size(); ++j) {
    lines.add("P" + IntToStr(j + 1) + pospandect->keys[static_cast<std::size_t>(j)], "");
  }
  for (std::int32_t j = 0; j < negpandect->size(); ++j) {
    lines.add("N" + IntToStr(j + 1) + negpandect->keys[static_cast<std::size_t>(j)], "");
  }
  lines.SaveToFile(filename);
}

void TLAD::savedatagrid(const std::string& filename) const {
  TSSList lines;
  lines.add("," + attributes, "");
  const std::size_t columns = datagrid.empty() ? 0 : datagrid[0].size();
  for (std::size_t r = 0; r < datagrid.size(); ++r) {
    std::string line =
        r < labels.size() ? labels[r] : "Obs_" + IntToStr(static_cast<std::int64_t>(r + 1));
    for (std::size_t k = 0; k < columns; ++k) line += "," + IntToStr(datagrid[r][k]);
    lines.add(line, "");
  }
  lines.SaveToFile(filename);
}
