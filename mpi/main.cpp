// lad-mpi: `lad build` shared out over the processes of an MPI run, writing the same files.
//   mpirun -n P lad-mpi build [TABLE] [the options of lad build]

#include <CLI/CLI.hpp>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

#include "BuildCommand.h"
#include "BuildModel.h"
#include "ConsoleOutput.h"
#include "LadError.h"
#include "MpiRun.h"
#include "NumberText.h"
#include "ProgressLine.h"
#include "SharedSearch.h"
#include "TableInput.h"

namespace {

const char* const kDescription =
    R"(lad-mpi - learn a LAD model over the processes of an MPI run.

  mpirun -n P lad-mpi build [TABLE] [options]

Writes the files that `lad build` writes with the same TABLE and options, byte for byte.
Rank 0 reads TABLE and writes NAME.MOD, .PAT, .DES and .GRD; every rank searches a share
of the attribute subsets on --threads threads (default: every core it may use).)";

// The points where every rank agrees before the next step: the table is read, and every
// rank is ready to search. A failure before the last of them is reported once by rank 0.
constexpr int kAgreements = 2;

void printFailure(const std::string& message) {
  std::cout.flush();
  std::cerr << messageWithFullStop(message) << "\n";
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// `format` is this rank's: its options were read in it. The table and the files use rank 0's.
int build(MpiRun& run, const BuildArguments& arguments, const NumberFormat& format, bool timings) {
  try {
    const auto start = Clock::now();
    std::string table;
    if (run.root()) table = readTable(arguments.table);
    run.agree(nullptr);
    run.broadcast(table);
    // Rank 0's decimal separator, for ranks whose locale may differ.
    std::string separator = format.decimalSeparator;
    run.broadcast(separator);

    BuildOptions options;
    options.format.decimalSeparator = separator;
    options.control.threads = arguments.threads;
    options.control.processes = run.size();
    options.reading = arguments.reading.options();
    options.source = tableSource(arguments.table);
    if (run.root()) {
      options.warning = printWarning;
      options.control.progress = progressOnTerminal(arguments.quiet, kSearchingSubsets,
                                                    ErrorsShownBy::Launcher);
    }
    const LearningParameters parameters = arguments.parameters.read(format);
    std::optional<TableLayout> layout;
    const TrainingTable training =
        prepareBuild(parameters, table, arguments.name, options, &layout);
    const double reading = secondsSince(start);
    double search = 0;
    const Model model =
        buildModel(training, parameters, options.control, sharedSearch(run, options.control, search));
    const double building = secondsSince(start) - reading;
    // Every pattern is on rank 0: the other ranks are done, and rank 0 writes alone, so that
    // no other rank's end can cut its files short.
    run.finalize();
    if (!run.root()) return 0;
    printPatternCounts(
        writeModelFiles(model, training, parameters, arguments.name, printFileWritten, options));
    writeTableLayout(arguments.name, layout ? &*layout : nullptr);
    if (timings) {
      const double all = secondsSince(start);
      std::cout.flush();
      std::cerr << std::fixed << std::setprecision(3) << "Timings on " << run.size()
                << " rank(s): reading " << reading << " s, search " << search
                << " s, the rest of the build " << building - search << " s, files "
                << all - reading - building << " s, in all " << all << " s\n";
    }
    return 0;
  } catch (const RunFailed& failed) {
    if (run.root()) printFailure(failed.what());
    return 1;
  } catch (const std::exception& e) {
    const std::string message = e.what();
    if (run.finalized()) {  // rank 0, writing the files
      printFailure(message);
      return 1;
    }
    if (run.agreementsPassed() < kAgreements) {
      try {
        run.agree(&message);
      } catch (const RunFailed& failed) {
        if (run.root()) printFailure(failed.what());
      }
      return 1;
    }
    // The ranks are searching apart: this one cannot tell the others, so the run ends.
    printFailure(run.root() ? message : "Rank " + std::to_string(run.rank()) + ": " + message);
    run.abort();
  }
}

}  // namespace

int main(int argc, char** argv) {
  MpiRun run(argc, argv);
  const NumberFormat format = localeNumberFormat();
  CLI::App app{kDescription, "lad-mpi"};
  app.require_subcommand(1);
  app.failure_message(CLI::FailureMessage::help);  // a usage error shows the help
  const BuildCommand command(app, format);
  bool timings = false;
  command.subcommand()->add_flag("--timings", timings,
                 "print how long each step took on standard error: reading the table, the "
                 "search over every rank, the rest of the build (ordering the patterns), "
                 "writing the files");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Every rank reads the same arguments; rank 0 alone speaks.
    std::ostringstream silent;
    const int code = run.root() ? app.exit(e) : app.exit(e, silent, silent);
    return code == 0 ? 0 : 2;
  }
  return build(run, command.arguments(), format, timings);
}
