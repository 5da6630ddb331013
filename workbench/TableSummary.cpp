#include "TableSummary.h"

#include <algorithm>
#include <cmath>

#include "Evaluation.h"
#include "LadError.h"
#include "TableReading.h"
#include "TextTable.h"

namespace {

// The unit separator: what joins the fields of a table read by the file reading, whose fields
// may hold commas, quotes and line ends.
constexpr char kFieldJoint = '\x1f';

std::vector<std::string_view> fieldsAt(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while (true) {
    const std::size_t comma = line.find(separator, at);
    if (comma == std::string_view::npos) {
      fields.push_back(line.substr(at));
      return fields;
    }
    fields.push_back(line.substr(at, comma - at));
    at = comma + 1;
  }
}

}  // namespace

std::vector<std::string_view> commaFields(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return fieldsAt(line, ',');
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

TableLines::TableLines(const TextTable& table) : header_(table.columns), separator_(kFieldJoint) {
  for (std::size_t r = 0; r < table.rows(); ++r) {
    starts_.push_back(text_.size());
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      if (c > 0) text_ += kFieldJoint;
      const std::size_t at = text_.size();
      text_ += table.field(r, c);
      // A field that holds the joint itself shows it as a space rather than split there.
      std::replace(text_.begin() + static_cast<std::ptrdiff_t>(at), text_.end(), kFieldJoint, ' ');
    }
    ends_.push_back(text_.size());
    lineNumbers_.push_back(table.line(r));
  }
}

std::vector<std::string_view> TableLines::fields(std::size_t row) const {
  const std::string_view line(text_.data() + starts_[row], ends_[row] - starts_[row]);
  return separator_ == ',' ? commaFields(line) : fieldsAt(line, separator_);
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

namespace {

// The ranges, means and histograms by class of the summary's attributes. `each(count, take)`
// calls take(row, attribute, value) for every known value, counting the missing and other
// fields in the summary when `count` is set; it is called twice, for the range and then for
// the bins, rather than every value kept.
template <class EachValue>
void summarizeValues(TableSummary& summary, const std::vector<std::int32_t>& classes, int bins,
                     EachValue each) {
  const std::size_t attributes = summary.attributes.size();
  std::vector<double> sums(attributes, 0.0);
  each(true, [&](std::size_t, std::size_t a, double v) {
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
  each(false, [&](std::size_t r, std::size_t a, double v) {
    AttributeSummary& s = summary.attributes[a];
    const double width = s.maximum - s.minimum;
    std::size_t bin = 0;
    if (width > 0) {
      bin = std::min(n - 1,
                     static_cast<std::size_t>((v - s.minimum) / width * static_cast<double>(n)));
    }
    (classes[r] == 1 ? s.positive : classes[r] == 0 ? s.negative : s.other)[bin] += 1;
  });
}

void countClass(TableSummary& summary, std::int32_t cls) {
  (cls == 1 ? summary.positives : cls == 0 ? summary.negatives : summary.others) += 1;
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
    classes[r] =
        fields.size() >= 2 ? evaluationClass(std::string(fields.back()), format) : kOtherClass;
    countClass(summary, classes[r]);
  }
  summarizeValues(summary, classes, bins, [&](bool count, const auto& take) {
    forEachValue(table, format, summary, count, take);
  });
  return summary;
}

TableSummary summarizeTable(const ReadTable& table, int bins) {
  TableSummary summary;
  const std::vector<std::string> names = table.layout.attributeNames();
  summary.attributes.resize(names.size());
  for (std::size_t a = 0; a < names.size(); ++a) summary.attributes[a].name = names[a];
  summary.rows = static_cast<std::int64_t>(table.values.size());
  // Two classes: the positive one is class 1 and the other 0; with more, every row is of
  // another class, as a histogram by class then shows them together.
  const std::vector<std::string>& known = table.layout.classes;
  const bool twoClasses = known.size() == 2 && !table.layout.positive.empty();
  if (twoClasses) {
    summary.positiveClass = table.layout.positive;
    summary.negativeClass = known[0] == table.layout.positive ? known[1] : known[0];
  } else if (known.size() > 2) {
    summary.classes = known;
  }
  std::vector<std::int32_t> classes(table.values.size(), kOtherClass);
  for (std::size_t r = 0; r < table.values.size(); ++r) {
    const std::int32_t k = table.classIndex(r);
    if (twoClasses && k >= 0) {
      classes[r] = known[static_cast<std::size_t>(k)] == table.layout.positive ? 1 : 0;
    }
    countClass(summary, classes[r]);
  }
  summarizeValues(summary, classes, bins, [&](bool count, const auto& take) {
    for (std::size_t r = 0; r < table.values.size(); ++r) {
      for (std::size_t a = 0; a < names.size() && a < table.values[r].size(); ++a) {
        const double v = table.values[r][a];
        if (std::isnan(v)) {
          if (count) ++summary.attributes[a].missing;
          continue;
        }
        take(r, a, v);
      }
    }
  });
  return summary;
}
