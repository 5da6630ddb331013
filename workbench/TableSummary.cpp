#include "TableSummary.h"

#include <algorithm>
#include <cmath>

#include "Evaluation.h"
#include "LadError.h"

std::vector<std::string_view> commaFields(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while (true) {
    const std::size_t comma = line.find(',', at);
    if (comma == std::string_view::npos) {
      fields.push_back(line.substr(at));
      return fields;
    }
    fields.push_back(line.substr(at, comma - at));
    at = comma + 1;
  }
}

TableLines::TableLines(std::string text) : text_(std::move(text)) {
  bool headerRead = false;
  std::size_t at = 0;
  std::size_t lineNumber = 0;
  while (at < text_.size()) {
    std::size_t end = text_.find('\n', at);
    if (end == std::string::npos) end = text_.size();
    ++lineNumber;
    std::string_view line(text_.data() + at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!headerRead) {
      for (const std::string_view field : commaFields(line)) header_.emplace_back(field);
      headerRead = true;
    } else if (!line.empty()) {
      starts_.push_back(at);
      ends_.push_back(at + line.size());
      lineNumbers_.push_back(lineNumber);
    }
    at = end + 1;
  }
}

std::vector<std::string_view> TableLines::fields(std::size_t row) const {
  return commaFields(std::string_view(text_.data() + starts_[row], ends_[row] - starts_[row]));
}

namespace {

// Calls take(row, attribute, value) for every field that reads as a number, and counts the
// others in the summary when `count` is set.
template <class Take>
void forEachValue(const TableLines& table, const NumberFormat& format, TableSummary& summary,
                  bool count, Take take) {
  const std::size_t attributes = summary.attributes.size();
  for (std::size_t r = 0; r < table.rows(); ++r) {
    const std::vector<std::string_view> fields = table.fields(r);
    const std::size_t m = fields.size();
    for (std::size_t a = 0; a < attributes; ++a) {
      AttributeSummary& s = summary.attributes[a];
      // Build Model reads fields 1 .. m-2 of a line as its attributes; the rest are missing.
      if (m < 2 || a + 1 > m - 2 || fields[a + 1].empty() || fields[a + 1] == "?") {
        if (count) ++s.missing;
        continue;
      }
      double v = 0;
      try {
        v = numberFromText(fields[a + 1], format);
      } catch (const EConvertError&) {
        v = NAN;
      }
      if (!std::isfinite(v)) {
        if (count) ++s.notNumbers;
        continue;
      }
      take(r, a, v);
    }
  }
}

}  // namespace

TableSummary summarizeTable(const TableLines& table, const NumberFormat& format, int bins) {
  TableSummary summary;
  const std::vector<std::string>& header = table.header();
  const std::size_t attributes = header.size() >= 2 ? header.size() - 2 : 0;
  summary.attributes.resize(attributes);
  for (std::size_t a = 0; a < attributes; ++a) summary.attributes[a].name = header[a + 1];
  summary.rows = static_cast<std::int64_t>(table.rows());
  std::vector<std::int32_t> classes(table.rows(), kOtherClass);
  for (std::size_t r = 0; r < table.rows(); ++r) {
    const std::vector<std::string_view> fields = table.fields(r);
    const std::int32_t cls =
        fields.size() >= 2 ? evaluationClass(std::string(fields.back()), format) : kOtherClass;
    classes[r] = cls;
    (cls == 1 ? summary.positives : cls == 0 ? summary.negatives : summary.others) += 1;
  }
  // The text is read twice, for the range and then for the bins, rather than every value kept.
  std::vector<double> sums(attributes, 0.0);
  forEachValue(table, format, summary, true, [&](std::size_t, std::size_t a, double v) {
    AttributeSummary& s = summary.attributes[a];
    ++s.values;
    sums[a] += v;
    s.minimum = s.values == 1 ? v : std::min(s.minimum, v);
    s.maximum = s.values == 1 ? v : std::max(s.maximum, v);
  });
  const auto n = static_cast<std::size_t>(std::max(bins, 1));
  for (std::size_t a = 0; a < attributes; ++a) {
    AttributeSummary& s = summary.attributes[a];
    s.positive.assign(n, 0);
    s.negative.assign(n, 0);
    s.other.assign(n, 0);
    if (s.values > 0) s.mean = sums[a] / static_cast<double>(s.values);
  }
  forEachValue(table, format, summary, false, [&](std::size_t r, std::size_t a, double v) {
    AttributeSummary& s = summary.attributes[a];
    const double width = s.maximum - s.minimum;
    std::size_t bin = 0;
    if (width > 0) {
      bin = std::min(n - 1,
                     static_cast<std::size_t>((v - s.minimum) / width * static_cast<double>(n)));
    }
    (classes[r] == 1 ? s.positive : classes[r] == 0 ? s.negative : s.other)[bin] += 1;
  });
  return summary;
}
