// Figures of the pattern search on real tables: the literal walk against the fast search, the
// fast search on one thread and on every core, and the wall time and peak memory of a whole
// `lad build` run as its own process.
//
//   lad_search_bench [--quick]
//
// Each table is built at degree 3, grid size 8, homogeneity/prevalence 0.9/0.05/0.1/0.05.
// The literal walk is timed on every 25th subset (every 100th with --quick), and the fast
// search on the same subsets, since the whole literal search takes minutes.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BuildModel.h"
#include "Intake.h"
#include "ModelBuilding.h"
#include "SearchData.h"
#include "SubsetSearch.h"
#include "SubsetSweep.h"
#include "TextFile.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Grid size, degree, then homogeneity and prevalence of each side.
LearningParameters benchParameters() {
  return {8, 3, 0.9, 0.05, 0.1, 0.05};
}

// The table's bins over its equal-frequency grid, ready for the search.
SearchData discretized(const TrainingTable& table) {
  const CutpointGrid grid =
      CutpointGrid::equalFrequency(table.values(), table.columns(), benchParameters().gridSize);
  return SearchData(table, grid, benchParameters());
}

// Seconds of the whole search of every subset, with the merge into pattern sets left out.
double wholeSearch(const SearchData& data, std::int32_t attributes, int threads,
                   std::int64_t& boxes) {
  BuildControl control;
  control.threads = threads;
  boxes = 0;
  const auto start = Clock::now();
  runWithThreads(threads, [&] {
    searchEverySubset(
        data, attributes, 3, control, [&](const arrint&, const SubsetPatterns& found) {
          boxes +=
              static_cast<std::int64_t>(found.count(found.positive) + found.count(found.negative));
        });
  });
  return secondsSince(start);
}

// Seconds of buildModel (search and pattern sets, in memory).
double wholeBuild(const std::string& table, int threads) {
  const TrainingTable training = intake(benchParameters(), table, NumberFormat{});
  BuildControl control;
  control.threads = threads;
  const auto start = Clock::now();
  buildModel(training, benchParameters(), control);
  return secondsSince(start);
}

// Wall seconds and peak resident megabytes of `lad build` as a child process.
bool runLad(const std::string& table, const std::string& folder, int threads, double& seconds,
            double& megabytes) {
  const std::vector<std::string> args = {LAD_EXECUTABLE,
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
                                         folder + "/BENCH"};
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

void benchTable(const std::string& name, const std::string& file, int stride, int cores) {
  const std::string table = readTextFile(file);
  const TrainingTable training = intake(benchParameters(), table, NumberFormat{});
  const SearchData data = discretized(training);
  const auto attributes = static_cast<std::int32_t>(data.sizes.size());
  std::printf("\n%s: %zu rows x %d attributes, %lld subsets of 3\n", name.c_str(),
              training.rows(), attributes, static_cast<long long>(subsetCount(attributes, 3)));

  // The literal walk and the fast search on the same sample of subsets.
  std::vector<arrint> sample;
  arrint map = subsetAt(attributes, 3, 0);
  std::int64_t i = 0;
  do {
    if (i++ % stride == 0) sample.push_back(map);
  } while (nextSubset(attributes, map));
  SubsetPatterns found;
  auto start = Clock::now();
  for (const arrint& map : sample) literalSearchSubset(data, map, found);
  const double literal = secondsSince(start);
  SearchScratch scratch;
  start = Clock::now();
  for (int repeat = 0; repeat < 10; ++repeat) {
    for (const arrint& map : sample) searchSubset(data, map, scratch, found);
  }
  const double fast = secondsSince(start) / 10;
  std::printf("  every %dth subset (%zu): literal walk %.3f s, fast search %.4f s: %.0fx\n", stride,
              sample.size(), literal, fast, literal / fast);
  std::printf("  cost per subset: literal %.1f ms, fast %.3f ms\n",
              1e3 * literal / static_cast<double>(sample.size()),
              1e3 * fast / static_cast<double>(sample.size()));

  std::int64_t boxes = 0;
  const double one = wholeSearch(data, attributes, 1, boxes);
  const double all = wholeSearch(data, attributes, cores, boxes);
  std::printf("  whole search (%lld boxes): 1 thread %.2f s, %d threads %.2f s: %.2fx\n",
              static_cast<long long>(boxes), one, cores, all, one / all);
  const double buildOne = wholeBuild(table, 1);
  const double buildAll = wholeBuild(table, cores);
  std::printf("  buildModel with pattern sets: 1 thread %.2f s, %d threads %.2f s: %.2fx\n", buildOne,
              cores, buildAll, buildOne / buildAll);

  const std::string folder =
      (std::filesystem::temp_directory_path() / ("lad_bench_" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(folder);
  for (const int threads : {1, cores}) {
    double seconds = 0;
    double megabytes = 0;
    if (runLad(file, folder, threads, seconds, megabytes)) {
      std::printf("  lad build, %d thread(s): %.2f s, peak memory %.0f MB\n", threads, seconds,
                  megabytes);
    } else {
      std::printf("  lad build, %d thread(s): failed\n", threads);
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const int cores = static_cast<int>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
  std::printf("degree 3, grid size 8, 0.9/0.05/0.1/0.05, %d cores\n", cores);
  benchTable("wdbc", LAD_BENCH_DATA "/wdbc.csv", quick ? 100 : 25, cores);
  benchTable("sonar", LAD_BENCH_DATA "/sonar.csv", quick ? 100 : 25, cores);
  return 0;
}
