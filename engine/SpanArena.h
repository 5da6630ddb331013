// Many short runs of values stored back to back in large blocks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "LargePages.h"

// Growing never moves what is stored: a full block is kept and a new one started, so there is
// no copy of everything on growth and no moment when old and new storage live together. A
// run never straddles two blocks.
template <class T>
class SpanArena {
 public:
  // Where a run lies: block index in the high 32 bits, offset in the low 32 bits.
  using Position = std::uint64_t;

  Position add(std::span<const T> run) {
    if (blocks_.empty() || blocks_.back().size() + run.size() > blocks_.back().capacity()) {
      // Blocks grow from small to kBlock, so that a small model (a fuzz input, a test) does
      // not pay for megabytes it never uses; they are not zeroed, as every run is copied in.
      const std::size_t last = blocks_.empty() ? 0 : blocks_.back().capacity();
      blocks_.emplace_back();
      blocks_.back().reserve(
          std::max(std::min(kBlock, std::max(kFirstBlock, 2 * last)), run.size()));
    }
    LargeVector<T>& block = blocks_.back();
    const Position at = (static_cast<Position>(blocks_.size() - 1) << 32) | block.size();
    block.insert(block.end(), run.begin(), run.end());
    return at;
  }

  std::span<const T> get(Position at, std::size_t size) const {
    return {blocks_[at >> 32].data() + (at & 0xffffffffu), size};
  }

 private:
  static constexpr std::size_t kFirstBlock = std::size_t{1} << 10;
  // Full blocks are one large page each.
  static constexpr std::size_t kBlock = kLargePageBytes / sizeof(T);
  std::vector<LargeVector<T>> blocks_;
};
