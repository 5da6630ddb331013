// A model as a self-contained scoring function in Python, C or SQL.
#pragma once

#include <string>

#include "PatternRules.h"
#include "TextSink.h"

enum class ExportLanguage { Python, C, Sql };

// "python", "c" or "sql"; raises LadError otherwise.
ExportLanguage exportLanguage(const std::string& name);

// Every export scores as the model does: the same comparisons with the same cutpoints (written
// so that they read back as exactly the model's values), then 0 + p/P - n/N in that order in
// double precision, so each score equals Apply Model's to the last bit.
//
// Python: a module with score(row), row mapping attribute names to numbers (or texts float()
// reads). C: double lad_score(const double *values), values in the model's attribute order;
// cHeader declares it, LAD_ATTRIBUTE_COUNT and lad_attribute_names. Compile it without
// -ffast-math (which may reorder or fuse the arithmetic). SQL: one expression over the table
// `observations` whose columns are the attributes (observations."Attr1", so that a missing
// column is an error), each value cast to a number whatever its column's type; NULL when an
// attribute it reads is NULL. Long chains of OR and + are nested in groups of 64.
//
// A model learned from a table with columns of categories (rules read with their categories,
// as rulesOfModel reads them beside a NAME.TBL) is exported by writeTableExport instead
// (TableExport.h): its code reads the table's own columns, a category as its text.
//
// Names reach the code only escaped (Python, C) or quoted and checked (SQL); comments show a
// control character as "?". `modelName` goes into the comments, `headerFile` (when not empty)
// into the C file's. Python and SQL refuse two used attributes of one name, Python a name that
// is not UTF-8, and SQL an empty name or one with a control character, before anything is
// written. The code goes to `out` piece by piece, so a model of millions of patterns is never
// held whole.
void writeExport(const ModelRules& rules, ExportLanguage language, const std::string& modelName,
                 const TextSink& out, const std::string& headerFile = "");

// The C header of writeExport's C file; `headerFile`, its file name, gives its include guard.
std::string cHeader(const ModelRules& rules, const std::string& modelName,
                    const std::string& headerFile = "lad_model.h");

// writeExport's code as one text.
std::string exportedCode(const ModelRules& rules, ExportLanguage language,
                         const std::string& modelName, const std::string& headerFile = "");
