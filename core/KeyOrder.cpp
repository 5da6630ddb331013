#include "KeyOrder.h"

#include <algorithm>
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

}  // namespace

int compareKeys(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  const auto diff = std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(n), b.begin());
  if (diff.first != a.begin() + static_cast<std::ptrdiff_t>(n)) {
    const unsigned wa = weight(static_cast<unsigned char>(*diff.first));
    const unsigned wb = weight(static_cast<unsigned char>(*diff.second));
    return wa < wb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}
