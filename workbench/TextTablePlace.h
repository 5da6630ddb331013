// What the table readers share: where a reader is in its text, as its messages say it
// ("table.csv, line 7, column 12"), and the byte-order mark some writers put first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The UTF-8 byte-order mark that Excel writes at the start of a CSV file; the readers skip it.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// "SOURCE, line L".
std::string placeOfLine(const std::string& source, std::size_t line);

// "SOURCE, line L, column C", where C counts the characters (UTF-8 sequences, not bytes) of
// the line up to `position` from 1; lineStart and position are offsets into text.
std::string placeInLine(const std::string& source, std::size_t line, std::string_view text,
                        std::size_t lineStart, std::size_t position);

// "1 field", "4 fields": a count with its noun.
std::string countOf(std::size_t count, const std::string& noun);
