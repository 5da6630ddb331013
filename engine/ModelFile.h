// NAME.MOD: the attribute names, the cut points and both sides' patterns, one per line.
#pragma once

#include <string>

#include "LineFile.h"
#include "Model.h"

// Writes the model file; the caller commits (so that several files can be replaced as a set).
void writeModelFile(const Model& model, LineFileWriter& out);

// Reads a model file written by writeModelFile, numbers in `format`. A damaged, foreign or
// cut-short file is refused with its name, line and what is wrong (LadError, EConvertError,
// or EInOutError when it cannot be read).
Model readModelFile(const std::string& filename, const NumberFormat& format);
