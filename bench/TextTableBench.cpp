// Figures of reading a table file: readTextTable on a generated CSV of a million rows and
// 20 columns (quoted names and some quoted numbers, about 2% of the values empty), with its
// time and peak resident memory; and, for comparison, intake of the same size of table in the
// numeric Name,...,Class form it reads today.
//
//   lad_text_table_bench [ROWS]   (default 1000000)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "GeneratedTable.h"
#include "Intake.h"
#include "TableReading.h"
#include "TextTable.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAttributes = 18;  // with the name and the class, 20 columns

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The processor seconds this process has used, user and system: on a shared machine they say
// what a step costs better than the wall time does.
double processorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A line of /proc/self/status in megabytes ("VmRSS", "VmHWM"); -1 where it cannot be read.
double statusMegabytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::atof(line.c_str() + key.size() + 1) / 1024.0;
  }
  return -1;
}

// Makes the peak resident memory start again from what is resident now.
void resetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

// Name, 18 values and the class; the names and every third value quoted, 2% of the values
// empty, and every 50th name holding a separator and a doubled quote.
std::string quotedTable(int rows, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::uniform_int_distribution<int> percent(0, 99);
  std::string text = "\"Name\"";
  for (int k = 1; k <= kAttributes; ++k) text += ",\"A" + std::to_string(k) + "\"";
  text += ",\"Class\"\n";
  char number[32];
  for (int r = 0; r < rows; ++r) {
    text += r % 50 == 0 ? "\"Obs, \"\"" + std::to_string(r + 1) + "\"\"\""
                        : "\"Obs" + std::to_string(r + 1) + "\"";
    for (int k = 0; k < kAttributes; ++k) {
      text += ',';
      if (percent(random) < 2) continue;
      std::snprintf(number, sizeof number, "%.9g", value(random));
      if (k % 3 == 0) {
        text += '"';
        text += number;
        text += '"';
      } else {
        text += number;
      }
    }
    text += percent(random) < 50 ? ",1\n" : ",0\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
  {
    const std::string text = quotedTable(rows, 7);
    const double before = statusMegabytes("VmRSS");
    resetPeak();
    const Clock::time_point start = Clock::now();
    const double processorStart = processorSeconds();
    const TextTable table = readTextTable(text, "generated.csv");
    const double seconds = secondsSince(start);
    const double processor = processorSeconds() - processorStart;
    const double peak = statusMegabytes("VmHWM");
    std::size_t fieldBytes = 0;
    std::size_t empty = 0;
    for (std::size_t r = 0; r < table.rows(); ++r) {
      for (std::size_t c = 0; c < table.columns.size(); ++c) {
        fieldBytes += table.field(r, c).size();
        empty += table.field(r, c).empty() ? 1 : 0;
      }
    }
    std::printf(
        "readTextTable, %zu rows x %zu columns, %.1f MB of CSV (%.1f MB of field text, "
        "%.1f%% of fields empty):\n",
        table.rows(), table.columns.size(), static_cast<double>(text.size()) / 1048576.0,
        static_cast<double>(fieldBytes) / 1048576.0,
        100.0 * static_cast<double>(empty) /
            static_cast<double>(table.rows() * table.columns.size()));
    std::printf(
        "  %.2f s (%.2f s of processor, %.0f MB/s); resident before %.0f MB (the CSV text), "
        "peak %.0f MB, so the table took %.0f MB\n",
        seconds, processor, static_cast<double>(text.size()) / 1048576.0 / seconds, before, peak,
        peak - before);
  }
  {
    // The whole reading of the same text: the file, then numbers, missing values and classes.
    const std::string text = quotedTable(rows, 7);
    const double before = statusMegabytes("VmRSS");
    resetPeak();
    const Clock::time_point start = Clock::now();
    const double processorStart = processorSeconds();
    const ReadTable table = readTrainingTable(text, "generated.csv", {}, NumberFormat{});
    const double seconds = secondsSince(start);
    const double processor = processorSeconds() - processorStart;
    const double peak = statusMegabytes("VmHWM");
    std::printf("readTrainingTable (the file, its numbers, missing values and classes), %zu rows "
                "x %zu attributes:\n",
                table.values.size(), table.layout.attributeColumns.size());
    std::printf(
        "  %.2f s (%.2f s of processor, %.0f MB/s); resident before %.0f MB (the CSV text), "
        "peak %.0f MB, so the reading took %.0f MB at its peak\n",
        seconds, processor, static_cast<double>(text.size()) / 1048576.0 / seconds, before, peak,
        peak - before);
  }
  {
    const std::string text = generatedTable(rows, kAttributes, 7);
    const double before = statusMegabytes("VmRSS");
    resetPeak();
    const Clock::time_point start = Clock::now();
    const double processorStart = processorSeconds();
    const TrainingTable table = intake(LearningParameters{}, text, NumberFormat{});
    const double seconds = secondsSince(start);
    const double processor = processorSeconds() - processorStart;
    const double peak = statusMegabytes("VmHWM");
    std::printf(
        "intake (today's Name,...,Class form, numbers read), %zu rows x %zu attributes, "
        "%.1f MB of text:\n",
        table.rows(), table.columns(), static_cast<double>(text.size()) / 1048576.0);
    std::printf(
        "  %.2f s (%.2f s of processor, %.0f MB/s); resident before %.0f MB, peak %.0f MB, so "
        "intake took %.0f MB\n",
        seconds, processor, static_cast<double>(text.size()) / 1048576.0 / seconds, before, peak,
        peak - before);
  }
  return 0;
}
