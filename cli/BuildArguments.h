// The arguments of `lad build`, shared by the command line programs that build models.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

#include "Intake.h"

struct BuildArguments {
  LearningParameters parameters;
  std::int32_t gridSize = spinValue(LearningParameters{}.gridSize);
  std::int32_t degree = spinValue(LearningParameters{}.degree);
  std::string table;
  std::string name = kDefaultModelName;
  int threads = 0;
  bool quiet = false;

  // The parameters with the whole numbers as the texts the build reads.
  LearningParameters learningParameters() const;
};

// Adds the subcommand "build" with TABLE and every option of `lad build`, filling arguments.
CLI::App* addBuildCommand(CLI::App& app, BuildArguments& arguments);

// The text of TABLE: the sample table when it is empty, standard input for "-".
std::string readTable(const std::string& table);

// Reads numbers with the decimal separator of LC_NUMERIC.
void useLocaleDecimalSeparator();

// "Warning: TEXT." on standard error.
void printWarning(const std::string& text);
