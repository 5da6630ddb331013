// Reading an ARFF text (dense data) into a TextTable.
#pragma once

#include <string>
#include <string_view>

#include "TextTable.h"

// Reads the text as ARFF: @relation, one @attribute line per column, @data and the rows, with
// `%` comment lines and blank lines anywhere. Refusals are LadErrors that begin with `source`;
// see readTextTable.
TextTable readArffTable(std::string_view text, const std::string& source);
