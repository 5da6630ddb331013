#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "LargePages.h"
#include "SpanArena.h"

// Runs of every length from none to longer than a whole block, over many blocks (small ones,
// then large-page ones): each reads back as it was added, wherever the block boundaries fell.
TEST(SpanArena, RunsReadBackAcrossBlocks) {
  SpanArena<std::int32_t> arena;
  const std::size_t block = kLargePageBytes / sizeof(std::int32_t);
  const std::vector<std::size_t> lengths = {0, 1, 7, 1000, block - 3, 5, block + 11, 2, block, 64};
  std::vector<SpanArena<std::int32_t>::Position> at;
  std::int32_t next = 0;
  for (int round = 0; round < 3; ++round) {
    for (const std::size_t length : lengths) {
      std::vector<std::int32_t> run(length);
      std::iota(run.begin(), run.end(), next);
      next += static_cast<std::int32_t>(length);
      at.push_back(arena.add(run));
    }
  }
  next = 0;
  for (std::size_t i = 0; i < at.size(); ++i) {
    const std::size_t length = lengths[i % lengths.size()];
    const std::span<const std::int32_t> run = arena.get(at[i], length);
    std::vector<std::int32_t> expected(length);
    std::iota(expected.begin(), expected.end(), next);
    next += static_cast<std::int32_t>(length);
    ASSERT_TRUE(std::equal(run.begin(), run.end(), expected.begin(), expected.end())) << i;
  }
}

// A large-page vector grows, copies and shrinks through both kinds of memory like any vector.
TEST(SpanArena, LargePageVectorBehavesAsAVector) {
  LargeVector<std::uint64_t> values;
  const std::size_t count = 3 * kLargePageBytes / sizeof(std::uint64_t) + 5;
  for (std::size_t i = 0; i < count; ++i) values.push_back(i * 3);
  LargeVector<std::uint64_t> copy = values;
  values.resize(10);
  values.shrink_to_fit();
  ASSERT_EQ(copy.size(), count);
  for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(copy[i], i * 3) << i;
  EXPECT_EQ(values.back(), 27u);
}
