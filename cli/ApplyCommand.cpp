#include "ApplyCommand.h"

#include <iostream>

#include "ApplyModel.h"
#include "ClassModels.h"
#include "ConsoleOutput.h"
#include "Intake.h"
#include "TableInput.h"

ApplyCommand::ApplyCommand(CLI::App& app, const NumberFormat& format)
    : format_(format), name_(kDefaultModelName) {
  apply_ = app.add_subcommand("apply", "Score every observation of TABLE with NAME.MOD");
  apply_->add_option("TABLE", table_, kTableHelp);
  apply_->add_option("--name", name_, "model name NAME")->capture_default_str();
}

bool ApplyCommand::run() {
  if (!apply_->parsed()) return false;
  ApplyReport report;
  report.forecastLine = [](const std::string& line) {
    std::cout << line << "\n";
    requireStandardOutput();  // a full disk stops the scoring at once
  };
  report.warning = printWarning;
  if (hasClassModels(name_)) {
    const ClassForecasts forecasts = applyClassModels(name_, readTable(table_), format_);
    for (const std::string& note : forecasts.notes) printWarning(note);
    for (const ClassForecast& row : forecasts.rows) {
      std::cout << classForecastLine(forecasts, row, format_) << "\n";
      requireStandardOutput();
    }
    return true;
  }
  runApplyModel(name_, readTable(table_), report, format_);
  return true;
}
