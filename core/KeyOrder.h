// Ordinal key order by UTF-16 code unit, on UTF-8 strings.
#pragma once

#include <string_view>

// Negative, zero or positive as a sorts before, equal to or after b. Equal to comparing the
// strings' UTF-16 code units one by one, a proper prefix first.
int compareKeys(std::string_view a, std::string_view b);

struct KeyLess {
  bool operator()(std::string_view a, std::string_view b) const { return compareKeys(a, b) < 0; }
};
