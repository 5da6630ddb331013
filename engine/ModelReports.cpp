// NAME.PAT (who satisfies which pattern), NAME.DES (descriptions), NAME.GRD (the bins), each
// written line by line through the safe save.
#include "ModelReports.h"

#include <tbb/parallel_pipeline.h>
#include <tbb/task_arena.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include "NumberText.h"
#include "PatternCoverage.h"

namespace {

// ",0" or ",1" for each of the 8 bits of a byte, lowest bit first.
const std::array<std::array<char, 16>, 256>& bitTexts() {
  static const auto table = [] {
    std::array<std::array<char, 16>, 256> t{};
    for (std::size_t byte = 0; byte < 256; ++byte) {
      for (std::size_t bit = 0; bit < 8; ++bit) {
        t[byte][2 * bit] = ',';
        t[byte][2 * bit + 1] = ((byte >> bit) & 1u) != 0 ? '1' : '0';
      }
    }
    return t;
  }();
  return table;
}

// ",0" or ",1" for each of the patterns first..last (first a multiple of 64) of a row's bits,
// appended to text.
void formatCoverage(const std::uint64_t* bits, std::size_t first, std::size_t last,
                    std::string& text) {
  const auto& texts = bitTexts();
  const std::size_t start = text.size();
  text.resize(start + 2 * (last - first));
  char* at = text.data() + start;
  std::size_t j = first;
  for (; j + 8 <= last; j += 8, at += 16) {
    const auto byte = static_cast<std::size_t>((bits[j / 64] >> (j % 64)) & 0xffu);
    std::memcpy(at, texts[byte].data(), 16);
  }
  for (; j < last; ++j, at += 2) {
    at[0] = ',';
    at[1] = ((bits[j / 64] >> (j % 64)) & 1u) != 0 ? '1' : '0';
  }
}

// The rows whose coverage is found at a time.
constexpr std::size_t kCoverageRows = 64;

}  // namespace

void writePatternSpace(const Model& model, const TrainingTable& table, LineFileWriter& out,
                       std::size_t segmentBytes) {
  const std::span<const arrreal> rows(table.values());
  PatternCoverage coverage(model, rows, kCoverageRows);
  const std::size_t patterns = coverage.patterns();
  out.write("Pattern");
  for (std::int32_t j = 1; j <= model.positive().size(); ++j) out.write(",P" + integerText(j));
  for (std::int32_t j = 1; j <= model.negative().size(); ++j) out.write(",N" + integerText(j));
  out.endLine();

  // Which observation satisfies which pattern is found for a block of rows at a time, so that
  // only one block's bits are held (a bit per pattern and row: tens of megabytes per block
  // for a large model). A row holds two bytes per pattern, megabytes for a large model: rows
  // are cut into segments of whole words, formatted side by side on the caller's threads and
  // written in order, so that only a few segments are held at a time.
  const std::size_t words = (patterns + 63) / 64;
  const std::size_t wordsPerSegment = std::max<std::size_t>(1, segmentBytes / 128);
  const std::size_t segmentsPerRow =
      std::max<std::size_t>(1, (words + wordsPerSegment - 1) / wordsPerSegment);
  struct Segment {
    std::size_t row;
    std::size_t part;
    std::string text;
  };
  for (std::size_t first = 0; first < rows.size(); first += kCoverageRows) {
    const std::size_t count = std::min(kCoverageRows, rows.size() - first);
    coverage.cover(first, count);
    std::size_t next = 0;
    const std::size_t segments = count * segmentsPerRow;
    tbb::parallel_pipeline(
        static_cast<std::size_t>(2 * tbb::this_task_arena::max_concurrency()),
        tbb::make_filter<void, std::shared_ptr<Segment>>(
            tbb::filter_mode::serial_in_order,
            [&](tbb::flow_control& flow) -> std::shared_ptr<Segment> {
              if (next == segments) {
                flow.stop();
                return nullptr;
              }
              auto segment = std::make_shared<Segment>();
              segment->row = next / segmentsPerRow;
              segment->part = next % segmentsPerRow;
              ++next;
              return segment;
            }) &
            tbb::make_filter<std::shared_ptr<Segment>, std::shared_ptr<Segment>>(
                tbb::filter_mode::parallel,
                [&](std::shared_ptr<Segment> segment) {
                  const std::size_t from = segment->part * wordsPerSegment * 64;
                  const std::size_t to =
                      std::min(patterns, (segment->part + 1) * wordsPerSegment * 64);
                  std::string& text = segment->text;
                  if (segment->part == 0) text = observationName(first + segment->row);
                  formatCoverage(coverage.row(segment->row), from, to, text);
                  if (segment->part + 1 == segmentsPerRow) text += "\r\n";
                  return segment;
                }) &
            tbb::make_filter<std::shared_ptr<Segment>, void>(
                tbb::filter_mode::serial_in_order,
                [&](std::shared_ptr<Segment> segment) { out.write(segment->text); }));
  }
}

void writeDescriptions(const Model& model, LineFileWriter& out) {
  out.writeLine("," + model.attributeLine());
  std::string name;
  for (const auto& [side, letter] : {std::pair{&model.positive(), 'P'}, {&model.negative(), 'N'}}) {
    for (std::int32_t j = 0; j < side->size(); ++j) {
      name = letter;
      appendInteger(j + 1, name);
      out.write(name);
      out.writeLine(side->key(j));
    }
  }
}

void writeDiscretizedTable(const Model& model, const TrainingTable& table, LineFileWriter& out) {
  out.writeLine("," + model.attributeLine());
  const CutpointGrid& grid = model.grid();
  const std::size_t columns = table.columns();
  for (std::size_t r = 0; r < table.rows(); ++r) {
    out.write(observationName(r));
    for (std::size_t k = 0; k < columns; ++k) {
      // A missing value is in no bin.
      const double value = table.values()[r][k];
      out.write(std::isnan(value) ? ",?" : "," + integerText(grid.binOf(value, k)));
    }
    out.endLine();
  }
}
