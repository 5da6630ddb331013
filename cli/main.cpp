// lad: the workbench's Build Model and Apply Model from the command line.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <string>

#include "ApplyModel.h"
#include "BuildCommand.h"
#include "BuildModel.h"
#include "ConsoleOutput.h"
#include "EvaluationCommands.h"
#include "LadError.h"
#include "NumberText.h"
#include "PatternCommands.h"
#include "ProgressLine.h"
#include "StopSignals.h"
#include "TableInput.h"

namespace {

const char* const kDescription = R"(lad - learn and apply LAD models (logical analysis of data).

  lad build [TABLE] [options]   learn a model, write NAME.MOD, .PAT, .DES, .GRD
  lad apply [TABLE] [--name]    score every observation of TABLE with NAME.MOD
  lad evaluate [TABLE] [--name] how good NAME.MOD is on TABLE: accuracy, AUC, confusion
  lad cv [TABLE] [options]      cross-validate the build parameters (no files written)
  lad tune [TABLE] [options]    cross-validate lists of thresholds and rank them
  lad patterns [TABLE] [...]    the patterns as rules, with their statistics on TABLE
  lad explain [TABLE] ROW...    why those rows get their scores, and the near misses
  lad export --to LANGUAGE      the model as Python, C or SQL that scores without lad

TABLE is a comma-separated text file: a header "Name,Attr1,...,AttrN,Class", then one
line per observation: a name, N numbers and a class (1 positive, 0 negative). Without
TABLE the built-in sample table is used; "-" reads standard input.
Files: NAME.MOD holds "Attributes=...", one "Cutpoints_Att_K=..." line per attribute and
one "PospatternJ=" / "NegpatternJ=" line per pattern (lower:upper:attribute per
coordinate); NAME.PAT marks which observation satisfies which pattern; NAME.DES gives each
pattern's conditions; NAME.GRD the observations' bins. Numbers use the decimal separator
of LC_NUMERIC.)";

}  // namespace

int main(int argc, char** argv) {
  const NumberFormat format = localeNumberFormat();
  const StandardOutput standardOutput;
  CLI::App app{kDescription, "lad"};
  app.require_subcommand(1);
  app.failure_message(CLI::FailureMessage::help);  // a usage error shows the help

  BuildCommand buildCommand;
  CLI::App* build = buildCommand.add(app, format);

  std::string applyTable;
  std::string applyName = kDefaultModelName;
  CLI::App* apply = app.add_subcommand("apply", "Score every observation of TABLE with NAME.MOD");
  apply->add_option("TABLE", applyTable, kTableHelp);
  apply->add_option("--name", applyName, "model name NAME")->capture_default_str();
  EvaluationCommands evaluation(app, format);
  PatternCommands patterns(app, format);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }

  try {
    if (evaluation.run() || patterns.run()) {
      // evaluate, cv, tune, patterns, explain or export
    } else if (build->parsed()) {
      BuildOptions options;
      options.format = format;
      options.control.cancel = cancelOnStopSignals();
      options.control.threads = buildCommand.threads;
      options.warning = printWarning;
      if (!buildCommand.quiet && ::isatty(STDERR_FILENO) != 0)
        options.control.progress = ProgressLine(std::cerr);
      printPatternCounts(runBuildModel(buildCommand.parameters.read(options.format),
                                       readTable(buildCommand.table), buildCommand.name,
                                       printFileWritten, options));
    } else {
      ApplyReport report;
      report.forecastLine = [](const std::string& line) {
        std::cout << line << "\n";
        requireStandardOutput();  // a full disk stops the scoring at once
      };
      report.warning = printWarning;
      runApplyModel(applyName, readTable(applyTable), report, format);
    }
    finishStandardOutput();
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << messageWithFullStop(e.what()) << "\n";
    endByStopSignal();
    return 1;
  }
  endByStopSignal();
  return 0;
}
