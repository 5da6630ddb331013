// lad patterns, lad explain and lad export: the readable side of a model on the command line.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <string>

// The options of the three commands, filled when the command line is parsed.
struct PatternCommands;

// Adds "patterns", "explain" and "export" to the app.
std::shared_ptr<PatternCommands> addPatternCommands(CLI::App& app);

// Gives the text of a table argument: "" the sample table, "-" standard input, else a file.
using TableReader = std::function<std::string(const std::string&)>;

// Runs whichever of the three was parsed and returns true, or returns false when none was.
// Failures are thrown (LadError and the like) for the caller to report.
bool runPatternCommands(const PatternCommands& commands, const TableReader& readTable);
