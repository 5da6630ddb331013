// Keyed lists and text routines that only the tests use: text pairs with their joins, sorts
// and line files, reals ranked and bucketed, and lists of pointers by text key.
#pragma once

#include <cstdint>
#include <string>

#include "KeyedLists.h"

// A list of text pairs: the fields of a line, the lines of a file, or a dictionary.
class TextPairList : public TextList {
 public:
  std::string get(const std::string& key) const;

  // Fields as by parseWhole, each split into key and value at sep.
  void parsePairs(const std::string& s, const std::string& sep);
  std::string tostr() const;
  std::string joinPairs(const std::string& sep) const;

  // Ascending by value; sorted becomes false.
  void heapSortValues();
  // In every key, every occurrence of u replaced by v; a sorted list is sorted again.
  void replace(const std::string& u, const std::string& v);

  // Replaces the content by the lines of a line file (LF or CR LF ends).
  void loadLines(const std::string& filename);
  // Writes the keys as a line file (CR LF ends) by the safe save.
  void saveLines(const std::string& filename) const;
};

// Reals by integer key, with ranks and equal-count buckets.
class RankedList : public RealList {
 public:
  // The value of key, or not-a-number when absent.
  double get(std::int32_t key) const;
  // Values, in ascending order, replaced by their dense ranks divided by the last rank.
  void ranking();
  // Values replaced by the bucket numbers 0..grid-1 of equal-count runs, then sorted by key.
  void bucketize(std::int32_t grid);
};

// A list of objects by text key. The list never releases what its values point to.
template <class T>
class ObjectList : public KeyedList<std::string, T*, KeyLess> {
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

// The part of s before its first "="; the empty text when s holds no "=".
std::string textBeforeEquals(const std::string& s);

// Splits s at the first occurrence of sep into left and right; when sep does not occur
// (an empty sep never does), left and right keep their values.
void splitAtFirst(const std::string& s, const std::string& sep, std::string& left,
                  std::string& right);
