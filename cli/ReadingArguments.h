// The options that say how a command reads its table: --class, --id, --ignore,
// --categorical, --positive, --missing and --separator.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "TableReading.h"

class ReadingArguments {
 public:
  void add(CLI::App* command);
  // Raises LadError for a separator other than ",", ";" or "tab".
  ReadingOptions options() const;

 private:
  ReadingOptions options_;
  std::string missing_;
  bool missingGiven_ = false;
  std::string separator_;
};

// The name of TABLE in messages: its path, "standard input" or "the sample table".
std::string tableSource(const std::string& table);
