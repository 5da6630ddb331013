// Checks of names that reach exported code, JSON and messages.
#pragma once

#include <string>
#include <string_view>

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isUtf8(std::string_view text);

// "" when the name holds no control character (a byte below 0x20, or 0x7F); otherwise what is
// wrong, naming the first one and the name as far as it is printable: "holds the control
// character 0x00 after 'n'".
std::string controlCharacterProblem(std::string_view name);
