#include "TextFile.h"

#include "LineFile.h"

namespace {

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string utf16ToUtf8(const std::string& bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> char32_t {
    const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
    const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
    return static_cast<char32_t>((hi << 8) | lo);
  };
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      appendUtf8(out, 0xFFFD);
    } else {
      appendUtf8(out, u);
    }
  }
  if (bytes.size() % 2 != 0) appendUtf8(out, 0xFFFD);
  return out;
}

std::string readTextFile(const std::string& filename) {
  const std::string bytes = readFileBytes(filename);
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
  if (bytes.rfind("\xFF\xFE", 0) == 0) return utf16ToUtf8(bytes.substr(2), false);
  if (bytes.rfind("\xFE\xFF", 0) == 0) return utf16ToUtf8(bytes.substr(2), true);
  return bytes;
}
