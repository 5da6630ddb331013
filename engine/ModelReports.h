// The reports beside a model file: NAME.PAT (which observation satisfies which pattern),
// NAME.DES (the pattern descriptions) and NAME.GRD (the table's bins). The caller commits each
// writer, so that the files can be replaced as a set.
#pragma once

#include "LineFile.h"
#include "Model.h"
#include "TrainingTable.h"

// A header of "Pattern", "P1".."Pp", "N1".."Nn", then per observation its name and a 0/1 field
// per pattern.
void writePatternSpace(const Model& model, const TrainingTable& table, LineFileWriter& out);
// A header of the attribute line, then per pattern its number ("P1", "N1") and description.
void writeDescriptions(const Model& model, LineFileWriter& out);
// A header of the attribute line, then per observation its name and the bin of each value.
void writeDiscretizedTable(const Model& model, const TrainingTable& table, LineFileWriter& out);
