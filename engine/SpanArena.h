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
      // Blocks grow from small to kBlock, so that a small model (a fuzz input, a test) does
      // not pay for megabytes it never uses; they are not zeroed, as every run is copied in.
      capacity_ = std::max(std::min(kBlock, std::max(kFirstBlock, 2 * capacity_)), run.size());
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
  static constexpr std::size_t kFirstBlock = std::size_t{1} << 10;
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::vector<std::unique_ptr<T[]>> blocks_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
};
