#include "TextTable.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "ArffTableReader.h"
#include "CsvTableReader.h"
#include "LadError.h"
#include "TextTablePlace.h"

std::string_view TextTable::field(std::size_t r, std::size_t c) const {
  if (r >= lines_.size() || c >= columns.size()) throw ERangeError();
  const std::size_t at = r * columns.size() + c;
  const std::size_t begin = c == 0 ? 0 : ends_[at - 1];
  return std::string_view(text_).substr(rowStarts_[r] + begin, ends_[at] - begin);
}

std::size_t TextTable::line(std::size_t r) const {
  if (r >= lines_.size()) throw ERangeError();
  return lines_[r];
}

void TextTable::addRow(const std::vector<std::string_view>& fields, std::size_t line) {
  for (const std::string_view field : fields) {
    appendToField(field);
    endField();
  }
  endRow(line);
}

void TextTable::endField() {
  // A row too long for four-byte ends is refused by endRow, before it is kept.
  ends_.push_back(static_cast<std::uint32_t>(text_.size() - pendingStart_));
  ++pendingFields_;
}

void TextTable::endRow(std::size_t line) {
  if (pendingFields_ != columns.size()) {
    throw LadError("Line " + std::to_string(line) + ": a row of " + std::to_string(pendingFields_) +
                   " fields was given for " + std::to_string(columns.size()) + " columns");
  }
  if (text_.size() - pendingStart_ > std::numeric_limits<std::uint32_t>::max()) {
    throw LadError("Line " + std::to_string(line) +
                   ": the row holds 4 GB of text or more; a row must be shorter");
  }
  rowStarts_.push_back(pendingStart_);
  lines_.push_back(line);
  pendingStart_ = text_.size();
  pendingFields_ = 0;
}

void TextTable::reserve(std::size_t rows, std::size_t textBytes) {
  // A row needs at least one byte of the file, so no file asks for more fields than this.
  const std::size_t fieldsAtMost = textBytes + 1;
  const std::size_t columnCount = columns.empty() ? 1 : columns.size();
  const std::size_t fields = rows > fieldsAtMost / columnCount ? fieldsAtMost : rows * columnCount;
  text_.reserve(textBytes);
  ends_.reserve(fields);
  rowStarts_.reserve(rows);
  lines_.reserve(rows);
}

bool looksLikeArff(std::string_view text) {
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) {
      line.remove_prefix(1);
    }
    if (line.empty() || line.front() == '%') continue;
    constexpr std::string_view kRelation = "@relation";
    if (line.size() < kRelation.size()) return false;
    for (std::size_t i = 0; i < kRelation.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(line[i])) != kRelation[i]) return false;
    }
    return line.size() == kRelation.size() ||
           std::isspace(static_cast<unsigned char>(line[kRelation.size()]));
  }
  return false;
}

TextTable readTextTable(std::string_view text, const std::string& source,
                        const TextTableOptions& options) {
  if (looksLikeArff(text)) return readArffTable(text, source);
  return readCsvTable(text, source, options.separator);
}
