// The data table text taken as lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "NumberText.h"

// The pieces of the text between line breaks (LF or CR LF); when the text ends with a line
// break, the empty piece after it is not a line, and one empty line at the end is ignored
// (editors and scripts often leave one). An empty text has no line.
std::vector<std::string> tableLines(const std::string& text);

// Raises "The data table is empty" when there is no line.
void requireLines(const std::vector<std::string>& lines);

// A number of the table: field `column` (counted from 1, the name being column 1) of line
// lineNo. A failure says where: "Line 5, column 3: 'x' is not a valid floating point value".
double tableNumber(const std::string& field, std::size_t lineNo, std::size_t column,
                   const NumberFormat& format);

// Raises "Line L has M fields, but the header has H" for a line with more fields than the
// header.
void requireNoExtraFields(std::int32_t fields, std::int32_t headerFields, std::size_t lineNo);

// Line i counted from 0, or the empty text when there is no such line.
const std::string& tableLine(const std::vector<std::string>& lines, std::size_t i);
