// Reading a CSV text (RFC 4180) into a TextTable.
#pragma once

#include <string>
#include <string_view>

#include "TextTable.h"

// Reads the text as CSV: the first line that is not blank names the columns, every other line
// that is not blank is a row. `separator` is ',', ';' or '\t', or 0 to find it from the header
// line. Refusals are LadErrors that begin with `source`; see readTextTable.
TextTable readCsvTable(std::string_view text, const std::string& source, char separator);

// The separator the header line at `start` uses: of ',', ';' and tab, the one that occurs most
// often outside quotes (',' first and tab last on a tie); ',' when none occurs.
char findCsvSeparator(std::string_view text, std::size_t start);
