#include "ModelExport.h"

#include <algorithm>
#include <set>

#include "CodeText.h"
#include "ExportPieces.h"
#include "LadError.h"
#include "NameText.h"
#include "TableExport.h"

namespace {

// Python reads values and SQL columns by name: two used attributes of one name would be one.
void requireDistinctNames(const ModelRules& rules, const std::vector<std::size_t>& used,
                          const char* language) {
  std::set<std::string> seen;
  for (const std::size_t k : used) {
    if (!seen.insert(rules.attributeName(k)).second) {
      throw LadError("Two attributes of the model are named " +
                     quotedForMessage(rules.attributeName(k)) + "; the " + language +
                     " export reads values by name");
    }
  }
}

std::string variable(std::size_t k) {
  return "x" + std::to_string(k);
}

void writePython(const ModelRules& rules, const std::string& modelName, const TextSink& out) {
  const std::vector<std::size_t> used = usedAttributes(rules);
  requireDistinctNames(rules, used, "Python");
  std::vector<std::string> names;
  for (std::size_t k = 0; k < rules.attributeCount(); ++k) {
    names.push_back(pythonString(rules.attributeName(k)));
  }
  const ModelRules dotted = rules.withFormat(NumberFormat{"."});
  out("\"\"\"The LAD model " + pythonDocText(modelName) +
      " as a Python module, made by lad export.\n\n"
      "score(row) gives the score that lad apply gives: the share of the model's positive\n"
      "patterns that the row satisfies minus the share of its negative patterns, from -1 to 1.\n"
      "row maps attribute names to values (numbers, or texts that float() reads); only the\n"
      "attributes the patterns use are read. " +
      countsText(rules) + ".\n\"\"\"\n\n");
  out("ATTRIBUTES = (" + joined(names, ", ") + (names.size() == 1 ? ",)\n" : ")\n"));
  out("POSITIVE_PATTERNS = " + std::to_string(rules.positiveCount()) + "\n");
  out("NEGATIVE_PATTERNS = " + std::to_string(rules.negativeCount()) + "\n\n\n");
  out("def score(row):\n    \"\"\"The model's score of one observation.\"\"\"\n");
  for (const std::size_t k : used) out("    " + variable(k) + " = float(row[" + names[k] + "])\n");
  out("    p = 0\n    n = 0\n");
  for (std::int32_t j = 0; j < rules.size(); ++j) {
    std::vector<std::string> tests;
    for (const Condition& c : rules.conditions(j)) {
      const auto k = static_cast<std::size_t>(c.attribute);
      if (c.lower >= 0 && c.upper >= 0) {  // a chained comparison, as the rule reads
        const arrreal& cuts = rules.cutpoints(k);
        tests.push_back(decimalLiteral(cuts[static_cast<std::size_t>(c.lower)]) +
                        " <= " + variable(k) + " < " +
                        decimalLiteral(cuts[static_cast<std::size_t>(c.upper)]));
      } else {
        tests.push_back(comparisons(rules, c, variable(k), decimalLiteral).front());
      }
    }
    out("    if " + (tests.empty() ? std::string("True") : joined(tests, " and ")) + ":  # " +
        patternComment(dotted, j) + "\n        " + (rules.isPositive(j) ? "p" : "n") + " += 1\n");
  }
  out("    return " +
      scoreExpression(rules, "float(p)", "float(n)", std::to_string(rules.positiveCount()) + ".0",
                      std::to_string(rules.negativeCount()) + ".0") +
      "\n");
}

void writeC(const ModelRules& rules, const std::string& modelName, const std::string& headerFile,
            const TextSink& out) {
  const std::vector<std::size_t> used = usedAttributes(rules);
  const ModelRules dotted = rules.withFormat(NumberFormat{"."});
  out("/* The LAD model " + commentText(modelName) +
      " as C, made by lad export: " + countsText(rules) + ".\n   " +
      (headerFile.empty() ? std::string() : "Declared in " + commentText(headerFile) + ". ") +
      "The cutpoints are hexadecimal literals: exactly the model's values.\n"
      "   Compile without -ffast-math, which may change the order of the arithmetic. */\n\n");
  out("const char *const lad_attribute_names[" + std::to_string(rules.attributeCount()) +
      "] = {\n");
  for (std::size_t k = 0; k < rules.attributeCount(); ++k) {
    out("    " + cString(rules.attributeName(k)) + ",\n");
  }
  out("};\n\ndouble lad_score(const double *values)\n{\n");
  for (const std::size_t k : used) {
    out("    const double " + variable(k) + " = values[" + std::to_string(k) + "]; /* " +
        commentText(rules.attributeName(k)) + " */\n");
  }
  // Only what is used is declared: the code compiles without a warning at -Wall -Wextra.
  if (used.empty()) out("    (void)values;\n");
  if (rules.positiveCount() > 0) out("    int p = 0;\n");
  if (rules.negativeCount() > 0) out("    int n = 0;\n");
  for (std::int32_t j = 0; j < rules.size(); ++j) {
    std::vector<std::string> tests;
    for (const Condition& c : rules.conditions(j)) {
      for (std::string& t :
           comparisons(rules, c, variable(static_cast<std::size_t>(c.attribute)), hexLiteral)) {
        tests.push_back(std::move(t));
      }
    }
    out("    /* " + patternComment(dotted, j) + " */\n    if (" +
        (tests.empty() ? std::string("1") : joined(tests, " && ")) + ") ++" +
        (rules.isPositive(j) ? "p" : "n") + ";\n");
  }
  out("    return " +
      scoreExpression(rules, "(double)p", "(double)n", std::to_string(rules.positiveCount()) + ".0",
                      std::to_string(rules.negativeCount()) + ".0") +
      ";\n}\n");
}

// Pattern j as 1 when the row satisfies it, else 0. Every value is cast to a number, so that
// a column of another type (text, as `.import` makes them) compares as a number too.
std::string sqlPatternTerm(const ModelRules& rules, const ModelRules& dotted, std::int32_t j) {
  std::vector<std::string> tests;
  for (const Condition& c : rules.conditions(j)) {
    const std::string value =
        "CAST(" + sqlColumn(rules.attributeName(static_cast<std::size_t>(c.attribute))) +
        " AS DOUBLE PRECISION)";
    for (std::string& t : comparisons(rules, c, value, sqlRealLiteral)) {
      tests.push_back(std::move(t));
    }
  }
  return (tests.empty() ? std::string("1")
                        : "CASE WHEN " + joined(tests, " AND ") + " THEN 1 ELSE 0 END") +
         " /* " + patternComment(dotted, j) + " */";
}

// An SQL column name can hold neither nothing nor a control character: a NUL ends the text of
// a statement early for many readers (the sqlite3 shell among them), and whatever follows it
// would be read as SQL.
void requireSqlNames(const ModelRules& rules, const std::vector<std::size_t>& used) {
  for (const std::size_t k : used) {
    const std::string& name = rules.attributeName(k);
    if (name.empty()) {
      throw LadError("Attribute " + std::to_string(k + 1) +
                     " of the model has an empty name, which no SQL column can have");
    }
    const std::string problem = controlCharacterProblem(name);
    if (!problem.empty()) {
      throw LadError("The name of attribute " + std::to_string(k + 1) + " of the model " + problem +
                     ", which no SQL column name can hold");
    }
  }
}

void writeSql(const ModelRules& rules, const std::string& modelName, const TextSink& out) {
  const std::vector<std::size_t> used = usedAttributes(rules);
  requireDistinctNames(rules, used, "SQL");
  requireSqlNames(rules, used);
  const ModelRules dotted = rules.withFormat(NumberFormat{"."});
  out("/* The LAD model " + commentText(modelName) +
      " as one SQL expression, made by lad export: " + countsText(rules) +
      ".\n   Its value on a row is the score that lad apply gives: the share of positive\n"
      "   patterns satisfied minus the share of negative ones, from -1 to 1, or NULL when an\n"
      "   attribute it reads is NULL. It reads the columns of the table observations, named\n"
      "   after the attributes (another table can be given that name in the query):\n"
      "     SELECT Name, <this expression> AS score FROM observations\n"
      "     SELECT Name, <this expression> AS score FROM mytable AS observations\n"
      "   Values are read as numbers whatever the column type (a text column as SQL reads a\n"
      "   number's text). A cutpoint that no short decimal gives exactly is written as an\n"
      "   integer over a power of 2, so that every SQL engine reads the model's own value. */\n");
  std::string indent;
  if (!used.empty()) {
    out("CASE\n  WHEN ");
    writeSqlChain(
        0, static_cast<std::int64_t>(used.size()), "OR", "    ", out, [&](std::int64_t i) {
          out(sqlColumn(rules.attributeName(used[static_cast<std::size_t>(i)])) + " IS NULL");
        });
    out("\n  THEN NULL\n  ELSE ");
    indent = "  ";
  }
  out("0.0");
  writeSqlSides(rules, indent, out,
                [&](std::int32_t j) { return sqlPatternTerm(rules, dotted, j); });
  out(used.empty() ? "\n" : "\nEND\n");
}

std::string guardName(const std::string& headerFile) {
  std::string guard = headerFile.empty() ? "LAD_MODEL" : "LAD_MODEL_";
  for (const char ch : headerFile.substr(headerFile.find_last_of('/') + 1)) {
    if (ch >= 'a' && ch <= 'z') {
      guard += static_cast<char>(ch - 'a' + 'A');
    } else {
      guard += (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ? ch : '_';
    }
  }
  return guard + "_";
}

}  // namespace

ExportLanguage exportLanguage(const std::string& name) {
  if (name == "python") return ExportLanguage::Python;
  if (name == "c") return ExportLanguage::C;
  if (name == "sql") return ExportLanguage::Sql;
  throw LadError("Unknown export language " + quotedForMessage(name) +
                 "; the languages are python, c and sql");
}

void writeExport(const ModelRules& rules, ExportLanguage language, const std::string& modelName,
                 const TextSink& out, const std::string& headerFile) {
  if (rules.hasCategories()) {
    writeTableExport(rules, language, modelName, out, headerFile);
    return;
  }
  switch (language) {
    case ExportLanguage::Python:
      writePython(rules, modelName, out);
      return;
    case ExportLanguage::C:
      writeC(rules, modelName, headerFile, out);
      return;
    case ExportLanguage::Sql:
      writeSql(rules, modelName, out);
      return;
  }
}

std::string cHeader(const ModelRules& rules, const std::string& modelName,
                    const std::string& headerFile) {
  const std::string guard = guardName(headerFile);
  if (rules.hasCategories()) return tableCHeader(rules, modelName, guard);
  return "/* The LAD model " + commentText(modelName) +
         " as C, made by lad export: " + countsText(rules) + ". */\n#ifndef " + guard +
         "\n#define " + guard +
         "\n\n#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n"
         "/* The number of values lad_score reads: one per attribute, named in\n"
         "   lad_attribute_names. */\n#define LAD_ATTRIBUTE_COUNT " +
         std::to_string(rules.attributeCount()) +
         "\n\nextern const char *const lad_attribute_names[LAD_ATTRIBUTE_COUNT];\n\n"
         "/* The score that lad apply gives the observation whose value of attribute k is\n"
         "   values[k]: the share of positive patterns satisfied minus the share of negative\n"
         "   ones, from -1 to 1. */\ndouble lad_score(const double *values);\n\n"
         "#ifdef __cplusplus\n}\n#endif\n\n#endif\n";
}

std::string exportedCode(const ModelRules& rules, ExportLanguage language,
                         const std::string& modelName, const std::string& headerFile) {
  std::string code;
  writeExport(
      rules, language, modelName, [&](std::string_view piece) { code += piece; }, headerFile);
  return code;
}
