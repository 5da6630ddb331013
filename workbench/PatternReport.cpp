#include "PatternReport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <nlohmann/json.hpp>

#include "JsonText.h"
#include "NumberText.h"

namespace {

std::string shareText(const std::optional<double>& share, const NumberFormat& format) {
  return share ? numberText(*share, format) : "";
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char ch : text) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

constexpr std::array<const char*, 8> kColumns = {
    "pattern", "class", "degree", "positive", "negative", "prevalence", "homogeneity", "rule"};

// The columns of one pattern before the rule.
std::array<std::string, 7> cells(const PatternTable& table, std::int32_t j, bool shortShares) {
  const NumberFormat& format = table.rules().format();
  const auto share = shortShares ? shareForReading : shareText;
  return {table.name(j),
          table.isPositive(j) ? "1" : "0",
          integerText(table.degree(j)),
          integerText(table.covered(j).positive),
          integerText(table.covered(j).negative),
          share(table.prevalence(j), format),
          share(table.homogeneity(j), format)};
}

nlohmann::ordered_json patternJson(const PatternTable& table, std::int32_t j) {
  const ModelRules& rules = table.rules();
  const auto share = [](const std::optional<double>& s) {
    return s ? nlohmann::ordered_json(*s) : nlohmann::ordered_json(nullptr);
  };
  nlohmann::ordered_json conditions = nlohmann::ordered_json::array();
  for (const Condition& c : rules.conditions(j)) {
    const arrreal& cuts = rules.cutpoints(static_cast<std::size_t>(c.attribute));
    const auto cut = [&](std::int32_t i) {
      return i < 0 ? nlohmann::ordered_json(nullptr)
                   : nlohmann::ordered_json(cuts[static_cast<std::size_t>(i)]);
    };
    conditions.push_back({{"attribute", rules.attributeName(static_cast<std::size_t>(c.attribute))},
                          {"lower", cut(c.lower)},
                          {"upper", cut(c.upper)}});
  }
  return {{"pattern", table.name(j)},
          {"class", table.isPositive(j) ? 1 : 0},
          {"degree", table.degree(j)},
          {"positive", table.covered(j).positive},
          {"negative", table.covered(j).negative},
          {"prevalence", share(table.prevalence(j))},
          {"homogeneity", share(table.homogeneity(j))},
          {"rule", table.rule(j)},
          {"conditions", std::move(conditions)}};
}

void writeText(const PatternTable& table, const std::vector<std::int32_t>& order,
               const TextSink& out) {
  const ModelRules& rules = table.rules();
  std::string summary = integerText(rules.positiveCount()) + " positive and " +
                        integerText(rules.negativeCount()) + " negative patterns";
  if (table.hasTable()) {
    summary += "; the table has " + integerText(table.positiveRows()) + " rows of class 1 and " +
               integerText(table.negativeRows()) + " of class 0";
    if (table.unclassifiedRows() > 0) {
      summary += " (" + integerText(table.unclassifiedRows()) + " of neither, counted on no side)";
    }
  }
  out(summary + ".\n");
  std::array<std::size_t, 7> width{};
  for (std::size_t c = 0; c < width.size(); ++c) width[c] = std::string(kColumns[c]).size();
  // Widths from every listed row, then the rows: two passes over the numbers only.
  for (const std::int32_t j : order) {
    const auto row = cells(table, j, true);
    for (std::size_t c = 0; c < width.size(); ++c) width[c] = std::max(width[c], row[c].size());
  }
  const auto line = [&](const std::array<std::string, 7>& row, const std::string& rule) {
    std::string text;
    for (std::size_t c = 0; c < row.size(); ++c) {
      // Names and the class read from the left, numbers from the right.
      const std::string pad(width[c] - row[c].size(), ' ');
      text += c < 2 ? row[c] + pad : pad + row[c];
      text += "  ";
    }
    out(text + rule + "\n");
  };
  std::array<std::string, 7> head;
  for (std::size_t c = 0; c < head.size(); ++c) {
    head[c] = kColumns[c];
    head[c][0] = static_cast<char>(head[c][0] - 'a' + 'A');
  }
  line(head, "Rule");
  for (const std::int32_t j : order) line(cells(table, j, true), table.rule(j));
}

}  // namespace

void writePatternList(const PatternTable& table, const std::vector<std::int32_t>& order,
                      PatternListFormat format, const TextSink& out) {
  switch (format) {
    case PatternListFormat::Text:
      writeText(table, order, out);
      return;
    case PatternListFormat::Csv: {
      std::string head;
      for (const char* column : kColumns) head += std::string(head.empty() ? "" : ",") + column;
      out(head + "\n");
      for (const std::int32_t j : order) {
        std::string line;
        for (const std::string& cell : cells(table, j, false)) line += csvField(cell) + ",";
        out(line + csvField(table.rule(j)) + "\n");
      }
      return;
    }
    case PatternListFormat::Json:
      // One object per pattern, each made by the JSON library, so that a long list streams.
      out("[");
      for (std::size_t i = 0; i < order.size(); ++i) {
        out(std::string(i > 0 ? ",\n  " : "\n  ") + jsonText(patternJson(table, order[i])));
      }
      out(order.empty() ? "]\n" : "\n]\n");
      return;
  }
}

std::vector<std::string> explanationText(const ModelRules& rules, const Explanation& e,
                                         const std::string& title) {
  const NumberFormat& format = rules.format();
  const auto number = [&](double v) { return numberText(v, format); };
  // A change is a difference of two table numbers: at 12 significant digits it reads as the
  // user would write it (0.00027, not 0.000269999999999999).
  const auto amount = [&](double v) {
    if (v == 0 || !std::isfinite(v)) return number(v);
    const double scale = std::pow(10.0, 11 - std::floor(std::log10(std::fabs(v))));
    return number(std::round(v * scale) / scale);
  };
  // Names padded to the longest the model has, so that the rules line up.
  const std::size_t nameWidth =
      1 + integerText(std::max(rules.positiveCount(), rules.negativeCount())).size() + 2;
  const auto padded = [&](const std::string& name) {
    return name + std::string(nameWidth - std::min(nameWidth, name.size()), ' ');
  };
  std::vector<std::string> lines;
  lines.push_back(title + ": score " + number(e.score));
  lines.push_back("  = " + integerText(static_cast<std::int64_t>(e.forPatterns.size())) + "/" +
                  integerText(e.positivePatterns) + " positive patterns - " +
                  integerText(static_cast<std::int64_t>(e.againstPatterns.size())) + "/" +
                  integerText(e.negativePatterns) + " negative patterns");
  const auto list = [&](const std::vector<std::int32_t>& patterns, const std::string& heading,
                        double share) {
    lines.push_back(heading + ": " + integerText(static_cast<std::int64_t>(patterns.size())) +
                    " patterns, each " + (share > 0 ? "+" : "") + number(share));
    for (const std::int32_t j : patterns)
      lines.push_back("  " + padded(rules.name(j)) + rules.rule(j));
  };
  list(e.forPatterns, "For", e.positiveShare);
  list(e.againstPatterns, "Against", e.negativeShare);
  for (const auto& [attribute, patterns] : e.missing) {
    lines.push_back(rules.attributeName(static_cast<std::size_t>(attribute)) +
                    " is missing: the " + integerText(patterns) +
                    " pattern(s) with a condition on it cannot hold");
  }
  lines.push_back("Near misses: " + integerText(static_cast<std::int64_t>(e.nearMisses.size())) +
                  " patterns failed by one condition");
  for (const NearMiss& m : e.nearMisses) {
    const std::string& attribute =
        rules.attributeName(static_cast<std::size_t>(m.condition.attribute));
    std::string change =
        m.raise ? "raise it by " + amount(m.change) : "lower it below " + number(m.bound);
    if (!m.raise)
      change += m.change == 0 ? " (it lies on it)" : " (by more than " + amount(-m.change) + ")";
    lines.push_back("  " + padded(rules.name(m.pattern)) + rules.conditionText(m.condition) +
                    " fails: " + attribute + (std::isnan(m.value) ? " is missing" : " is " + number(m.value)) + "; " + change +
                    " -> score " + number(m.scoreAfter));
  }
  return lines;
}

std::string observationTitle(const ObservationTable& table, std::size_t row) {
  return table.name(row) + " (line " + integerText(static_cast<std::int64_t>(table.lineNumber(row))) +
         ", class " + table.classField(row) + ")";
}

std::string shareForReading(const std::optional<double>& share, const NumberFormat& format) {
  return share ? numberText(std::round(*share * 1e4) / 1e4, format) : "-";
}
