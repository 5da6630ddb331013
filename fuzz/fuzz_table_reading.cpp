// Fuzzes the table reading: a CSV or ARFF text read to learn from, with the first byte choosing
// whether the first column names the rows. A text is either refused with a LadError or read
// into rows of one value per attribute, every class known to the layout; the layout written
// and read back reads the same text into the same names, classes and values (a missing value
// stays missing), and each class's training table has the rows' classes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "LadError.h"
#include "TableReading.h"

namespace {

bool sameValue(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  ReadingOptions options;
  if (data[0] & 1) options.idColumn = "none";
  if (data[0] & 2) options.positive = "1";
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  ReadTable read;
  try {
    read = readTrainingTable(text, "fuzz.csv", options, NumberFormat{});
  } catch (const LadError&) {
    return 0;
  }
  const TableLayout& layout = read.layout;
  const std::size_t width = layout.attributeColumns.size();
  if (width == 0 || layout.attributeValues.size() != width) propertyFailed("no attributes");
  if (read.names.size() != read.values.size() || read.classFields.size() != read.values.size()) {
    propertyFailed("rows differ in count");
  }
  for (std::size_t r = 0; r < read.values.size(); ++r) {
    if (read.values[r].size() != width) propertyFailed("a row of another width");
    if (!read.classFields[r].empty() && read.classIndex(r) < 0) propertyFailed("unknown class");
  }
  const TableLayout again = TableLayout::fromText(layout.text(), "fuzz.TBL");
  if (again.text() != layout.text()) propertyFailed("the layout does not read back");
  ReadTable reread;
  try {
    reread = readTableAs(text, "fuzz.csv", again, NumberFormat{});
  } catch (const LadError& e) {
    propertyFailed(std::string("the layout does not read its own table: ") + e.what());
  }
  if (reread.values.size() != read.values.size()) propertyFailed("another row count");
  for (std::size_t r = 0; r < read.values.size(); ++r) {
    if (reread.names[r] != read.names[r] || reread.classFields[r] != read.classFields[r]) {
      propertyFailed("another name or class");
    }
    for (std::size_t k = 0; k < width; ++k) {
      if (!sameValue(reread.values[r][k], read.values[r][k])) propertyFailed("another value");
    }
  }
  for (std::size_t c = 0; c < layout.classes.size(); ++c) {
    const TrainingTable table = read.againstRest(c, NumberFormat{});
    for (std::size_t r = 0; r < table.rows(); ++r) {
      const std::int32_t expected = read.classIndex(r) < 0 ? -1 : read.classIndex(r) == static_cast<std::int32_t>(c) ? 1 : 0;
      if (table.classes()[r] != expected) propertyFailed("a class against the rest");
    }
  }
  return 0;
}
