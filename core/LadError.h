// Failures carry the system's own message; only the front ends catch them.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Any failure of a command.
class LadError : public std::runtime_error {
 public:
  explicit LadError(const std::string& message) : std::runtime_error(message) {}
};

// A text that is not a number in the number text form.
class EConvertError : public LadError {
 public:
  using LadError::LadError;
};

// An array length or index out of its range.
class ERangeError : public LadError {
 public:
  ERangeError() : LadError("Range check error") {}
  using LadError::LadError;
};

// A file that cannot be opened, read or written.
class EInOutError : public LadError {
 public:
  using LadError::LadError;
};

// A text from the user's input as a message quotes it: in single quotes, a NUL byte shown as
// \0, and a text of more than 60 bytes cut to its first 60 with "..." and its length added.
std::string quotedForMessage(std::string_view text);

// The text the error box shows: the message with a full stop added when its last
// character sorts above "." (letters and digits get one; ".", ")" and quotes do not).
std::string messageWithFullStop(const std::string& message);
