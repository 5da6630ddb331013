// Ordinal key order by UTF-16 code unit, on UTF-8 strings.
#pragma once

#include <cstdint>
#include <string_view>

// Negative, zero or positive as a sorts before, equal to or after b. Equal to comparing the
// strings' UTF-16 code units one by one, a proper prefix first.
int compareKeys(std::string_view a, std::string_view b);

// A number that orders keys as compareKeys does wherever two numbers differ: a < b whenever
// keyOrderCode(a) < keyOrderCode(b); equal numbers say nothing. Sorting by it first leaves
// compareKeys, which reads the keys themselves, to the few pairs whose numbers are equal.
std::uint64_t keyOrderCode(std::string_view key);

struct KeyLess {
  bool operator()(std::string_view a, std::string_view b) const { return compareKeys(a, b) < 0; }
};
