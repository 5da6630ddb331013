// The two keyed lists of the engine: the fields of a line, and reals by integer key.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ArrayTypes.h"
#include "KeyOrder.h"
#include "KeyedList.h"

// The fields of a line as the keys of a list of text pairs (the values stay empty).
class TextList : public KeyedList<std::string, std::string, KeyLess> {
 public:
  std::string delimiter = ",";

  // Replaces the content by the fields of s, cut at every delimiter; k delimiters give
  // k+1 fields, empty ones included. A delimiter of more than one character is cut as by
  // parseWhole.
  void parse(const std::string& s);
  // Cuts at the whole delimiter text: an empty s gives no field, a trailing delimiter no
  // empty last field.
  void parseWhole(const std::string& s);
};

// A list of reals by integer key, used to sort an attribute's values.
class RealList : public KeyedList<std::int32_t, double, std::less<std::int32_t>> {
 public:
  // Ascending by value (not-a-number compares equal to everything); sorted becomes false.
  void heapSortValues();
};
