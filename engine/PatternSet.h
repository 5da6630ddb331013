// A pattern set: the patterns of one side of a model, each keyed by its description.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "LargePages.h"
#include "PatternBox.h"
#include "SpanArena.h"

// The patterns are held by value in flat arrays and the keys in one block of text, so that a
// model of millions of patterns costs little more than their coordinates and descriptions.
// Entries keep the order in which they were appended until sortByKey puts them in ascending
// key order (the order of every sorted list); entry numbers then follow that order.
class PatternSet {
 public:
  std::int32_t size() const { return static_cast<std::int32_t>(keyAt_.size()); }
  bool empty() const { return keyAt_.empty(); }
  std::string_view key(std::int32_t i) const;
  PatternView pattern(std::int32_t i) const;
  // Every key, in entry order.
  std::vector<std::string> keys() const;

  void append(std::string_view key, PatternView pattern);
  // Appends patterns in one go: pattern i has the key of lengths[i] bytes that follows the
  // earlier ones in keys, and the box at boxes[2 d which[i]] (lower then upper corner, d bins
  // each) over the attributes map. The same as appending them one by one, in fewer copies.
  void appendMany(std::string_view keys, std::span<const std::uint32_t> lengths,
                  std::span<const std::int32_t> boxes, std::span<const std::uint32_t> which,
                  std::span<const std::int32_t> map);
  // About how many bytes the pattern set holds.
  std::uint64_t bytes() const { return bytes_; }
  // Ascending key order. Keys must be distinct, which a built pattern set guarantees.
  void sortByKey();
  // Puts the entries in ascending key order when that order is known: entry i becomes what
  // entry order[i] was.
  void arrange(LargeVector<std::uint32_t> order);
  // Whether sortByKey or arrange has run since the last append.
  bool isSorted() const { return sorted_; }

 private:
  std::size_t slot(std::int32_t i) const {
    return order_.empty() ? static_cast<std::size_t>(i) : order_[static_cast<std::size_t>(i)];
  }

  // Raises LadError unless count more entries fit.
  void requireRoomFor(std::size_t count) const;
  // One more entry: its key and coordinates where the arenas put them.
  void addEntry(std::uint64_t keyAt, std::size_t keyLength, std::uint64_t coordAt, std::size_t d);

  std::string_view keyOfSlot(std::size_t s) const {
    const std::span<const char> text = keyText_.get(keyAt_[s], keyLength_[s]);
    return {text.data(), text.size()};
  }

  SpanArena<char> keyText_;
  LargeVector<std::uint64_t> keyAt_;
  LargeVector<std::uint32_t> keyLength_;
  SpanArena<std::int32_t> coords_;  // per pattern: a, b and map, each of its dimensions
  LargeVector<std::uint64_t> coordAt_;
  LargeVector<std::uint32_t> dims_;
  LargeVector<std::uint32_t> order_;  // entry i is slot order_[i]; empty: slot i
  std::vector<std::int32_t> scratch_;
  std::uint64_t bytes_ = 0;
  bool sorted_ = false;
};
