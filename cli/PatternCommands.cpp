#include "PatternCommands.h"

#include <filesystem>
#include <iostream>
#include <map>

#include "ConsoleOutput.h"
#include "Explanation.h"
#include "Intake.h"
#include "LadError.h"
#include "LineFile.h"
#include "ModelExport.h"
#include "ModelExportFiles.h"
#include "ModelFiles.h"
#include "NameText.h"
#include "NumberText.h"
#include "PatternReport.h"
#include "PatternTable.h"
#include "StopSignals.h"
#include "TableInput.h"

namespace {

// The model, and the table checked against it as Apply Model checks it.
struct ModelAndTable {
  ModelRules rules;
  ObservationTable table;
};

ModelAndTable modelAndTable(const std::string& name, const std::string& tableText,
                            const NumberFormat& format) {
  ModelRules rules = rulesOfModel(loadModel(name, format, printWarning), name, format);
  ObservationTable table = readObservationsFor(name, tableText, format, printWarning);
  requireTableFitsModel(rules, table);
  const std::string mismatch = headerMismatch(rules, table);
  if (!mismatch.empty()) printWarning(mismatch);
  return {std::move(rules), std::move(table)};
}

}  // namespace

void PatternCommands::patterns() {
  static const std::map<std::string, PatternSortKey> keys = {
      {"", PatternSortKey::Model},
      {"prevalence", PatternSortKey::Prevalence},
      {"homogeneity", PatternSortKey::Homogeneity},
      {"coverage", PatternSortKey::Coverage},
      {"degree", PatternSortKey::Degree}};
  ModelAndTable loaded = modelAndTable(name_, readTable(table_), format_);
  const PatternTable table(std::move(loaded.rules), std::move(loaded.table));
  std::vector<std::int32_t> order = table.sortedOrder(keys.at(sort_));
  if (top_ >= 0 && static_cast<std::size_t>(top_) < order.size()) {
    order.resize(static_cast<std::size_t>(top_));
  }
  const PatternListFormat format =
      csv_ ? PatternListFormat::Csv : (json_ ? PatternListFormat::Json : PatternListFormat::Text);
  if (format == PatternListFormat::Json) {
    for (std::size_t k = 0; k < table.rules().attributeCount(); ++k) {
      if (isUtf8(table.rules().attributeName(k))) continue;
      printWarning("The model's attribute name " +
                   quotedForMessage(table.rules().attributeName(k)) +
                   " is not UTF-8 text; in the JSON its other bytes read as U+FFFD");
      break;
    }
  }
  writePatternList(table, order, format, [](std::string_view piece) { std::cout << piece; });
}

void PatternCommands::explain() {
  // The first argument is the table when it is "-" or names a file and rows follow it.
  std::vector<std::string> rows = explainArguments_;
  std::string tableArgument;
  // A first argument that names a file which is not there ("tabel.csv") is a mistyped table,
  // not a row: reading it says so.
  const std::string& first = rows.front();
  const std::string extension = std::filesystem::path(first).extension().string();
  const bool looksLikeFile =
      first.find('/') != std::string::npos || extension == ".csv" || extension == ".txt";
  // "-" is standard input, as for every command that reads a table, never a row name.
  if (first == "-" && rows.size() == 1) {
    throw LadError(
        "\"-\" reads the table from standard input: name at least one row after it "
        "(lad explain - ROW...)");
  }
  if (rows.size() >= 2 && (first == "-" || std::filesystem::exists(first) || looksLikeFile)) {
    tableArgument = first;
    rows.erase(rows.begin());
  }
  ModelAndTable loaded = modelAndTable(name_, readTable(tableArgument), format_);
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
    const std::string title = observationTitle(table, r);
    if (i > 0) std::cout << "\n";
    for (const std::string& line : explanationText(loaded.rules, e, title)) {
      std::cout << line << "\n";
    }
  }
}

void PatternCommands::exportModel() {
  const ExportLanguage language = exportLanguage(language_);
  const ModelRules rules = rulesOfModel(loadModel(name_, format_, printWarning), name_, format_);
  if (output_.empty()) {
    writeExport(rules, language, name_, [](std::string_view piece) { std::cout << piece; });
    return;
  }
  // Written beside the targets and put in place only when complete: a failure leaves any
  // earlier file as it was.
  for (const std::string& file :
       writeExportFiles(rules, language, name_, output_, cancelOnStopSignals())) {
    std::cout << file << "\n";
  }
}

PatternCommands::PatternCommands(CLI::App& app, const NumberFormat& format)
    : format_(format), name_(kDefaultModelName) {
  patterns_ = app.add_subcommand(
      "patterns", "List the model's patterns as rules, with their statistics on TABLE");
  patterns_->add_option("TABLE", table_, kTableHelp);
  patterns_->add_option("--name", name_, "model name NAME")->capture_default_str();
  patterns_->add_option("--sort", sort_, "order: highest share or coverage, fewest conditions")
      ->check(CLI::IsMember({"prevalence", "homogeneity", "coverage", "degree"}));
  patterns_->add_option("--top", top_, "only the first N patterns")->check(CLI::NonNegativeNumber);
  CLI::Option* csv = patterns_->add_flag("--csv", csv_, "comma-separated values");
  patterns_->add_flag("--json", json_, "a JSON array, one object per pattern")->excludes(csv);

  explain_ = app.add_subcommand(
      "explain",
      "Why the named rows of TABLE get their scores: patterns for and against, near misses");
  explain_->add_option("--name", name_, "model name NAME")->capture_default_str();
  explain_
      ->add_option("ROW", explainArguments_,
                   "[TABLE] ROW...: rows by their Name field; the first is the table when it is - "
                   "or a file (default: the sample table)")
      ->required();

  export_ =
      app.add_subcommand("export", "Write the model as a scoring function in Python, C or SQL");
  export_->add_option("--name", name_, "model name NAME")->capture_default_str();
  export_->add_option("--to", language_, "python, c or sql")
      ->required()
      ->check(CLI::IsMember({"python", "c", "sql"}));
  export_->add_option("-o,--output", output_,
                      "write to FILE (for C also its header, FILE.c giving FILE.h) instead of "
                      "standard output");
}

bool PatternCommands::run() {
  if (patterns_->parsed()) {
    patterns();
  } else if (explain_->parsed()) {
    explain();
  } else if (export_->parsed()) {
    exportModel();
  } else {
    return false;
  }
  return true;
}
