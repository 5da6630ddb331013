// Pattern tables and explanations as text, CSV and JSON, for the command line and for copying.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Explanation.h"
#include "PatternTable.h"
#include "TextSink.h"

enum class PatternListFormat { Text, Csv, Json };

// The patterns `order` of the table, one per line (Text, CSV) or one object each in a JSON
// array. Columns: pattern, class, degree, positive, negative, prevalence, homogeneity, rule.
// Text aligns the columns and shows shares to 4 decimals after a line that counts patterns and
// rows; CSV gives shares in the number text form (empty when there is none) and quotes a field
// that holds a comma or a quote; JSON gives numbers as JSON numbers (null for no share) and
// each condition with its attribute and exact cutpoints.
void writePatternList(const PatternTable& table, const std::vector<std::int32_t>& order,
                      PatternListFormat format, const TextSink& out);

// A share to 4 decimals in the number text form, for reading in a column; "-" for none.
std::string shareForReading(const std::optional<double>& share, const NumberFormat& format);

// "Obs1 (line 2, class 1)": the observation's name, line and class field.
std::string observationTitle(const ObservationTable& table, std::size_t row);

// The explanation of an observation as lines of text: the score and how it is counted, the
// patterns for and against with their shares, then the near misses with the condition each
// fails, the value, the change that would satisfy it and the score then. `title` names the
// observation ("Obs1 (line 2, class 1)").
std::vector<std::string> explanationText(const ModelRules& rules, const Explanation& explanation,
                                         const std::string& title);
