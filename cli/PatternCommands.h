// `lad patterns`, `lad explain` and `lad export`: the readable side of a model.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "NumberText.h"

class PatternCommands {
 public:
  // Adds the three subcommands to the application; numbers are read and written in `format`.
  PatternCommands(CLI::App& app, const NumberFormat& format);
  // Runs the one that was parsed; false when none was. Failures raise.
  bool run();

 private:
  void patterns();
  void explain();
  void exportModel();

  NumberFormat format_;
  CLI::App* patterns_ = nullptr;
  CLI::App* explain_ = nullptr;
  CLI::App* export_ = nullptr;
  std::string table_;
  std::string name_;
  std::string sort_;
  std::int64_t top_ = -1;
  bool csv_ = false;
  bool json_ = false;
  std::vector<std::string> explainArguments_;  // [TABLE] ROW...
  std::string language_;
  std::string output_;
};
