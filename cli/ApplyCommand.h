// `lad apply`: score every observation of a table with a stored model, one Forecast line each.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "NumberText.h"

class ApplyCommand {
 public:
  // Adds "apply" to app: TABLE and --name; numbers are read and written in `format`.
  ApplyCommand(CLI::App& app, const NumberFormat& format);
  // Prints the Forecast lines when "apply" was parsed; false when it was not. Failures raise.
  bool run();

 private:
  NumberFormat format_;
  std::string table_;
  std::string name_;
  CLI::App* apply_ = nullptr;
};
