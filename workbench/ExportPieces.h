// The pieces that every exported scoring function is made of: the attributes the patterns
// use, the comparisons of a condition, the score's sum, comments and SQL's nested chains.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PatternRules.h"
#include "TextSink.h"

// The attributes the patterns read, ascending.
std::vector<std::size_t> usedAttributes(const ModelRules& rules);

std::string joined(const std::vector<std::string>& parts, const std::string& separator);

// "P1: Attr1 < 0.5" for a comment; `dotted` writes numbers with "." whatever the user's
// separator.
std::string patternComment(const ModelRules& dotted, std::int32_t j);

// The comparisons of a condition: value >= lower cutpoint, value < upper cutpoint.
std::vector<std::string> comparisons(const ModelRules& rules, const Condition& c,
                                     const std::string& value, std::string (*literal)(double));

// "3 positive and 4 negative patterns on 5 attributes".
std::string countsText(const ModelRules& rules);

// The score as the model counts it: 0 + p/P - n/N, a side without patterns left out.
std::string scoreExpression(const ModelRules& rules, const std::string& p, const std::string& n,
                            const std::string& pTotal, const std::string& nTotal);

// A column of the table the SQL export reads, named with the table: SQLite reads an unknown
// name in double quotes alone as a text, so a missing column would give a wrong score instead
// of an error.
std::string sqlColumn(const std::string& name);

// Items from..to-1 joined by `joiner` in groups of at most 64, nested in parentheses: a long
// flat chain is an expression as deep as it is long, beyond what SQL engines allow (SQLite:
// a depth of 1000).
void writeSqlChain(std::int64_t from, std::int64_t to, const std::string& joiner,
                   const std::string& indent, const TextSink& out,
                   const std::function<void(std::int64_t)>& item);

// The score's sums in SQL, after "0.0": "+ CAST((term + ...) AS DOUBLE PRECISION) / P" and
// the same with "-" for the negative side, each pattern's term given by `term`.
void writeSqlSides(const ModelRules& rules, const std::string& indent, const TextSink& out,
                   const std::function<std::string(std::int32_t)>& term);
