// The subcommand "build" with its table and options, shared by lad and lad-mpi.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "Intake.h"
#include "ParameterOptions.h"
#include "ReadingArguments.h"

// The options as parsed; lad-mpi reads them to run the build its own way.
struct BuildArguments {
  ParameterOptions parameters;
  std::string table;
  std::string name = kDefaultModelName;
  int threads = 0;
  bool quiet = false;
  ReadingArguments reading;
};

class BuildCommand {
 public:
  // Adds "build" to app: TABLE, the six parameters (their defaults written in `format`),
  // --name, --quiet and --threads.
  BuildCommand(CLI::App& app, const NumberFormat& format);
  const BuildArguments& arguments() const { return arguments_; }
  // The subcommand, for a front end that adds options of its own.
  CLI::App* subcommand() const { return build_; }
  // Builds the model and writes its four files when "build" was parsed; false when it was
  // not. Failures raise.
  bool run();

 private:
  NumberFormat format_;
  BuildArguments arguments_;
  CLI::App* build_ = nullptr;
};
