#include "ExportPieces.h"

#include <algorithm>

#include "CodeText.h"

std::vector<std::size_t> usedAttributes(const ModelRules& rules) {
  std::vector<bool> used(rules.attributeCount(), false);
  for (std::int32_t j = 0; j < rules.size(); ++j) {
    for (const Condition& c : rules.conditions(j))
      used[static_cast<std::size_t>(c.attribute)] = true;
  }
  std::vector<std::size_t> list;
  for (std::size_t k = 0; k < used.size(); ++k) {
    if (used[k]) list.push_back(k);
  }
  return list;
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

std::string patternComment(const ModelRules& dotted, std::int32_t j) {
  return commentText(dotted.name(j) + ": " + dotted.rule(j));
}

std::vector<std::string> comparisons(const ModelRules& rules, const Condition& c,
                                     const std::string& value, std::string (*literal)(double)) {
  const arrreal& cuts = rules.cutpoints(static_cast<std::size_t>(c.attribute));
  std::vector<std::string> out;
  if (c.lower >= 0)
    out.push_back(value + " >= " + literal(cuts[static_cast<std::size_t>(c.lower)]));
  if (c.upper >= 0) out.push_back(value + " < " + literal(cuts[static_cast<std::size_t>(c.upper)]));
  return out;
}

std::string countsText(const ModelRules& rules) {
  return std::to_string(rules.positiveCount()) + " positive and " +
         std::to_string(rules.negativeCount()) + " negative patterns on " +
         std::to_string(rules.attributeCount()) + " attributes";
}

std::string scoreExpression(const ModelRules& rules, const std::string& p, const std::string& n,
                            const std::string& pTotal, const std::string& nTotal) {
  std::string out = "0.0";
  if (rules.positiveCount() > 0) out += " + " + p + " / " + pTotal;
  if (rules.negativeCount() > 0) out += " - " + n + " / " + nTotal;
  return out;
}

std::string sqlColumn(const std::string& name) {
  return "observations." + sqlIdentifier(name);
}

void writeSqlChain(std::int64_t from, std::int64_t to, const std::string& joiner,
                   const std::string& indent, const TextSink& out,
                   const std::function<void(std::int64_t)>& item) {
  constexpr std::int64_t kGroup = 64;
  std::int64_t chunk = 1;  // items per term at this level
  while (chunk * kGroup < to - from) chunk *= kGroup;
  for (std::int64_t start = from; start < to; start += chunk) {
    if (start > from) out("\n" + indent + joiner + " ");
    if (chunk == 1) {
      item(start);
      continue;
    }
    out("(\n" + indent + "  ");
    writeSqlChain(start, std::min(to, start + chunk), joiner, indent + "  ", out, item);
    out("\n" + indent + ")");
  }
}

void writeSqlSides(const ModelRules& rules, const std::string& indent, const TextSink& out,
                   const std::function<std::string(std::int32_t)>& term) {
  const auto side = [&](const char* sign, std::int32_t from, std::int32_t to) {
    if (to == from) return;
    out(std::string("\n") + indent + "  " + sign + " CAST((\n" + indent + "      ");
    writeSqlChain(from, to, "+", indent + "      ", out,
                  [&](std::int64_t j) { out(term(static_cast<std::int32_t>(j))); });
    out("\n" + indent + "    ) AS DOUBLE PRECISION) / " + std::to_string(to - from));
  };
  side("+", 0, rules.positiveCount());
  side("-", rules.positiveCount(), rules.size());
}
