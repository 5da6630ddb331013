#include "BuildCommand.h"

#include "BuildModel.h"
#include "ConsoleOutput.h"
#include "ProgressLine.h"
#include "StopSignals.h"
#include "TableInput.h"

BuildCommand::BuildCommand(CLI::App& app, const NumberFormat& format) : format_(format) {
  build_ = app.add_subcommand("build", "Learn a model from TABLE and write its four files");
  build_->add_option("TABLE", arguments_.table, kTableHelp);
  arguments_.parameters.add(build_, ParameterOptions::Form::Values, format);
  build_->add_option("--name", arguments_.name, "model name NAME (files NAME.MOD, ...)")
      ->capture_default_str();
  build_->add_flag("--quiet", arguments_.quiet, "no progress line on a terminal");
  arguments_.reading.add(build_);
  build_->add_option("--threads", arguments_.threads,
                     "threads that search patterns (default: all cores)")
      ->check(CLI::NonNegativeNumber);
}

bool BuildCommand::run() {
  if (!build_->parsed()) return false;
  BuildOptions options;
  options.format = format_;
  options.control.cancel = cancelOnStopSignals();
  options.control.threads = arguments_.threads;
  options.control.progress = progressOnTerminal(arguments_.quiet, kSearchingSubsets);
  options.warning = printWarning;
  options.control.selected = printSelection;
  options.reading = arguments_.reading.options();
  options.source = tableSource(arguments_.table);
  options.note = printNote;
  options.attributesSearched = [](std::int32_t searched, std::int32_t all) {
    printNote("Class-aware cut points split " + integerText(searched) + " of " +
              integerText(all) + " attributes; the others have one bin and were left out of "
              "the search");
  };
  printPatternCounts(runBuildModel(arguments_.parameters.read(format_),
                                   readTable(arguments_.table), arguments_.name,
                                   printFileWritten, options));
  return true;
}
