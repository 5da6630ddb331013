#include "TableExport.h"

#include <map>

#include "CodeText.h"
#include "ExportPieces.h"
#include "LadError.h"
#include "NameText.h"

namespace {

// A column of the table as the export reads it: numbers, or the texts of categories.
struct Column {
  std::string name;
  bool category = false;
  std::vector<std::string> values;  // a column of categories: the values the model knows
  bool used = false;                // a pattern reads it
};

struct Columns {
  std::vector<Column> list;     // in the order of the model's attributes
  std::vector<std::size_t> of;  // per attribute, its column
};

std::string attributeNumber(std::size_t k) {
  return std::to_string(k + 1);
}

Columns tableColumns(const ModelRules& rules) {
  Columns columns;
  std::map<std::string, std::size_t> index;
  for (std::size_t k = 0; k < rules.attributeCount(); ++k) {
    const bool category = !rules.categoryValue(k).empty();
    const std::string& name = category ? rules.categoryColumn(k) : rules.attributeName(k);
    if (category && rules.attributeName(k) != name + "=" + rules.categoryValue(k)) {
      throw LadError("Attribute " + attributeNumber(k) + " of the model is named " +
                     quotedForMessage(rules.attributeName(k)) +
                     ", but the table layout beside it (NAME.TBL) makes it " +
                     quotedForMessage(name + "=" + rules.categoryValue(k)) +
                     "; the layout belongs to another model: build the model again");
    }
    const auto [at, added] = index.emplace(name, columns.list.size());
    if (added) {
      columns.list.push_back({name, category, {}, false});
    } else if (category != columns.list[at->second].category) {
      throw LadError("The model reads the column " + quotedForMessage(name) +
                     " both as numbers and as categories; an export reads each column once");
    } else if (!category) {
      throw LadError("Two attributes of the model are named " + quotedForMessage(name) +
                     "; the export reads values by their column's name");
    }
    if (category) columns.list[at->second].values.push_back(rules.categoryValue(k));
    columns.of.push_back(at->second);
  }
  for (const std::size_t k : usedAttributes(rules)) columns.list[columns.of[k]].used = true;
  return columns;
}

// What a condition on a category's 0/1 attribute asks of the column's text: that it is the
// value (the attribute is 1), that it is known and another (0), that it is known (either), or
// nothing a row can meet (neither). A missing value is neither 0 nor 1.
enum class TextTest { Is, IsNot, Known, Never };

TextTest textTest(const ModelRules& rules, const Condition& c) {
  const arrreal& cuts = rules.cutpoints(static_cast<std::size_t>(c.attribute));
  const bool one = c.holds(1.0, cuts);
  const bool zero = c.holds(0.0, cuts);
  if (one) return zero ? TextTest::Known : TextTest::Is;
  return zero ? TextTest::IsNot : TextTest::Never;
}

std::string variable(std::size_t column) {
  return "x" + std::to_string(column);
}

// A Python tuple of the literals.
std::string pythonTuple(const std::vector<std::string>& items) {
  return "(" + joined(items, ", ") + (items.size() == 1 ? ",)" : ")");
}

// The table's missing-value texts as literals of a language, joined by ", ".
std::string missingList(const ModelRules& rules, std::string (*literal)(std::string_view)) {
  std::vector<std::string> texts;
  for (const std::string& m : rules.missingTexts()) texts.push_back(literal(m));
  return joined(texts, ", ");
}

// The table's missing-value texts for a comment: "", "?", "NA".
std::string missingComment(const ModelRules& rules) {
  std::vector<std::string> texts;
  for (const std::string& m : rules.missingTexts()) texts.push_back(commentText("\"" + m + "\""));
  return joined(texts, ", ");
}

void writePython(const ModelRules& rules, const std::string& modelName, const TextSink& out) {
  const Columns columns = tableColumns(rules);
  std::vector<std::string> names;
  std::vector<std::string> categories;
  for (const Column& column : columns.list) {
    names.push_back(pythonString(column.name));
    if (!column.category) continue;
    std::vector<std::string> values;
    for (const std::string& v : column.values) values.push_back(pythonString(v));
    categories.push_back(names.back() + ": " + pythonTuple(values));
  }
  std::vector<std::string> missing;
  for (const std::string& m : rules.missingTexts()) missing.push_back(pythonString(m));
  const ModelRules dotted = rules.withFormat(NumberFormat{"."});
  out("\"\"\"The LAD model " + pythonDocText(modelName) +
      " as a Python module, made by lad export.\n\n"
      "score(row) gives the score that lad apply gives: the share of the model's positive\n"
      "patterns that the row satisfies minus the share of its negative patterns, from -1 to 1.\n"
      "row maps the table's column names (ATTRIBUTES) to values as the table holds them: a\n"
      "number (or a text that float() reads, with a decimal point or a decimal comma) and, for\n"
      "a column of categories (CATEGORIES), its text. None, NaN and the table's missing-value\n"
      "texts (MISSING_TEXTS) are missing values, and a missing value meets no condition; a\n"
      "category the model never saw meets none of the column's \"=\" conditions. Spaces and\n"
      "tabs around a text are ignored. Only the columns the patterns use are read, and each of\n"
      "them must be in row: a misspelt name is a KeyError, not a missing value. " +
      countsText(rules) + ".\n\"\"\"\n\n");
  out("ATTRIBUTES = " + pythonTuple(names) + "\n");
  out("CATEGORIES = {" + joined(categories, ", ") + "}\n");
  out("MISSING_TEXTS = " + pythonTuple(missing) + "\n");
  out("POSITIVE_PATTERNS = " + std::to_string(rules.positiveCount()) + "\n");
  out("NEGATIVE_PATTERNS = " + std::to_string(rules.negativeCount()) + "\n\n\n");
  out("def _number(value):\n"
      "    \"\"\"A number of the row, NaN when it is missing.\"\"\"\n"
      "    if value is None:\n"
      "        return float(\"nan\")\n"
      "    if isinstance(value, str):\n"
      "        value = value.strip(\" \\t\")\n"
      "        if value in MISSING_TEXTS:\n"
      "            return float(\"nan\")\n"
      "        if \",\" in value and \".\" not in value:\n"
      "            value = value.replace(\",\", \".\")\n"
      "    return float(value)\n\n\n"
      "def _category(value):\n"
      "    \"\"\"A category of the row as its text, None when it is missing.\"\"\"\n"
      "    if value is None or (isinstance(value, float) and value != value):\n"
      "        return None\n"
      "    value = str(value).strip(\" \\t\")\n"
      "    return None if value in MISSING_TEXTS else value\n\n\n");
  out("def score(row):\n    \"\"\"The model's score of one observation.\"\"\"\n");
  for (std::size_t c = 0; c < columns.list.size(); ++c) {
    if (!columns.list[c].used) continue;
    out("    " + variable(c) + " = " + (columns.list[c].category ? "_category" : "_number") +
        "(row[" + names[c] + "])\n");
  }
  out("    p = 0\n    n = 0\n");
  for (std::int32_t j = 0; j < rules.size(); ++j) {
    std::vector<std::string> tests;
    for (const Condition& c : rules.conditions(j)) {
      const auto k = static_cast<std::size_t>(c.attribute);
      const std::string x = variable(columns.of[k]);
      if (!rules.categoryValue(k).empty()) {
        const std::string value = pythonString(rules.categoryValue(k));
        switch (textTest(rules, c)) {
          case TextTest::Is:
            tests.push_back(x + " == " + value);
            break;
          case TextTest::IsNot:
            tests.push_back(x + " is not None and " + x + " != " + value);
            break;
          case TextTest::Known:
            tests.push_back(x + " is not None");
            break;
          case TextTest::Never:
            tests.push_back("False");
            break;
        }
      } else if (c.lower >= 0 && c.upper >= 0) {  // a chained comparison, as the rule reads
        const arrreal& cuts = rules.cutpoints(k);
        tests.push_back(decimalLiteral(cuts[static_cast<std::size_t>(c.lower)]) + " <= " + x +
                        " < " + decimalLiteral(cuts[static_cast<std::size_t>(c.upper)]));
      } else {
        tests.push_back(comparisons(rules, c, x, decimalLiteral).front());
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

// A C string stops at its first NUL: a text holding one would be compared cut short.
void requireNoNul(const std::string& text, const std::string& what) {
  const std::size_t at = text.find('\0');
  if (at == std::string::npos) return;
  throw LadError(what + " holds a NUL byte " +
                 (at == 0 ? std::string("as its first byte")
                          : "after " + quotedForMessage(text.substr(0, at))) +
                 ", which no C string can hold");
}

// Whether the C code compares texts: lad_text_is is then defined, and used.
bool comparesTexts(const ModelRules& rules, const Columns& columns) {
  if (!rules.missingTexts().empty()) {
    for (const Column& column : columns.list) {
      if (column.used && column.category) return true;
    }
  }
  for (std::int32_t j = 0; j < rules.size(); ++j) {
    for (const Condition& c : rules.conditions(j)) {
      if (rules.categoryValue(static_cast<std::size_t>(c.attribute)).empty()) continue;
      const TextTest test = textTest(rules, c);
      if (test == TextTest::Is || test == TextTest::IsNot) return true;
    }
  }
  return false;
}

void writeC(const ModelRules& rules, const std::string& modelName, const std::string& headerFile,
            const TextSink& out) {
  const Columns columns = tableColumns(rules);
  for (const Column& column : columns.list) {
    for (const std::string& v : column.values) {
      requireNoNul(v, "A category of column " + quotedForMessage(column.name));
    }
  }
  for (const std::string& m : rules.missingTexts()) {
    requireNoNul(m, "A missing-value text of the table");
  }
  const ModelRules dotted = rules.withFormat(NumberFormat{"."});
  const std::string count = std::to_string(columns.list.size());
  out("/* The LAD model " + commentText(modelName) +
      " as C, made by lad export: " + countsText(rules) + ".\n   " +
      (headerFile.empty() ? std::string() : "Declared in " + commentText(headerFile) + ". ") +
      "The cutpoints are hexadecimal literals: exactly the model's values.\n"
      "   Compile without -ffast-math, which may change the order of the arithmetic.\n"
      "   lad_score reads column k of the table from values[k], a number (NaN when missing),\n"
      "   or, when lad_attribute_is_text[k] is 1, from texts[k], a category as its text, spaces\n"
      "   and tabs around it ignored (NULL when missing" +
      (rules.missingTexts().empty()
           ? std::string(")")
           : ", and so are the table's missing-value texts\n   " + missingComment(rules) + ")") +
      ". A missing value meets no condition; a category the model\n   never saw meets none of "
      "the column's \"=\" conditions. */\n\n"
      "#include <string.h>\n\n");
  out("const char *const lad_attribute_names[" + count + "] = {\n");
  for (const Column& column : columns.list) out("    " + cString(column.name) + ",\n");
  std::vector<std::string> flags;
  for (const Column& column : columns.list) flags.push_back(column.category ? "1" : "0");
  out("};\n\nconst int lad_attribute_is_text[" + count + "] = {" + joined(flags, ", ") + "};\n\n");
  // Only what is used is defined: the code compiles without a warning at -Wall -Wextra.
  if (comparesTexts(rules, columns)) {
    out("/* Whether the text, without the spaces and tabs around it, is `value` (never for\n"
        "   NULL). */\n"
        "static int lad_text_is(const char *text, const char *value)\n{\n"
        "    size_t n;\n"
        "    if (text == NULL) return 0;\n"
        "    while (*text == ' ' || *text == '\\t') ++text;\n"
        "    n = strlen(text);\n"
        "    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\\t')) --n;\n"
        "    return strlen(value) == n && memcmp(text, value, n) == 0;\n}\n\n");
  }
  bool readsTexts = false;
  bool readsNumbers = false;
  for (const Column& column : columns.list) {
    readsTexts = readsTexts || (column.used && column.category);
    readsNumbers = readsNumbers || (column.used && !column.category);
  }
  if (readsTexts) {
    out("/* The text, or NULL when it is missing. */\n"
        "static const char *lad_known(const char *text)\n{\n");
    std::vector<std::string> tests;
    for (const std::string& m : rules.missingTexts()) {
      tests.push_back("lad_text_is(text, " + cString(m) + ")");
    }
    if (!tests.empty()) out("    if (" + joined(tests, " || ") + ") return NULL;\n");
    out("    return text;\n}\n\n");
  }
  out("double lad_score(const double *values, const char *const *texts)\n{\n");
  for (std::size_t c = 0; c < columns.list.size(); ++c) {
    const Column& column = columns.list[c];
    if (!column.used) continue;
    const std::string at = "[" + std::to_string(c) + "]";
    out(column.category
            ? "    const char *const " + variable(c) + " = lad_known(texts" + at + "); /* "
            : "    const double " + variable(c) + " = values" + at + "; /* ");
    out(commentText(column.name) + " */\n");
  }
  if (!readsNumbers) out("    (void)values;\n");
  if (!readsTexts) out("    (void)texts;\n");
  if (rules.positiveCount() > 0) out("    int p = 0;\n");
  if (rules.negativeCount() > 0) out("    int n = 0;\n");
  for (std::int32_t j = 0; j < rules.size(); ++j) {
    std::vector<std::string> tests;
    for (const Condition& c : rules.conditions(j)) {
      const auto k = static_cast<std::size_t>(c.attribute);
      const std::string x = variable(columns.of[k]);
      if (rules.categoryValue(k).empty()) {
        for (std::string& t : comparisons(rules, c, x, hexLiteral)) tests.push_back(std::move(t));
        continue;
      }
      const std::string value = cString(rules.categoryValue(k));
      switch (textTest(rules, c)) {
        case TextTest::Is:
          tests.push_back("lad_text_is(" + x + ", " + value + ")");
          break;
        case TextTest::IsNot:
          tests.push_back("(" + x + " != NULL && !lad_text_is(" + x + ", " + value + "))");
          break;
        case TextTest::Known:
          tests.push_back(x + " != NULL");
          break;
        case TextTest::Never:
          tests.push_back("0");
          break;
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

// An SQL text can hold no control character: a NUL ends the text of a statement early for
// many readers (the sqlite3 shell among them), and whatever follows it would be read as SQL.
void requireSqlText(const std::string& text, const std::string& what) {
  const std::string problem = controlCharacterProblem(text);
  if (!problem.empty()) throw LadError(what + " " + problem + ", which SQL code cannot hold");
}

// A column's number, NULL when missing: a missing-value text in it (a table loaded from a
// CSV file keeps them) is NULL too, where SQL would read most of them as 0.
std::string sqlNumber(const ModelRules& rules, const std::string& column) {
  const std::string cast = "CAST(" + column + " AS DOUBLE PRECISION)";
  if (rules.missingTexts().empty()) return cast;
  return "CASE WHEN CAST(" + column + " AS VARCHAR(255)) IN (" + missingList(rules, sqlString) +
         ") THEN NULL ELSE " + cast + " END";
}

std::string sqlPatternTerm(const ModelRules& rules, const ModelRules& dotted,
                           const Columns& columns, std::int32_t j) {
  std::vector<std::string> tests;
  for (const Condition& c : rules.conditions(j)) {
    const auto k = static_cast<std::size_t>(c.attribute);
    const std::string column = sqlColumn(columns.list[columns.of[k]].name);
    if (rules.categoryValue(k).empty()) {
      for (std::string& t : comparisons(rules, c, sqlNumber(rules, column), sqlRealLiteral)) {
        tests.push_back(std::move(t));
      }
      continue;
    }
    // Every comparison with NULL is unknown, and so is an AND of them: CASE takes it as not
    // met. NOT, which would make an unknown comparison of a NULL true, is never used.
    const std::string known = rules.missingTexts().empty()
                                  ? column + " IS NOT NULL"
                                  : column + " NOT IN (" + missingList(rules, sqlString) + ")";
    const std::string value = sqlString(rules.categoryValue(k));
    switch (textTest(rules, c)) {
      case TextTest::Is:
        tests.push_back(column + " = " + value);
        break;
      case TextTest::IsNot:
        tests.push_back(column + " <> " + value);
        if (!rules.missingTexts().empty()) tests.push_back(known);
        break;
      case TextTest::Known:
        tests.push_back(known);
        break;
      case TextTest::Never:
        tests.push_back("1 = 0");
        break;
    }
  }
  return (tests.empty() ? std::string("1")
                        : "CASE WHEN " + joined(tests, " AND ") + " THEN 1 ELSE 0 END") +
         " /* " + patternComment(dotted, j) + " */";
}

void writeSql(const ModelRules& rules, const std::string& modelName, const TextSink& out) {
  const Columns columns = tableColumns(rules);
  for (std::size_t c = 0; c < columns.list.size(); ++c) {
    const Column& column = columns.list[c];
    if (!column.used) continue;
    if (column.name.empty()) {
      throw LadError("Column " + std::to_string(c + 1) +
                     " the model reads has an empty name, which no SQL column can have");
    }
    requireSqlText(column.name, "The name of column " + std::to_string(c + 1));
    for (const std::string& v : column.values) {
      requireSqlText(v, "A category of column " + quotedForMessage(column.name));
    }
  }
  for (const std::string& m : rules.missingTexts()) {
    requireSqlText(m, "A missing-value text of the table");
  }
  const ModelRules dotted = rules.withFormat(NumberFormat{"."});
  out("/* The LAD model " + commentText(modelName) +
      " as one SQL expression, made by lad export: " + countsText(rules) +
      ".\n   Its value on a row is the score that lad apply gives: the share of positive\n"
      "   patterns satisfied minus the share of negative ones, from -1 to 1. It reads the\n"
      "   columns of the table observations, named after the table's columns (another table\n"
      "   can be given that name in the query):\n"
      "     SELECT Name, <this expression> AS score FROM observations\n"
      "     SELECT Name, <this expression> AS score FROM mytable AS observations\n"
      "   A column of numbers is read as numbers whatever its type (a text as SQL reads a\n"
      "   number's text, with a decimal point); a column of categories is compared as text,\n"
      "   with the values as the table holds them (observations.\"colour\" = 'red').\n"
      "   A missing value meets no condition, and a category the model never saw meets\n"
      "   none of the column's \"=\" conditions. Missing values are NULL" +
      (rules.missingTexts().empty()
           ? std::string(".")
           : " and the table's\n   missing-value texts " + missingComment(rules) + ".") +
      "\n   A cutpoint that no short decimal gives exactly is written as an integer over a power\n"
      "   of 2, so that every SQL engine reads the model's own value. */\n");
  out("0.0");
  writeSqlSides(rules, "", out,
                [&](std::int32_t j) { return sqlPatternTerm(rules, dotted, columns, j); });
  out("\n");
}

}  // namespace

void writeTableExport(const ModelRules& rules, ExportLanguage language,
                      const std::string& modelName, const TextSink& out,
                      const std::string& headerFile) {
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

std::string tableCHeader(const ModelRules& rules, const std::string& modelName,
                         const std::string& guard) {
  const Columns columns = tableColumns(rules);
  return "/* The LAD model " + commentText(modelName) +
         " as C, made by lad export: " + countsText(rules) + ". */\n#ifndef " + guard +
         "\n#define " + guard +
         "\n\n#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n"
         "/* The number of columns of the table that lad_score reads, named in\n"
         "   lad_attribute_names; lad_attribute_is_text[k] is 1 for a column of categories. */\n"
         "#define LAD_ATTRIBUTE_COUNT " +
         std::to_string(columns.list.size()) +
         "\n\nextern const char *const lad_attribute_names[LAD_ATTRIBUTE_COUNT];\n"
         "extern const int lad_attribute_is_text[LAD_ATTRIBUTE_COUNT];\n\n"
         "/* The score that lad apply gives the observation whose column k holds values[k], a\n"
         "   number (NaN when missing), or for a column of categories texts[k], its text, spaces\n"
         "   and tabs around it ignored (NULL when missing" +
         (rules.missingTexts().empty() ? std::string(")")
                                       : ", and so are " + missingComment(rules) + ")") +
         ":\n   the share of positive patterns satisfied minus the share of negative ones, from\n"
         "   -1 to 1. A missing value meets no condition; a category the model never saw meets\n"
         "   none of the column's \"=\" conditions. values[k] of a column of categories and\n"
         "   texts[k] of a column of numbers are not read. */\n"
         "double lad_score(const double *values, const char *const *texts);\n\n"
         "#ifdef __cplusplus\n}\n#endif\n\n#endif\n";
}
