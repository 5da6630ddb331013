// Numbers, names and comments written into exported source code, each reading back exactly.
#pragma once

#include <string>
#include <string_view>

// The shortest decimal text (15 to 17 digits, "." as separator, "1E-5" outside 1E-4 to 1E15)
// that reads back as exactly this value: a Python float literal.
std::string decimalLiteral(double value);
// A C99 hexadecimal floating literal, exact by definition: 0x1.47ae147ae147bp-9.
std::string hexLiteral(double value);
// An SQL expression of exactly this value that any engine reads the same: a plain decimal
// when the value is that decimal exactly (0.375, 12.0), since such a decimal is read without
// rounding; otherwise an integer over (or times) powers of 2, each step exact:
// (CAST(5764607523034235 AS DOUBLE PRECISION) / 2305843009213693952). Decimal fractions
// such as 0.0025 are not exact in binary, and SQL engines differ in rounding their text.
std::string sqlRealLiteral(double value);

// A Python string literal in double quotes. Raises LadError when the text is not UTF-8.
std::string pythonString(std::string_view text);
// A C string literal: printable ASCII as it is, every other byte as an octal escape.
std::string cString(std::string_view text);
// An SQL identifier in double quotes, a double quote doubled.
std::string sqlIdentifier(std::string_view text);
// An SQL string literal in single quotes, a single quote doubled.
std::string sqlString(std::string_view text);
// Text safe inside a Python docstring: a backslash and a double quote escaped, every control
// character as "?", and when the text is not UTF-8, every byte above 127 as "?".
std::string pythonDocText(std::string_view text);
// Text safe inside a /* */ comment and a # comment: "*/" and "/*" split by a space, every
// control character as "?".
std::string commentText(std::string_view text);
