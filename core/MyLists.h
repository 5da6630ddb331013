// The three keyed lists: text to text, text to object, integer to real.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "KeyOrder.h"
#include "KeyedList.h"
#include "MyTypes.h"

// A list of text pairs: the fields of a line, the lines of a file, or a dictionary.
class TSSList : public KeyedList<std::string, std::string, KeyLess> {
 public:
  std::string delimiter = ",";

  std::string get(const std::string& key) const;

  // Replaces the content by the fields of s, cut at every delimiter; k delimiters give
  // k+1 fields, empty ones included. A delimiter of more than one character is cut as by
  // parse_old.
  void parse(const std::string& s);
  // Cuts at the whole delimiter text: an empty s gives no field, a trailing delimiter no
  // empty last field.
  void parse_old(const std::string& s);
  // Fields as by parse_old, each split into key and value at sep.
  void parse2(const std::string& s, const std::string& sep);

  std::string tostr() const;
  std::string tostr2(const std::string& sep) const;

  // Ascending by value; sorted becomes false.
  void heapSortValues();
  // In every key, every occurrence of u replaced by v; a sorted list is sorted again.
  void replace(const std::string& u, const std::string& v);

  // Replaces the content by the lines of a line file (LF or CR LF ends).
  void LoadFromFile(const std::string& filename);
  // Writes the keys as a line file (CR LF ends) by the safe save.
  void SaveToFile(const std::string& filename) const;
};

// A list of objects by text key. The list never releases what its values point to.
template <class T>
class TSOListT : public KeyedList<std::string, T*, KeyLess> {
  using Base = KeyedList<std::string, T*, KeyLess>;

 public:
  std::string delimiter = ",";

  T* get(const std::string& key) const {
    const std::int32_t i = this->find(key, true);
    return i < 0 ? nullptr : this->vals[static_cast<std::size_t>(i)];
  }
  // Inserts the pair as entry position+1 (-1 puts it first), whatever sorted says.
  void insert(const std::string& key, std::int32_t position, T* x) {
    this->insertAfter(position, key, x);
  }
  // Keys joined by the delimiter, which is left out while the text is still empty.
  std::string tostr() const {
    std::string out;
    for (const std::string& key : this->keys) {
      if (!out.empty()) out += delimiter;
      out += key;
    }
    return out;
  }
};
using TSOList = TSOListT<void>;

// A list of reals by integer key, used to sort an attribute's values.
class TIRList : public KeyedList<std::int32_t, double, std::less<std::int32_t>> {
 public:
  // The value of key, or not-a-number when absent.
  double get(std::int32_t key) const;
  // Ascending by value (not-a-number compares equal to everything); sorted becomes false.
  void heapSortValues();
  // Values, in ascending order, replaced by their dense ranks divided by the last rank.
  void ranking();
  // Values replaced by the bucket numbers 0..grid-1 of equal-count runs, then sorted by key.
  void bucketize(std::int32_t grid);
};
