// What the command-line programs print, the same way in each: warnings on standard error,
// the files of a build as each is put in place, and its pattern counts.
#pragma once

#include <string>

#include "BuildModel.h"

// "Warning: TEXT." on standard error.
void printWarning(const std::string& text);
// A model file's name on standard output, as a FileWritten callback.
void printFileWritten(ModelFileKind kind, const std::string& filename);
// "Positive Patterns Found: N" and "Negative Patterns Found: N".
void printPatternCounts(const PatternCounts& counts);
