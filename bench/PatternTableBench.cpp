// Figures of the readable side of a model of about 1.8 million patterns (sonar, degree 3):
// reading the model, the statistics of every pattern on the table, each sort, the rule texts
// and covered rows of a screenful of patterns, and explanations, each on 1 thread and on
// every core.
//
//   lad_pattern_bench [FOLDER]
//
// The model is built into FOLDER (default: a temporary folder, removed afterwards) unless
// FOLDER/S.MOD is already there.
#include <oneapi/tbb/global_control.h>
#include <oneapi/tbb/info.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "BuildModel.h"
#include "Explanation.h"
#include "PatternTable.h"
#include "TextFile.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void figures(const ModelRules& rules, const std::string& tableText, int threads) {
  tbb::global_control limit(tbb::global_control::max_allowed_parallelism,
                            static_cast<std::size_t>(threads));
  std::printf("-- %d thread(s)\n", threads);
  auto start = Clock::now();
  const PatternTable table(rules, ObservationTable::read(tableText, NumberFormat{}));
  std::printf("statistics of %d patterns on %zu rows: %.3f s\n", table.size(), table.table().rows(),
              secondsSince(start));
  for (const auto& [name, key] : {std::pair{"prevalence", PatternSortKey::Prevalence},
                                  std::pair{"homogeneity", PatternSortKey::Homogeneity},
                                  std::pair{"coverage", PatternSortKey::Coverage},
                                  std::pair{"degree", PatternSortKey::Degree}}) {
    start = Clock::now();
    const std::vector<std::int32_t> order = table.sortedOrder(key);
    std::printf("sort by %-11s: %.3f s\n", name, secondsSince(start));
  }
  start = Clock::now();
  std::size_t characters = 0;
  for (std::int32_t j = 0; j < 1000; ++j)
    characters += table.rule(j * (table.size() / 1000)).size();
  std::printf("rule texts of 1000 patterns: %.2f ms (%zu characters)\n", 1e3 * secondsSince(start),
              characters);
  start = Clock::now();
  std::size_t covered = 0;
  for (std::int32_t j = 0; j < 1000; ++j)
    covered += table.coveredRows(j * (table.size() / 1000)).size();
  std::printf("covered rows of 1000 patterns: %.2f ms (%zu rows)\n", 1e3 * secondsSince(start),
              covered);
  start = Clock::now();
  std::size_t misses = 0;
  for (std::size_t r = 0; r < 10; ++r)
    misses += explainObservation(rules, table.table().values(r)).nearMisses.size();
  std::printf("explanations of 10 rows: %.3f s each (%zu near misses)\n", secondsSince(start) / 10,
              misses);
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const bool temporary = argc < 2;
  const fs::path folder =
      temporary ? fs::temp_directory_path() / "lad_pattern_bench" : fs::path(argv[1]);
  fs::create_directories(folder);
  const std::string name = (folder / "S").string();
  const std::string tableText = readTextFile(LAD_BENCH_DATA "/sonar.csv");
  if (!fs::exists(name + ".MOD")) {
    std::printf("building the sonar model at degree 3 into %s ...\n", folder.string().c_str());
    const BuildOptions options;
    runBuildModel({8, 3, 0.9, 0.05, 0.1, 0.05}, tableText, name, nullptr, options);
  }
  const auto start = Clock::now();
  const ModelRules rules(loadModel(name, NumberFormat{}), NumberFormat{});
  std::printf("reading the model (%d patterns): %.2f s\n", rules.size(), secondsSince(start));
  figures(rules, tableText, 1);
  figures(rules, tableText, tbb::info::default_concurrency());
  if (temporary) fs::remove_all(folder);
  return 0;
}
