#include "BuildCommand.h"

#include "TableInput.h"

CLI::App* BuildCommand::add(CLI::App& app, const NumberFormat& format) {
  CLI::App* build =
      app.add_subcommand("build", "Learn a model from TABLE and write its four files");
  build->add_option("TABLE", table, kTableHelp);
  parameters.add(build, true, format);
  build->add_option("--name", name, "model name NAME (files NAME.MOD, ...)")->capture_default_str();
  build->add_flag("--quiet", quiet, "no progress line on a terminal");
  build->add_option("--threads", threads, "threads that search patterns (default: all cores)")
      ->check(CLI::NonNegativeNumber);
  return build;
}
