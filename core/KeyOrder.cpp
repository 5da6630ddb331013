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

// Keys such as pattern descriptions begin with a run of commas, one per attribute left free,
// so their first bytes alone would tell little. The number is made of the run's length and
// the weights of the bytes after it. Where two keys' runs differ in length, the shorter run
// ends in a byte c where the other key still has a comma, so the order is settled by c against
// the comma: a key whose run ends below the comma (or that ends there) sorts before every key
// whose run ends above it; among the first, the shorter run sorts first, and among the second
// the longer run. Hence the top bit says which of the two, the next 8 bits the run length
// (counted down for the second), and the 48 bits below the next six bytes' weights, 0 past the
// key's end, which only ever makes a key look smaller or equal, as a proper prefix is. A run
// of 255 commas or more says no more than that.
std::uint64_t keyOrderCode(std::string_view key) {
  std::size_t run = 0;
  while (run < key.size() && key[run] == ',') ++run;
  const bool above = run < key.size() && weight(static_cast<unsigned char>(key[run])) > ',';
  std::uint64_t length = std::min<std::size_t>(run, 255);
  std::uint64_t code = static_cast<std::uint64_t>(above) << 63;
  code |= (above ? 255 - length : length) << 55;
  if (run >= 255) return code;
  for (std::size_t i = 0; i < 6; ++i) {
    const std::size_t at = run + i;
    const std::uint64_t w = at < key.size() ? weight(static_cast<unsigned char>(key[at])) : 0;
    code |= w << (40 - 8 * i);
  }
  return code;
}

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
