// Fuzzes the number text form. The input is read as a text (numberFromText and integerFromText must
// return or raise EConvertError, and agree with the C library on what they accept) and as
// doubles, 8 bytes each, whose written form must be their 15-digit rounding and read back to
// a value that writes the same text, with "." and with "," as the decimal separator.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "LadError.h"
#include "NumberText.h"

namespace {

const NumberFormat kDot{"."};
const NumberFormat kComma{","};

std::string shown(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g (%a)", v, v);
  return buffer;
}

// The value the text reads as, or nothing when the reader refuses it with EConvertError;
// any other exception escapes as a finding.
std::optional<double> readFloat(std::string_view text, const NumberFormat& format) {
  try {
    return numberFromText(text, format);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

std::string withoutSpaces(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

std::string swapped(std::string text, char from, char to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text[at] = to;
  return text;
}

// A text numberFromText accepts holds only spaces, a sign, digits, one separator and an exponent,
// so the C library reads the same number from it (both round correctly; far below the
// smallest double both give zero).
void checkAcceptedFloat(const std::string& text) {
  if (const auto dot = readFloat(text, kDot)) {
    if (!std::isfinite(*dot)) propertyFailed("'" + text + "' reads as " + shown(*dot));
    const std::string trimmed = withoutSpaces(text);
    char* end = nullptr;
    const double expected = std::strtod(trimmed.c_str(), &end);
    if (end != trimmed.c_str() + trimmed.size() || expected != *dot) {
      propertyFailed("'" + text + "' reads as " + shown(*dot) + ", strtod reads " +
                     shown(expected));
    }
  }
  if (const auto comma = readFloat(text, kComma)) {
    if (!std::isfinite(*comma)) propertyFailed("'" + text + "' reads as " + shown(*comma));
    const auto dot = readFloat(swapped(text, ',', '.'), kDot);
    if (!dot || *dot != *comma) {
      propertyFailed("'" + text + "' reads as " + shown(*comma) +
                     " with the separator \",\", but not so with \".\"");
    }
  }
}

void checkAcceptedInt(const std::string& text) {
  std::int32_t value = 0;
  try {
    value = integerFromText(text);
  } catch (const EConvertError&) {
    return;
  }
  const std::string trimmed = withoutSpaces(text);
  errno = 0;
  char* end = nullptr;
  const long long expected = std::strtoll(trimmed.c_str(), &end, 10);
  if (trimmed.empty() || end != trimmed.c_str() + trimmed.size() || errno != 0 ||
      expected != value) {
    propertyFailed("'" + text + "' reads as the integer " + std::to_string(value) +
                   ", strtoll reads " + std::to_string(expected));
  }
}

// The 15 significant digits of |v| (trailing zeros dropped) and the decimal exponent of the
// first, rounded from the exact binary value with ties away from zero. The C library prints
// the exact expansion of a double (at most 767 significant digits) when asked for enough
// digits; rounding half up on it is rounding ties away from zero.
void fifteenDigits(double v, std::string& digits, int& exponent) {
  static char exact[1200];
  std::snprintf(exact, sizeof exact, "%.800e", std::fabs(v));
  const char* e = std::strchr(exact, 'e');
  exponent = std::atoi(e + 1);
  const std::string all =
      exact[0] + std::string(exact + 2, static_cast<std::size_t>(e - exact - 2));
  digits = all.substr(0, 15);
  if (all[15] >= '5') {
    int i = 14;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
      digits[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[static_cast<std::size_t>(i)];
    }
  }
  digits.erase(digits.find_last_not_of('0') + 1);
}

// The parts of a written number: sign, significant digits without trailing zeros, decimal
// exponent of the first, and whether it was written with an exponent. False when the text
// breaks the layout: digits with at most one separator, no trailing zero after it, no
// leading zero before a non-zero whole part, one digit before the separator with an exponent.
struct Written {
  bool negative = false;
  std::string digits;
  int exponent = 0;
  bool scientific = false;
};
bool parseWritten(const std::string& text, char sep, Written& w) {
  std::size_t pos = 0;
  if (pos < text.size() && text[pos] == '-') {
    w.negative = true;
    ++pos;
  }
  std::string whole;
  std::string fraction;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))
    whole += text[pos++];
  if (pos < text.size() && text[pos] == sep) {
    ++pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))
      fraction += text[pos++];
    if (fraction.empty() || fraction.back() == '0') return false;
  }
  if (whole.empty() || (whole.size() > 1 && whole[0] == '0')) return false;
  int shift = 0;
  if (pos < text.size() && text[pos] == 'E') {
    w.scientific = true;
    ++pos;
    bool minus = false;
    if (pos < text.size() && text[pos] == '-') {
      minus = true;
      ++pos;
    }
    std::string exp;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))
      exp += text[pos++];
    if (exp.empty() || exp.size() > 3 || (exp.size() > 1 && exp[0] == '0')) return false;
    if (whole.size() != 1 || whole == "0") return false;
    shift = minus ? -std::stoi(exp) : std::stoi(exp);
  }
  if (pos != text.size()) return false;
  const std::string all = whole + fraction;
  const std::size_t first = all.find_first_not_of('0');
  if (first == std::string::npos) return false;
  w.digits = all.substr(first);
  w.digits.erase(w.digits.find_last_not_of('0') + 1);
  w.exponent = static_cast<int>(whole.size()) - 1 - static_cast<int>(first) + shift;
  return true;
}

void checkValue(double v) {
  if (!std::isfinite(v)) return;
  const std::string text = numberText(v, kDot);
  if (v == 0) {
    if (text != "0") propertyFailed(shown(v) + " is written '" + text + "'");
    return;
  }
  std::string digits;
  int exponent = 0;
  fifteenDigits(v, digits, exponent);
  Written w;
  if (!parseWritten(text, '.', w) || w.negative != (v < 0) || w.digits != digits ||
      w.exponent != exponent || w.scientific != (exponent < -4 || exponent > 14)) {
    propertyFailed(shown(v) + " is written '" + text + "', its 15 digits are " + digits + "E" +
                   std::to_string(exponent));
  }

  // The exact form of the model file's cutpoints always reads back as the value itself.
  const std::string exact = exactNumberText(v, kDot);
  const auto exactBack = readFloat(exact, kDot);
  if (!exactBack || *exactBack != v) {
    propertyFailed(shown(v) + " is written exactly as '" + exact + "', which does not read back");
  }
  const auto back = readFloat(text, kDot);
  // Within 15-digit rounding of the largest real, the 15-digit text lies beyond it and reads
  // as too large, as the number text form says; only the exact form must read back there.
  if (!back && std::fabs(v) > 1.7976931348623e308) return;
  if (!back || numberText(*back, kDot) != text) {
    propertyFailed(shown(v) + " is written '" + text + "', which reads back as " +
                   (back ? shown(*back) + " written '" + numberText(*back, kDot) + "'"
                         : std::string("an error")));
  }
  const std::string commaText = numberText(v, kComma);
  if (commaText != swapped(text, '.', ',')) {
    propertyFailed(shown(v) + " is written '" + text + "' with \".\" but '" + commaText +
                   "' with \",\"");
  }
  const auto commaBack = readFloat(commaText, kComma);
  if (!commaBack || *commaBack != *back) {
    propertyFailed("'" + commaText + "' does not read back with \",\" as '" + text +
                   "' does with \".\"");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  checkAcceptedFloat(text);
  checkAcceptedInt(text);
  if (const auto value = readFloat(text, kDot)) checkValue(*value);
  for (std::size_t at = 0; at + sizeof(double) <= size; at += sizeof(double)) {
    double v = 0;
    std::memcpy(&v, data + at, sizeof v);
    checkValue(v);
  }
  return 0;
}
