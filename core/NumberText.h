// The number text form: the one reader and writer of reals and integers as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The process-wide decimal separator, "." until a front end sets another. Only the front
// ends' own thread sets and reads it; a command takes it once, as a NumberFormat, when it
// starts and passes that value down, so work on other threads never reads the setting.
void setDecimalSeparator(std::string separator);
const std::string& decimalSeparator();

// How a command writes and reads numbers.
struct NumberFormat {
  std::string decimalSeparator = ".";
};
// The process-wide setting, as a value.
NumberFormat currentNumberFormat();

// Reads a real: optional spaces, optional sign, digits with an optional fraction after the
// decimal separator, an optional exponent, optional spaces; nothing else. Raises
// EConvertError "'TEXT' is not a valid floating point value" otherwise or when too large.
double StrToFloat(std::string_view text);
double StrToFloat(std::string_view text, const NumberFormat& format);

// Writes a real with 15 significant digits, fixed from 1E-4 up to 999999999999999 and
// scientific outside (1E-5, 1.23E-5, 1E15); trailing zeros and a bare separator dropped.
std::string FloatToStr(double value);
std::string FloatToStr(double value, const NumberFormat& format);
// The fewest significant digits, 15 to 17, whose text reads back as exactly this value; the
// same text as FloatToStr wherever 15 digits suffice.
std::string FloatToStrExact(double value, const NumberFormat& format);

// Reads a 32-bit integer: optional spaces, optional sign, digits, optional spaces. Raises
// EConvertError "'TEXT' is not a valid integer value" otherwise or when out of range.
std::int32_t StrToInt(std::string_view text);

// Plain decimal with a leading "-" when negative.
std::string IntToStr(std::int64_t value);

// The value of an integer spin box's text: the integer, or 0 when it is not a whole number.
std::int32_t spinValue(std::string_view text);
