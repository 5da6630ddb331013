// Where the command line takes its table from.
#pragma once

#include <string>

#include "NumberText.h"

// The help of every command's TABLE argument.
inline constexpr const char* kTableHelp =
    "data table file (default: the sample table; - for stdin)";

// The text of TABLE: the built-in sample table when TABLE is empty, standard input for "-",
// otherwise the file.
std::string readTable(const std::string& table);

// The number format of LC_NUMERIC, for every number the commands read and write.
NumberFormat localeNumberFormat();
