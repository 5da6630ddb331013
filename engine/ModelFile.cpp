// NAME.MOD: the attribute names, the cutpoints and both pandects' patterns, one per line.
#include "LadError.h"
#include "LineFile.h"
#include "MyLib.h"
#include "NumberText.h"
#include "TLAD.h"

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

void TLAD::save(const std::string& filename) const {
  LineFileWriter out(filename);
  out.writeLine("Attributes=" + attributes);
  for (std::size_t i = 0; i < cutpoints.size(); ++i) {
    std::string line = "Cutpoints_Att_" + IntToStr(static_cast<std::int64_t>(i)) + "=";
    for (std::size_t j = 0; j < cutpoints[i].size(); ++j) {
      if (j > 0) line += ",";
      line += FloatToStr(cutpoints[i][j], format);
    }
    out.writeLine(line);
  }
  auto writePatterns = [&](const TPandect* pandect, const std::string& name) {
    if (pandect == nullptr) return;
    for (std::int32_t j = 0; j < pandect->size(); ++j) {
      out.write(name);
      out.write(IntToStr(j + 1));
      out.write("=");
      out.writeLine(patternText(pandect->pattern(j)));
    }
  };
  writePatterns(pospandect.get(), kPospattern);
  writePatterns(negpandect.get(), kNegpattern);
  out.commit();
}

void TLAD::Load(const std::string& filename) {
  TSSList lines;
  lines.LoadFromFile(filename);
  cutpoints.clear();
  pospandect = std::make_unique<TPandect>();
  negpandect = std::make_unique<TPandect>();

  TSSList fields;
  TSSList parts;
  parts.delimiter = ":";
  for (std::size_t lineIndex = 0; lineIndex < lines.keys.size(); ++lineIndex) {
    const std::size_t lineNo = lineIndex + 1;
    const std::string& line = lines.keys[lineIndex];
    const std::string name = getname(line);
    const std::size_t eq = line.find('=');
    const std::string value = eq == std::string::npos ? line : line.substr(eq + 1);

    if (name == "Attributes") {
      attributes = value;
      attList = std::make_unique<TSSList>();
      attList->parse(value);
    }
    if (name.find("Cutpoints") != std::string::npos) {
      // An attribute without cutpoints is written with an empty value: an empty row.
      arrreal row;
      if (!value.empty()) {
        fields.parse(value);
        for (const std::string& field : fields.keys) {
          row.push_back(converted(filename, lineNo, [&] { return StrToFloat(field, format); }));
        }
      }
      cutpoints.push_back(std::move(row));
    }
    const bool positive = name.rfind(kPospattern, 0) == 0;
    const bool negative = name.rfind(kNegpattern, 0) == 0;
    if (!positive && !negative) continue;

    if (!attList) damaged(filename, lineNo, "a pattern comes before the \"Attributes\" line");
    fields.parse(value);
    TInterval pattern(fields.size());
    for (std::size_t j = 0; j < fields.keys.size(); ++j) {
      const std::string& coordinate = fields.keys[j];
      parts.parse(coordinate);
      if (parts.size() != 3) {
        damaged(filename, lineNo,
                "the pattern coordinate \"" + coordinate +
                    "\" does not have the three parts "
                    "lower bin:upper bin:attribute");
      }
      pattern.a[j] = converted(filename, lineNo, [&] { return StrToInt(parts.keys[0]); });
      pattern.b[j] = converted(filename, lineNo, [&] { return StrToInt(parts.keys[1]); });
      const std::int32_t k = converted(filename, lineNo, [&] { return StrToInt(parts.keys[2]); });
      pattern.map[j] = k;
      if (k < 0 || k >= attList->size()) {
        damaged(filename, lineNo,
                "the pattern names attribute " + IntToStr(k) +
                    ", but the \"Attributes\" line lists " + IntToStr(attList->size()));
      }
      if (static_cast<std::size_t>(k) >= cutpoints.size()) {
        damaged(filename, lineNo,
                "the pattern names attribute " + IntToStr(k) +
                    " before the \"Cutpoints\" line of that attribute");
      }
      const auto bins =
          static_cast<std::int32_t>(cutpoints[static_cast<std::size_t>(k)].size()) + 1;
      if (pattern.a[j] < 0 || pattern.b[j] >= bins || pattern.a[j] > pattern.b[j]) {
        damaged(filename, lineNo,
                "the bins " + parts.keys[0] + " to " + parts.keys[1] + " of attribute " +
                    IntToStr(k) + " lie outside its bins 0 to " + IntToStr(bins - 1));
      }
    }
    TPandect& pandect = positive ? *pospandect : *negpandect;
    pandect.append(desc(pattern), pattern);
  }
}
