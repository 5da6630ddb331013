// Where the command line takes its table from.
#pragma once

#include <string>

// The text of TABLE: the built-in sample table when TABLE is empty, standard input for "-",
// otherwise the file.
std::string readTable(const std::string& table);

// Takes the decimal separator of LC_NUMERIC for every number the commands read and write.
void useLocaleDecimalSeparator();
