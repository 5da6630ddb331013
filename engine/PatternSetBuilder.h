// Gathers the patterns of every subset into a pattern set, one pattern per description.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Description.h"
#include "PatternSet.h"

// The first pattern found with a description keeps it; a later one with the same description
// is dropped. Equal descriptions are recognised on a compact structural key (the constrained
// attributes and the texts of their cutpoints), so a description is written only for a
// pattern that enters the pattern set. finish() puts the pattern set in ascending key order.
//
// A pattern that constrains every attribute of its subset has a key that no other subset can
// give (the key names all of the subset's attributes), so whether it enters depends on its own
// subset alone: prepare() settles that, and writes its description, on whichever thread
// searched the subset. Only a pattern that leaves an attribute of its subset free can meet its
// key again in a later subset; take() looks those up, in the subset order.
class PatternSetBuilder {
 public:
  PatternSetBuilder(const CutpointTexts& texts, std::size_t attributes, PatternSet& side);

  // The boxes of one subset sorted out ahead of take(): box numbers in the subset's order.
  struct Prepared {
    std::vector<std::uint32_t> whole;       // constrain every attribute; enter as they are
    std::string descriptions;               // those of `whole`, back to back
    std::vector<std::uint32_t> lengths;     // of each description
    std::vector<std::uint32_t> open;        // leave an attribute free; looked up in take()
    std::vector<std::int32_t> keys;         // the keys of `open`, back to back
    std::vector<std::uint32_t> keyLengths;  // of each key
    std::vector<std::uint64_t> hashes;      // of each key
  };

  // Sorts out the boxes of one subset (lower then upper corner, dims bins each) over map.
  // Reads only what the constructor was given: any number may run at once.
  void prepare(const std::vector<std::int32_t>& boxes, std::int32_t dims, const arrint& map,
               Prepared& out) const;
  // Takes the boxes of one subset, as prepared, after those of every earlier subset.
  void take(const std::vector<std::int32_t>& boxes, std::int32_t dims, const arrint& map,
            const Prepared& prepared);
  // The same, prepared here.
  void take(const std::vector<std::int32_t>& boxes, std::int32_t dims, const arrint& map);
  // Puts the pattern set in ascending key order.
  void finish();

 private:
  // The structural key of a pattern appended to key; returns whether the pattern constrains
  // every one of its attributes.
  bool keyOf(PatternView pattern, std::vector<std::int32_t>& key) const;
  static std::uint64_t hashOf(const std::int32_t* key, std::size_t size);
  void grow();

  const CutpointTexts& texts_;
  std::size_t attributes_;
  PatternSet& patterns_;
  // Per attribute: whether its cutpoints all have different texts, so that different boxes
  // of one subset have different keys.
  std::vector<bool> distinctTexts_;
  // The keys of the patterns that leave an attribute free, back to back, and where each
  // begins; open addressing over them: hash in the high half, key number + 1 in the low half,
  // 0 for empty.
  std::vector<std::int32_t> openKeys_;
  std::vector<std::size_t> openKeyAt_{0};
  std::vector<std::uint64_t> slots_;
  Prepared prepared_;  // for take() without a prepared subset
};
