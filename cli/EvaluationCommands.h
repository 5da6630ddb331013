// `lad evaluate`, `lad cv` and `lad tune`: how good a model is, and which parameters are best.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

#include "CrossValidation.h"
#include "ParameterOptions.h"
#include "ReadingArguments.h"

class EvaluationCommands {
 public:
  // Adds the three subcommands to the application; numbers are read and written in `format`.
  EvaluationCommands(CLI::App& app, const NumberFormat& format);
  // Runs the one that was parsed; false when none was. Failures raise.
  bool run();

 private:
  void evaluate();
  void crossValidation();
  void tune();
  ValidationOptions validationOptions() const;
  TuningCriterion criterion() const;

  NumberFormat format_;
  CLI::App* evaluate_ = nullptr;
  CLI::App* cv_ = nullptr;
  CLI::App* tune_ = nullptr;
  std::string table_;
  std::string name_;
  bool json_ = false;
  bool quiet_ = false;
  int threads_ = 0;
  std::int32_t folds_ = 10;
  std::uint64_t seed_ = 1;
  ParameterOptions parameters_;
  std::string criterion_ = "balanced-accuracy";
  std::string undecided_ = "wrong";  // "wrong", "0" or "1"
  std::int32_t undecidedAs() const;
  TuningListTexts lists_;
  ReadingArguments reading_;
};
