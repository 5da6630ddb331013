// The reports beside a model file: NAME.PAT (which observation satisfies which pattern),
// NAME.DES (the pattern descriptions) and NAME.GRD (the table's bins). The caller commits each
// writer, so that the files can be replaced as a set.
#pragma once

#include "LineFile.h"
#include "Model.h"
#include "TrainingTable.h"

// A header of "Pattern", "P1".."Pp", "N1".."Nn", then per observation its name and a 0/1 field
// per pattern. The rows are formatted on the caller's threads, in pieces of about
// segmentBytes (whole multiples of 128), and written in order.
constexpr std::size_t kPatternSpaceSegment = std::size_t{1} << 19;
void writePatternSpace(const Model& model, const TrainingTable& table, LineFileWriter& out,
                       std::size_t segmentBytes = kPatternSpaceSegment);
// A header of the attribute line, then per pattern its number ("P1", "N1") and description.
void writeDescriptions(const Model& model, LineFileWriter& out);
// A header of the attribute line, then per observation its name and the bin of each value.
void writeDiscretizedTable(const Model& model, const TrainingTable& table, LineFileWriter& out);
