#include "KeyOrder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// UTF-8 byte order equals code point order, and code point order equals UTF-16 code unit
// order except that the code points U+E000..U+FFFF (lead bytes EE, EF) sort after the
// supplementary planes (lead bytes F0..F4, surrogate pairs in UTF-16). This bijection on
// byte values moves EE and EF to the top; applied at the first differing byte it yields the
// UTF-16 order for valid UTF-8 and a consistent total order for any bytes.
unsigned weight(unsigned char c) {
  if (c < 0xEE) return c;
  if (c >= 0xF0) return c - 2u;
  return c + 0x10u;
}

// The position of the first byte where a and b differ, below n, or n. Keys such as pattern
// descriptions share long runs of commas, so they are compared eight bytes at a time.
std::size_t firstDifference(const char* a, const char* b, std::size_t n) {
  std::size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= n; i += 8) {
      std::uint64_t x = 0;
      std::uint64_t y = 0;
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y) return i + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
    }
  }
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

}  // namespace

int compareKeys(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  const std::size_t at = firstDifference(a.data(), b.data(), n);
  if (at < n) {
    const unsigned wa = weight(static_cast<unsigned char>(a[at]));
    const unsigned wb = weight(static_cast<unsigned char>(b[at]));
    return wa < wb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}
