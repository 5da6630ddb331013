// The subcommand "build" with its table and options, shared by lad and lad-mpi.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "Intake.h"
#include "ParameterOptions.h"

struct BuildCommand {
  ParameterOptions parameters;
  std::string table;
  std::string name = kDefaultModelName;
  int threads = 0;
  bool quiet = false;

  // Adds "build" to app: TABLE, the six parameters (their defaults written in `format`),
  // --name, --quiet and --threads.
  CLI::App* add(CLI::App& app, const NumberFormat& format);
};
