#include "CodeText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "LadError.h"
#include "NameText.h"
#include "NumberText.h"

namespace {

// value = m * 2^e with m an odd integer (|m| < 2^53).
void oddMantissa(double value, std::int64_t& m, int& e) {
  int exponent = 0;
  const double fraction = std::frexp(value, &exponent);  // value = fraction * 2^exponent
  m = static_cast<std::int64_t>(std::ldexp(fraction, 53));
  e = exponent - 53;
  while (m % 2 == 0) {
    m /= 2;
    ++e;
  }
}

// The exact decimal expansion of |value| when it has at most 17 significant digits, with the
// decimal exponent of the first; false otherwise.
bool shortExactDecimal(double value, std::string& digits, int& exponent) {
  char buffer[800];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, 780);
  const std::string text(buffer, result.ptr);
  const std::size_t e = text.find('e');
  std::string all = text.substr(0, 1) + text.substr(2, e - 2);
  const std::size_t last = all.find_last_not_of('0');
  all.erase(last + 1);
  if (all.size() > 17) return false;
  digits = all;
  exponent = std::stoi(text.substr(e + 1));
  return true;
}

}  // namespace

std::string decimalLiteral(double value) {
  return exactNumberText(value, NumberFormat{"."});
}

std::string hexLiteral(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::hex);
  return std::string(value < 0 ? "-" : "") + "0x" + std::string(buffer, result.ptr);
}

std::string sqlRealLiteral(double value) {
  if (value == 0.0) return "0.0";
  std::string digits;
  int exponent = 0;
  // A short exact decimal below 2^53 in magnitude: the digits and the power of ten both fit a
  // 64-bit integer and the quotient is exact, so no reader rounds it.
  if (std::fabs(value) < 9007199254740992.0 && shortExactDecimal(value, digits, exponent)) {
    std::string out = value < 0 ? "-" : "";
    const int count = static_cast<int>(digits.size());
    if (exponent < 0) {
      out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (count <= exponent + 1) {
      out += digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0') + ".0";
    } else {
      const auto whole = static_cast<std::size_t>(exponent + 1);
      out += digits.substr(0, whole) + "." + digits.substr(whole);
    }
    return out;
  }
  std::int64_t m = 0;
  int e = 0;
  oddMantissa(value, m, e);
  std::string out = "CAST(" + std::to_string(m) + " AS DOUBLE PRECISION)";
  // Powers of 2 up to 2^62 are integer literals; multiplying or dividing by one is exact.
  while (e != 0) {
    const int step = e > 0 ? std::min(e, 62) : std::min(-e, 62);
    out += (e > 0 ? " * " : " / ") + std::to_string(std::int64_t{1} << step);
    e += e > 0 ? -step : step;
  }
  return "(" + out + ")";
}

std::string pythonString(std::string_view text) {
  if (!isUtf8(text)) {
    throw LadError("The name " + quotedForMessage(text) +
                   " is not UTF-8 text, which a Python module needs");
  }
  static const char* const hex = "0123456789abcdef";
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 0xFu];
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string pythonDocText(std::string_view text) {
  const bool utf8 = isUtf8(text);
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && !utf8)) {
      out += '?';
    } else {
      if (ch == '\\' || ch == '"') out += '\\';
      out += ch;
    }
  }
  return out;
}

std::string cString(std::string_view text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c >= 0x20 && c < 0x7F && c != '?') {  // "?" could start a trigraph
      out += ch;
    } else {
      // Three octal digits always, so that a following digit is not taken into the escape.
      out += '\\';
      out += static_cast<char>('0' + ((c >> 6) & 7u));
      out += static_cast<char>('0' + ((c >> 3) & 7u));
      out += static_cast<char>('0' + (c & 7u));
    }
  }
  return out + "\"";
}

std::string sqlIdentifier(std::string_view text) {
  std::string out = "\"";
  for (const char ch : text) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

std::string sqlString(std::string_view text) {
  std::string out = "'";
  for (const char ch : text) {
    if (ch == '\'') out += '\'';
    out += ch;
  }
  return out + "'";
}

std::string commentText(std::string_view text) {
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) {
      out += '?';
    } else if (!out.empty() &&
               ((ch == '/' && out.back() == '*') || (ch == '*' && out.back() == '/'))) {
      out += ' ';  // neither ends nor opens a comment (some SQL engines nest them)
      out += ch;
    } else {
      out += ch;
    }
  }
  return out;
}
