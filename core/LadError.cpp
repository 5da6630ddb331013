#include "LadError.h"

#include <algorithm>

std::string messageWithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    return message + ".";
  }
  return message;
}

std::string quotedForMessage(std::string_view text) {
  constexpr std::size_t kShown = 60;
  std::size_t shown = std::min(text.size(), kShown);
  // Never end inside a UTF-8 sequence: back off over continuation bytes.
  if (shown < text.size()) {
    while (shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xC0u) == 0x80u) --shown;
  }
  std::string out = "'";
  for (std::size_t i = 0; i < shown; ++i) {
    if (text[i] == '\0') {
      out += "\\0";
    } else {
      out += text[i];
    }
  }
  if (shown < text.size()) {
    out += "...' (" + std::to_string(text.size()) + " characters)";
  } else {
    out += "'";
  }
  return out;
}
