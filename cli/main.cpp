// lad: the workbench's Build Model and Apply Model from the command line.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <string>

#include "ApplyCommand.h"
#include "BuildCommand.h"
#include "ConsoleOutput.h"
#include "EvaluationCommands.h"
#include "LadError.h"
#include "NumberText.h"
#include "PatternCommands.h"
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

  // In the order of the help: build, apply, then evaluate, cv and tune, then patterns,
  // explain and export.
  BuildCommand build(app, format);
  ApplyCommand apply(app, format);
  EvaluationCommands evaluation(app, format);
  PatternCommands patterns(app, format);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }

  try {
    // Exactly one subcommand was parsed, and runs.
    build.run() || apply.run() || evaluation.run() || patterns.run();
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
