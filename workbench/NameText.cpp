#include "NameText.h"

#include <cstdint>

#include "LadError.h"

bool isUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    std::uint32_t code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      code = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      code = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      code = c & 0x07u;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (std::size_t x = 1; x <= extra; ++x) {
      const auto d = static_cast<unsigned char>(text[i + x]);
      if ((d & 0xC0u) != 0x80u) return false;
      code = (code << 6) | (d & 0x3Fu);
    }
    const bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    i += extra + 1;
  }
  return true;
}

std::string controlCharacterProblem(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x20 && c != 0x7F) continue;
    static const char* const hex = "0123456789ABCDEF";
    const std::string byte = std::string("0x") + hex[c >> 4] + hex[c & 0xFu];
    return "holds the control character " + byte +
           (i == 0 ? std::string(" as its first byte")
                   : " after " + quotedForMessage(name.substr(0, i)));
  }
  return "";
}
