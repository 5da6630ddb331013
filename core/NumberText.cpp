#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "LadError.h"

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The significant digits (the first not 0) and the decimal exponent of the first, written in
// the number text form: fixed from 1E-4 up to 999999999999999, scientific outside.
std::string formatDigits(bool negative, std::string digits, int exponent, const std::string& sep);

[[noreturn]] void notAFloat(std::string_view text) {
  throw EConvertError(quotedForMessage(text) + " is not a valid floating point value");
}

// 15 significant decimal digits of |value| and the decimal exponent of the first one, the
// exact binary value rounded once with ties away from zero.
void roundTo15Digits(double magnitude, std::string& digits, int& exponent) {
  char buffer[800];
  // Correctly rounded (ties to even) from the exact binary value.
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
  std::string text(buffer, result.ptr);
  digits = text.substr(0, 1) + text.substr(2, 14);
  exponent = std::stoi(text.substr(17));

  // Only an exact tie can round differently from ties-to-even. A tie shows 5 and zeros
  // after the 15th digit at 25 digits; the full expansion (at most 767 digits) decides.
  result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 24);
  const std::string wide(buffer, result.ptr);
  if (wide.compare(2 + 14, 10, "5000000000") != 0) return;
  result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 780);
  const std::string exact(buffer, result.ptr);
  const std::size_t ePos = exact.find('e');
  const std::string tail = exact.substr(2 + 15, ePos - (2 + 15));
  if (tail.find_first_not_of('0') != std::string::npos) return;  // not a tie
  std::string up = exact.substr(0, 1) + exact.substr(2, 14);
  exponent = std::stoi(exact.substr(ePos + 1));
  int i = 14;
  while (i >= 0 && up[static_cast<std::size_t>(i)] == '9') {
    up[static_cast<std::size_t>(i)] = '0';
    --i;
  }
  if (i < 0) {
    up.pop_back();
    up.insert(up.begin(), '1');
    ++exponent;
  } else {
    ++up[static_cast<std::size_t>(i)];
  }
  digits = up;
}

}  // namespace

double numberFromText(std::string_view text, const NumberFormat& format) {
  const std::string& sep = format.decimalSeparator;
  std::size_t pos = 0;
  const std::size_t n = text.size();
  while (pos < n && text[pos] == ' ') ++pos;

  std::string normal;
  bool negative = false;
  if (pos < n && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::string intDigits;
  while (pos < n && isDigit(text[pos])) intDigits += text[pos++];
  std::string fracDigits;
  if (!sep.empty() && text.substr(pos, sep.size()) == sep) {
    pos += sep.size();
    while (pos < n && isDigit(text[pos])) fracDigits += text[pos++];
  }
  if (intDigits.empty() && fracDigits.empty()) notAFloat(text);
  std::string expDigits;
  bool expNegative = false;
  if (pos < n && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    if (pos < n && (text[pos] == '+' || text[pos] == '-')) {
      expNegative = text[pos] == '-';
      ++pos;
    }
    while (pos < n && isDigit(text[pos])) expDigits += text[pos++];
    if (expDigits.empty()) notAFloat(text);
  }
  while (pos < n && text[pos] == ' ') ++pos;
  if (pos != n) notAFloat(text);

  normal = (intDigits.empty() ? "0" : intDigits) + "." + (fracDigits.empty() ? "0" : fracDigits);
  if (!expDigits.empty()) normal += std::string("e") + (expNegative ? "-" : "") + expDigits;

  double value = 0.0;
  const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large fails; too small to represent reads as zero.
    const std::string all = intDigits + fracDigits;
    const std::size_t firstNonZero = all.find_first_not_of('0');
    long long magnitude =
        static_cast<long long>(intDigits.size()) - static_cast<long long>(firstNonZero);
    const std::size_t expLen = expDigits.find_first_not_of('0');
    long long exp = 0;
    if (expLen != std::string::npos) {
      const std::string significant = expDigits.substr(expLen);
      exp = significant.size() > 6 ? 10000000 : std::stoll(significant);
    }
    magnitude += expNegative ? -exp : exp;
    if (magnitude > 0) notAFloat(text);
    value = 0.0;
  } else if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) {
    notAFloat(text);
  }
  return negative ? -value : value;
}

std::string numberText(double value, const NumberFormat& format) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";
  std::string digits;
  int exponent = 0;
  roundTo15Digits(std::fabs(value), digits, exponent);
  return formatDigits(value < 0, digits, exponent, format.decimalSeparator);
}

namespace {

// Whether the text reads back as exactly this value; a text beyond the largest real (the
// 15-digit form of a value near it) does not.
bool readsBackAs(const std::string& text, double value, const NumberFormat& format) {
  try {
    return numberFromText(text, format) == value;
  } catch (const EConvertError&) {
    return false;
  }
}

}  // namespace

std::string exactNumberText(double value, const NumberFormat& format) {
  std::string text = numberText(value, format);
  if (!std::isfinite(value) || readsBackAs(text, value, format)) return text;
  for (const int precision : {16, 17}) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, precision - 1);
    const std::string wide(buffer, result.ptr);
    const std::size_t e = wide.find('e');
    const std::string digits = wide.substr(0, 1) + wide.substr(2, e - 2);
    text = formatDigits(value < 0, digits, std::stoi(wide.substr(e + 1)), format.decimalSeparator);
    if (readsBackAs(text, value, format)) break;
  }
  return text;  // 17 digits always read back as the same number
}

namespace {

std::string formatDigits(bool negative, std::string digits, int exponent, const std::string& sep) {
  const std::size_t last = digits.find_last_not_of('0');
  digits.erase(last + 1);
  std::string out = negative ? "-" : "";
  const int count = static_cast<int>(digits.size());
  if (exponent >= -4 && exponent <= 14) {
    if (exponent < 0) {
      out += "0" + sep + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (count <= exponent + 1) {
      out += digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
    } else {
      const auto intLen = static_cast<std::size_t>(exponent + 1);
      out += digits.substr(0, intLen) + sep + digits.substr(intLen);
    }
  } else {
    out += digits[0];
    if (count > 1) {
      out += sep;
      out.append(digits, 1);
    }
    out += 'E';
    if (exponent < 0) out += '-';
    out += std::to_string(std::abs(exponent));
  }
  return out;
}

}  // namespace

std::int32_t integerFromText(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  std::string_view core = text.substr(begin, end - begin);
  bool plus = false;
  if (!core.empty() && core.front() == '+') {
    core.remove_prefix(1);
    plus = true;
  }
  std::int32_t value = 0;
  const auto result = std::from_chars(core.data(), core.data() + core.size(), value);
  if (core.empty() || result.ec != std::errc() || result.ptr != core.data() + core.size() ||
      (core.front() == '-' && (plus || core.size() == 1))) {
    throw EConvertError(quotedForMessage(text) + " is not a valid integer value");
  }
  return value;
}

std::string integerText(std::int64_t value) {
  return std::to_string(value);
}

void appendInteger(std::int64_t value, std::string& out) {
  char digits[24];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end.ptr);
}

std::int32_t spinValue(std::string_view text) {
  try {
    return integerFromText(text);
  } catch (const EConvertError&) {
    return 0;
  }
}
