// The data table text taken as lines.
#pragma once

#include <string>
#include <vector>

// The pieces of the text between line breaks (LF or CR LF); when the text ends with a line
// break, the empty piece after it is not a line. An empty text has no line.
std::vector<std::string> tableLines(const std::string& text);

// Line i counted from 0, or the empty text when there is no such line.
const std::string& tableLine(const std::vector<std::string>& lines, std::size_t i);
