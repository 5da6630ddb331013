// Many short runs of values stored back to back in large blocks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Growing never moves what is stored: a full block is kept and a new one started, so there is
// no copy of everything on growth and no moment when old and new storage live together. A
// run never straddles two blocks.
template <class T>
class SpanArena {
 public:
  // Where a run lies: block index in the high 32 bits, offset in the low 32 bits.
  using Position = std::uint64_t;

  Position add(std::span<const T> run) {
    if (blocks_.empty() || used_ + run.size() > capacity_) {
      capacity_ = std::max(kBlock, run.size());
      // Not zeroed: a block is written before it is read, and zeroing a 4 MB block for a
      // model of a few patterns costs more than the rest of loading it.
      blocks_.push_back(std::make_unique_for_overwrite<T[]>(capacity_));
      used_ = 0;
    }
    const Position at = (static_cast<Position>(blocks_.size() - 1) << 32) | used_;
    std::copy(run.begin(), run.end(), blocks_.back().get() + used_);
    used_ += run.size();
    return at;
  }

  std::span<const T> get(Position at, std::size_t size) const {
    return {blocks_[at >> 32].get() + (at & 0xffffffffu), size};
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::vector<std::unique_ptr<T[]>> blocks_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
};
