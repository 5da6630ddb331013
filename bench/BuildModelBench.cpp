// buildModel on seeded generated tables of several shapes. Prints the time per build and the
// two pattern counts of each shape.
#include <benchmark/benchmark.h>

#include <string>

#include "GeneratedTable.h"
#include "Intake.h"
#include "ModelBuilding.h"
#include "NumberText.h"
#include "SampleTable.h"

namespace {

void buildModelOn(benchmark::State& state, const std::string& table, std::int32_t grid,
                  std::int32_t degree) {
  LearningParameters parameters;
  parameters.gridSize = grid;
  parameters.degree = degree;
  std::int32_t positive = 0;
  std::int32_t negative = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const TrainingTable training = intake(parameters, table, NumberFormat{});
    state.ResumeTiming();
    const Model model = buildModel(training, parameters);
    positive = model.positive().size();
    negative = model.negative().size();
  }
  state.counters["positive"] = positive;
  state.counters["negative"] = negative;
}

}  // namespace

BENCHMARK_CAPTURE(buildModelOn, sample_g8_d2, sampleTable(), 8, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(buildModelOn, rows200_attrs30_g8_d2, generatedTable(200, 30, 1), 8, 2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(buildModelOn, rows200_attrs30_g8_d3, generatedTable(200, 30, 2), 8, 3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(buildModelOn, rows1000_attrs10_g8_d3, generatedTable(1000, 10, 3), 8, 3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

BENCHMARK_MAIN();
