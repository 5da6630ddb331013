// The number text form: the one reader and writer of reals and integers as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How a command writes and reads numbers. A front end makes it from the user's locale when a
// command starts and passes it down as a value: there is no process-wide setting that work on
// another thread could see change.
struct NumberFormat {
  std::string decimalSeparator = ".";
};

// Reads a real: optional spaces, optional sign, digits with an optional fraction after the
// decimal separator, an optional exponent, optional spaces; nothing else. Raises
// EConvertError "'TEXT' is not a valid floating point value" otherwise or when too large.
double numberFromText(std::string_view text, const NumberFormat& format);

// Writes a real with 15 significant digits, fixed from 1E-4 up to 999999999999999 and
// scientific outside (1E-5, 1.23E-5, 1E15); trailing zeros and a bare separator dropped.
std::string numberText(double value, const NumberFormat& format);
// The fewest significant digits, 15 to 17, whose text reads back as exactly this value; the
// same text as numberText wherever 15 digits suffice.
std::string exactNumberText(double value, const NumberFormat& format);

// Reads a 32-bit integer: optional spaces, optional sign, digits, optional spaces. Raises
// EConvertError "'TEXT' is not a valid integer value" otherwise or when out of range.
std::int32_t integerFromText(std::string_view text);

// Plain decimal with a leading "-" when negative.
std::string integerText(std::int64_t value);
// The same text, appended to out.
void appendInteger(std::int64_t value, std::string& out);

// The value of an integer spin box's text: the integer, or 0 when it is not a whole number.
std::int32_t spinValue(std::string_view text);
