// The export of a model learned from a table with columns of categories: the code reads the
// table's own columns, a category as its text and a missing value as the language has it,
// so that nobody has to turn a column of categories into the model's 0/1 attributes by hand.
#pragma once

#include <string>

#include "ModelExport.h"

// writeExport's code for rules with categories (ModelRules::hasCategories). Each gives Apply
// Model's score of the row as the table holds it: a condition on a category's attribute
// "colour=red" compares the text (colour = red, or colour ≠ red); a value never seen in
// training meets none of the column's "=" conditions; a missing value meets no condition.
// Refuses, before anything is written: two attributes read from one column in two ways, an
// attribute whose name is not its column and value (a layout of another model), and what the
// language cannot hold (as writeExport refuses names; in C and SQL a category value or
// missing-value text with a NUL, in SQL one with any control character).
void writeTableExport(const ModelRules& rules, ExportLanguage language,
                      const std::string& modelName, const TextSink& out,
                      const std::string& headerFile);

// The C header of writeTableExport's C file, with the include guard `guard`.
std::string tableCHeader(const ModelRules& rules, const std::string& modelName,
                         const std::string& guard);
