#include "PatternCommands.h"

#include <filesystem>
#include <iostream>
#include <map>

#include "Explanation.h"
#include "Intake.h"
#include "LadError.h"
#include "LineFile.h"
#include "ModelExport.h"
#include "NumberText.h"
#include "PatternReport.h"
#include "PatternTable.h"

struct PatternCommands {
  CLI::App* patterns = nullptr;
  std::string patternsTable;
  std::string patternsName = kDefaultModelName;
  std::string sort;
  std::int64_t top = -1;
  bool csv = false;
  bool json = false;

  CLI::App* explain = nullptr;
  std::string explainName = kDefaultModelName;
  std::vector<std::string> explainArguments;  // [TABLE] ROW...

  CLI::App* exporter = nullptr;
  std::string exportName = kDefaultModelName;
  std::string language;
  std::string output;
};

namespace {

void warn(const std::string& text) {
  std::cerr << "Warning: " << messageWithFullStop(text) << "\n";
}

// The model, and the table checked against it as Apply Model checks it.
struct ModelAndTable {
  ModelRules rules;
  ObservationTable table;
};

ModelAndTable modelAndTable(const std::string& name, const std::string& tableText) {
  const NumberFormat format = currentNumberFormat();
  ModelRules rules(loadModel(name, format), format);
  ObservationTable table = ObservationTable::read(tableText, format);
  requireTableFitsModel(rules, table);
  const std::string mismatch = headerMismatch(rules, table);
  if (!mismatch.empty()) warn(mismatch);
  return {std::move(rules), std::move(table)};
}

void runPatterns(const PatternCommands& c, const TableReader& readTable) {
  static const std::map<std::string, PatternSortKey> keys = {
      {"", PatternSortKey::Model},
      {"prevalence", PatternSortKey::Prevalence},
      {"homogeneity", PatternSortKey::Homogeneity},
      {"coverage", PatternSortKey::Coverage},
      {"degree", PatternSortKey::Degree}};
  ModelAndTable loaded = modelAndTable(c.patternsName, readTable(c.patternsTable));
  const PatternTable table(std::move(loaded.rules), std::move(loaded.table));
  std::vector<std::int32_t> order = table.sortedOrder(keys.at(c.sort));
  if (c.top >= 0 && static_cast<std::size_t>(c.top) < order.size()) {
    order.resize(static_cast<std::size_t>(c.top));
  }
  const PatternListFormat format =
      c.csv ? PatternListFormat::Csv : (c.json ? PatternListFormat::Json : PatternListFormat::Text);
  writePatternList(table, order, format, [](std::string_view piece) { std::cout << piece; });
}

void runExplain(const PatternCommands& c, const TableReader& readTable) {
  // The first argument is the table when it is "-" or names a file and rows follow it.
  std::vector<std::string> rows = c.explainArguments;
  std::string tableArgument;
  if (rows.size() >= 2 && (rows.front() == "-" || std::filesystem::exists(rows.front()))) {
    tableArgument = rows.front();
    rows.erase(rows.begin());
  }
  ModelAndTable loaded = modelAndTable(c.explainName, readTable(tableArgument));
  std::vector<std::size_t> found;
  for (const std::string& row : rows) {
    const std::vector<std::size_t> named = loaded.table.rowsNamed(row);
    if (named.empty()) {
      throw LadError("The table has no observation named " + quotedForMessage(row) +
                     (rows.size() == 1 && std::filesystem::exists(row)
                          ? " (a table needs at least one row name after it)"
                          : ""));
    }
    found.insert(found.end(), named.begin(), named.end());
  }
  ObservationTable& table = loaded.table;
  table.widen(loaded.rules.attributeCount());
  for (std::size_t i = 0; i < found.size(); ++i) {
    const std::size_t r = found[i];
    const Explanation e = explainObservation(loaded.rules, table.values(r));
    const std::string title = table.name(r) + " (line " +
                              IntToStr(static_cast<std::int64_t>(table.lineNumber(r))) +
                              ", class " + table.classField(r) + ")";
    if (i > 0) std::cout << "\n";
    for (const std::string& line : explanationText(loaded.rules, e, title)) {
      std::cout << line << "\n";
    }
  }
}

// FILE.c gives the header FILE.h; any other name gets ".h" added.
std::string headerFileFor(const std::string& output) {
  const bool dotC = output.size() > 2 && output.compare(output.size() - 2, 2, ".c") == 0;
  return (dotC ? output.substr(0, output.size() - 2) : output) + ".h";
}

void runExport(const PatternCommands& c) {
  const ExportLanguage language = exportLanguage(c.language);
  const ModelRules rules(loadModel(c.exportName, currentNumberFormat()), currentNumberFormat());
  if (c.output.empty()) {
    writeExport(rules, language, c.exportName, [](std::string_view piece) { std::cout << piece; });
    return;
  }
  // Written beside the targets and put in place only when complete: a failure leaves any
  // earlier file as it was.
  const std::string header = headerFileFor(c.output);
  const std::string headerName = std::filesystem::path(header).filename().string();
  LineFileWriter code(c.output);
  writeExport(
      rules, language, c.exportName, [&](std::string_view piece) { code.write(piece); },
      headerName);
  if (language != ExportLanguage::C) {
    code.commit();
    std::cout << c.output << "\n";
    return;
  }
  LineFileWriter declarations(header);
  declarations.write(cHeader(rules, c.exportName, headerName));
  code.finish();
  declarations.finish();
  declarations.publish();
  std::cout << header << "\n";
  code.publish();
  std::cout << c.output << "\n";
}

}  // namespace

std::shared_ptr<PatternCommands> addPatternCommands(CLI::App& app) {
  auto c = std::make_shared<PatternCommands>();
  const char* const tableHelp = "data table file (default: the sample table; - for stdin)";

  c->patterns = app.add_subcommand(
      "patterns", "List the model's patterns as rules, with their statistics on TABLE");
  c->patterns->add_option("TABLE", c->patternsTable, tableHelp);
  c->patterns->add_option("--name", c->patternsName, "model name NAME")->capture_default_str();
  c->patterns->add_option("--sort", c->sort, "order: highest share or coverage, fewest conditions")
      ->check(CLI::IsMember({"prevalence", "homogeneity", "coverage", "degree"}));
  c->patterns->add_option("--top", c->top, "only the first N patterns")
      ->check(CLI::NonNegativeNumber);
  CLI::Option* csv = c->patterns->add_flag("--csv", c->csv, "comma-separated values");
  c->patterns->add_flag("--json", c->json, "a JSON array, one object per pattern")->excludes(csv);

  c->explain = app.add_subcommand(
      "explain",
      "Why the named rows of TABLE get their scores: patterns for and against, near misses");
  c->explain->add_option("--name", c->explainName, "model name NAME")->capture_default_str();
  c->explain
      ->add_option("ROW", c->explainArguments,
                   "[TABLE] ROW...: rows by their Name field; the first is the table when it is - "
                   "or a file (default: the sample table)")
      ->required();

  c->exporter =
      app.add_subcommand("export", "Write the model as a scoring function in Python, C or SQL");
  c->exporter->add_option("--name", c->exportName, "model name NAME")->capture_default_str();
  c->exporter->add_option("--to", c->language, "python, c or sql")
      ->required()
      ->check(CLI::IsMember({"python", "c", "sql"}));
  c->exporter->add_option("-o,--output", c->output,
                          "write to FILE (for C also its header, FILE.c giving FILE.h) instead of "
                          "standard output");
  return c;
}

bool runPatternCommands(const PatternCommands& commands, const TableReader& readTable) {
  if (commands.patterns->parsed()) {
    runPatterns(commands, readTable);
  } else if (commands.explain->parsed()) {
    runExplain(commands, readTable);
  } else if (commands.exporter->parsed()) {
    runExport(commands);
  } else {
    return false;
  }
  return true;
}
