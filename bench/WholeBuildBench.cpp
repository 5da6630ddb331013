// The whole `lad build` with its four files, as a user times it, at 1 and 2 threads, and the
// share of each of its steps.
//
//   lad_whole_build_bench [--runs N] [--before LAD] [--no-steps | --steps-only] [TABLE...]
//
// TABLE: sonar, wdbc, sonar4 (all by default). --before times another `lad` program (an
// earlier build of it) too, its runs interleaved with this one's, and sets the two side by side.
//
// Each table is built at degree 3, grid size 8, homogeneity/prevalence 0.9/0.05/0.1/0.05.
// The whole build runs `lad build` as its own process, the thread counts interleaved
// (1 2 1 2 1 2 with 3 runs), and prints the median wall time and the peak memory of each. The
// steps then run one by one in this process, each once per thread count:
//   read        the table file into memory
//   intake      the text into a training table
//   discretize  cut points, bins, cutpoint texts
//   search      every subset searched, its patterns dropped
//   merge       what the search takes more inside buildModel, where the patterns are gathered
//               into the two pattern sets as it goes
//   order       both pattern sets put in key order
//   format      the four files written to /dev/null: the reports formatted
//   write+flush the four files written to disk and flushed, less the formatting
// The cores of one machine may run at different speeds at times (a virtual machine's cores
// share physical cores with other work), which makes one-thread times, and so the gain of a
// second thread, swing from run to run: each core is timed first on the same arithmetic, and
// the figures printed, so that a reader can tell. The builds are not held to a core: a
// one-thread build still has the kernel write its files beside it, as a user's does.
// sonar4 is sonar.train with each row repeated four times, the copies moved by small seeded
// noise, so that its cost can be set beside sonar.train's as the rows grow.
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BuildModel.h"
#include "Description.h"
#include "Intake.h"
#include "ModelBuilding.h"
#include "NumberText.h"
#include "SearchData.h"
#include "SubsetSweep.h"
#include "TextFile.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double timed(const std::function<void()>& step) {
  const auto start = Clock::now();
  step();
  return secondsSince(start);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Grid size, degree, then homogeneity and prevalence of each side.
LearningParameters benchParameters() {
  return {8, 3, 0.9, 0.05, 0.1, 0.05};
}

// The best of 3 wall times of a fixed run of dependent multiplications, this thread held to
// one core for the while.
double coreSeconds(int core) {
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return 0;
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(core, &one);
  sched_setaffinity(0, sizeof one, &one);
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    std::uint64_t x = 1;
    for (int i = 0; i < 100000000; ++i) x = x * 6364136223846793005ull + 1442695040888963407ull;
    best = std::min(best, secondsSince(start));
    if (x == 42) std::printf("!");  // the result is used, so the loop is kept
  }
  sched_setaffinity(0, sizeof allowed, &allowed);
  return best;
}

// Times every core this process may use, and prints the figures.
void timeCores() {
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
  std::printf("cores, the same arithmetic on each:");
  for (int core = 0; core < CPU_SETSIZE; ++core) {
    if (CPU_ISSET(core, &allowed)) std::printf(" core %d %.3f s", core, coreSeconds(core));
  }
  std::printf("\n");
}

// Wall seconds and peak resident megabytes of `lad build` as a child process.
bool runLad(const std::string& lad, const std::string& table, const std::string& name, int threads,
            double& seconds, double& megabytes) {
  const std::vector<std::string> args = {lad,
                                         "build",
                                         table,
                                         "--degree",
                                         "3",
                                         "--positive-homogeneity",
                                         "0.9",
                                         "--positive-prevalence",
                                         "0.05",
                                         "--negative-homogeneity",
                                         "0.1",
                                         "--negative-prevalence",
                                         "0.05",
                                         "--threads",
                                         std::to_string(threads),
                                         "--name",
                                         name};
  std::fflush(stdout);  // the child must not print this process's buffered lines again
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(127);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) < 0) return false;
  seconds = secondsSince(start);
  megabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// sonar.train with every row four times: the first copy as it is, the others with each value
// moved by up to 0.2 % of itself, so that the bins and patterns stay close to sonar.train's.
std::string fourfoldTable(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    at = end + 1;
  }
  std::mt19937 random(4);
  std::uniform_real_distribution<double> noise(-0.002, 0.002);
  std::string out = lines.at(0) + "\n";
  for (int copy = 0; copy < 4; ++copy) {
    for (std::size_t i = 1; i < lines.size(); ++i) {
      if (lines[i].empty()) continue;
      std::vector<std::string> fields;
      for (std::size_t at = 0;;) {
        const std::size_t comma = lines[i].find(',', at);
        fields.push_back(lines[i].substr(at, comma - at));
        if (comma == std::string::npos) break;
        at = comma + 1;
      }
      out += fields[0] + (copy == 0 ? "" : "_" + std::to_string(copy + 1));
      for (std::size_t k = 1; k < fields.size(); ++k) {
        std::string field = fields[k];
        if (copy > 0 && k + 1 < fields.size()) {
          const double v = numberFromText(field, NumberFormat{});
          field = numberText(v * (1 + noise(random)), NumberFormat{});
        }
        out += "," + field;
      }
      out += "\n";
    }
  }
  return out;
}

// Seconds of each step of one build at this many threads.
struct Steps {
  double read = 0, intake = 0, discretize = 0, search = 0, merge = 0, order = 0, format = 0,
         write = 0;
  double sum() const {
    return read + intake + discretize + search + merge + order + format + write;
  }
};

Steps timeSteps(const std::string& file, const std::string& folder, int threads) {
  const LearningParameters parameters = benchParameters();
  Steps s;
  std::string text;
  s.read = timed([&] { text = readTextFile(file); });
  BuildOptions options;
  options.control.threads = threads;
  TrainingTable table;
  s.intake = timed([&] { table = prepareBuild(parameters, text, folder + "/STEPS", options); });

  std::int32_t attributes = 0;
  double discretize = 0;
  double search = 0;
  runWithThreads(threads, [&] {
    const auto start = Clock::now();
    const CutpointGrid grid =
        CutpointGrid::equalFrequency(table.values(), table.columns(), parameters.gridSize);
    const SearchData data(table, grid, parameters);
    const CutpointTexts texts(grid.cutpoints(), table.format());
    attributes = static_cast<std::int32_t>(data.sizes.size());
    discretize = secondsSince(start);
    search = timed([&] {
      searchEverySubset(data, attributes, parameters.degree, options.control,
                        [](const arrint&, const SubsetPatterns&) {});
    });
  });
  s.discretize = discretize;
  s.search = search;

  std::optional<Model> built;
  double searchAndMerge = 0;
  BuildControl control = options.control;
  control.stepTimed = [&](const char* step, double seconds) {
    if (std::strcmp(step, "search and merge") == 0) searchAndMerge = seconds;
    if (std::strcmp(step, "order") == 0) s.order = seconds;
  };
  built.emplace(buildModel(table, parameters, control));
  const Model& model = *built;
  s.merge = std::max(0.0, searchAndMerge - s.search);

  // The same four files through device links: formatting without the disk.
  const std::string devnull = folder + "/NULL";
  for (const char* extension : {".MOD", ".PAT", ".DES", ".GRD"}) {
    fs::remove(devnull + extension);
    fs::create_symlink("/dev/null", devnull + extension);
  }
  s.format = timed([&] { writeModelFiles(model, table, parameters, devnull, nullptr, options); });
  const double files = timed(
      [&] { writeModelFiles(model, table, parameters, folder + "/STEPS", nullptr, options); });
  s.write = std::max(0.0, files - s.format);
  for (const char* extension : {".MOD", ".PAT", ".DES", ".GRD"})
    fs::remove(folder + "/STEPS" + extension);
  return s;
}

void printSteps(const char* label, const Steps& s) {
  const double total = s.sum();
  auto share = [&](double x) { return total > 0 ? 100 * x / total : 0; };
  std::printf(
      "  steps, %s: %.2f s in all; read %.0f%%, intake %.0f%%, discretize %.0f%%, search %.0f%%, "
      "merge %.0f%%, order %.0f%%, format %.0f%%, write+flush %.0f%%\n",
      label, total, share(s.read), share(s.intake), share(s.discretize), share(s.search),
      share(s.merge), share(s.order), share(s.format), share(s.write));
  std::printf(
      "    (s) read %.3f, intake %.3f, discretize %.3f, search %.3f, merge %.3f, order %.3f, "
      "format %.3f, write+flush %.3f\n",
      s.read, s.intake, s.discretize, s.search, s.merge, s.order, s.format, s.write);
}

// The whole build of each program, runs of every program and thread count interleaved.
void benchTable(const std::string& label, const std::string& file, int runs,
                const std::vector<std::string>& programs, const std::string& folder) {
  const TrainingTable table = intake(benchParameters(), readTextFile(file), NumberFormat{});
  std::printf("\n%s: %zu rows x %zu attributes\n", label.c_str(), table.rows(), table.columns());
  const std::size_t n = programs.size();
  std::vector<std::vector<double>> seconds(2 * n);
  std::vector<double> peak(2 * n, 0);
  for (int run = 0; run < runs; ++run) {
    for (const int threads : {1, 2}) {
      for (std::size_t p = 0; p < n; ++p) {
        double wall = 0;
        double megabytes = 0;
        if (!runLad(programs[p], file, folder + "/BENCH", threads, wall, megabytes)) {
          std::printf("  %s build, %d thread(s): failed\n", programs[p].c_str(), threads);
          return;
        }
        const std::size_t at = 2 * p + static_cast<std::size_t>(threads - 1);
        seconds[at].push_back(wall);
        peak[at] = std::max(peak[at], megabytes);
      }
    }
  }
  for (std::size_t p = 0; p < n; ++p) {
    const double one = median(seconds[2 * p]);
    const double two = median(seconds[2 * p + 1]);
    std::printf("  %s\n", programs[p].c_str());
    std::printf("    1 thread:  median %.2f s of %d, peak %.0f MB\n", one, runs, peak[2 * p]);
    std::printf("    2 threads: median %.2f s of %d, peak %.0f MB\n", two, runs, peak[2 * p + 1]);
    std::printf("    2 threads against 1: %.2fx faster\n", one / two);
    if (p > 0) {
      std::printf("    against %s: %.2fx the time on 1 thread, %.2fx on 2 threads\n",
                  programs[0].c_str(), one / median(seconds[0]), two / median(seconds[1]));
    }
  }
  std::uintmax_t bytes = 0;
  for (const char* extension : {".MOD", ".PAT", ".DES", ".GRD"}) {
    bytes += fs::file_size(folder + "/BENCH" + extension);
  }
  std::printf("  files: %.0f MB\n", static_cast<double>(bytes) / 1e6);
  for (const char* extension : {".MOD", ".PAT", ".DES", ".GRD"})
    fs::remove(folder + "/BENCH" + extension);
}

void benchSteps(const std::string& label, const std::string& file, const std::string& folder) {
  std::printf("\n%s, step by step in this process\n", label.c_str());
  // Not held to one core: the thread library's workers, started then, would stay there.
  printSteps("1 thread", timeSteps(file, folder, 1));
  printSteps("2 threads", timeSteps(file, folder, 2));
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  bool steps = true;
  bool builds = true;
  std::vector<std::string> tables;
  std::vector<std::string> programs;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--before") == 0 && i + 1 < argc) {
      programs.emplace_back(argv[++i]);
    } else if (std::strcmp(argv[i], "--no-steps") == 0) {
      steps = false;
    } else if (std::strcmp(argv[i], "--steps-only") == 0) {
      builds = false;
    } else {
      tables.emplace_back(argv[i]);
    }
  }
  if (tables.empty()) tables = {"sonar", "wdbc", "sonar4"};
  programs.emplace_back(LAD_EXECUTABLE);

  const fs::path folder =
      fs::temp_directory_path() / ("lad_whole_build_" + std::to_string(getpid()));
  fs::create_directories(folder);
  std::printf("lad build, degree 3, grid size 8, 0.9/0.05/0.1/0.05; medians of %d runs\n", runs);
  timeCores();
  // The table files by label: the fourfold table is written beside the files of the builds.
  std::vector<std::pair<std::string, std::string>> files;
  for (const std::string& table : tables) {
    if (table == "sonar") {
      files.emplace_back("sonar.train", LAD_BENCH_DATA "/sonar.train.csv");
    } else if (table == "wdbc") {
      files.emplace_back("wdbc.train", LAD_BENCH_DATA "/wdbc.train.csv");
    } else if (table == "sonar4") {
      const std::string file = (folder / "sonar4.csv").string();
      std::ofstream(file, std::ios::binary)
          << fourfoldTable(readTextFile(LAD_BENCH_DATA "/sonar.train.csv"));
      files.emplace_back("sonar.train x4", file);
    } else {
      std::printf("unknown table %s (sonar, wdbc, sonar4)\n", table.c_str());
    }
  }
  // Every whole build first: a child's peak memory counts what this process held when it was
  // forked, which stays small until the steps below have built models here.
  if (builds) {
    for (const auto& [label, file] : files) benchTable(label, file, runs, programs, folder.string());
  }
  if (steps) {
    for (const auto& [label, file] : files) benchSteps(label, file, folder.string());
  }
  fs::remove_all(folder);
  return 0;
}
