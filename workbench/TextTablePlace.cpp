#include "TextTablePlace.h"

std::string placeOfLine(const std::string& source, std::size_t line) {
  return source + ", line " + std::to_string(line);
}

std::string placeInLine(const std::string& source, std::size_t line, std::string_view text,
                        std::size_t lineStart, std::size_t position) {
  std::size_t column = 1;
  for (std::size_t i = lineStart; i < position && i < text.size(); ++i) {
    // A UTF-8 continuation byte belongs to the character before it.
    if ((static_cast<unsigned char>(text[i]) & 0xC0u) != 0x80u) ++column;
  }
  return placeOfLine(source, line) + ", column " + std::to_string(column);
}

std::string countOf(std::size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}
