// What an evaluation counts an undecided observation (score exactly 0) as: wrong, a forecast of
// class 1 or 0, or a forecast of the larger class of the table the model learned from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Evaluation.h"
#include "TableReading.h"

enum class UndecidedRule { LargerClass, Wrong, ClassOne, ClassZero };

// How many observations of class 1 and of class 0 a table holds.
struct ClassCounts {
  std::int64_t positives = 0;
  std::int64_t negatives = 0;
};

// The classes of a table text, read as Build Model reads it (a table it refuses raises).
ClassCounts tableClassCounts(const std::string& tableText, const NumberFormat& format);

// The classes of a table text read as a build reads it with these reading options (its
// positive class counted as 1); nothing for a table of several classes that learns one model
// per class. A table it refuses raises, naming `source`.
std::optional<ClassCounts> tableClassCounts(const std::string& tableText, const std::string& source,
                                            const ReadingOptions& reading,
                                            const NumberFormat& format);

// The class the rule counts undecided observations as (decideUndecided), or kOtherClass when
// they stay wrong: always for Wrong, and for LargerClass when the training table is not known
// (nullptr) or holds as many of each class.
std::int32_t undecidedClass(UndecidedRule rule, const ClassCounts* training);

// The sentence that says what the rule decided: "4 undecided rows counted as class 0." or ""
// when the rule decided nothing.
std::string undecidedSentence(const Metrics& metrics);
