// Whole text files for display: the data box and the model file tabs.
#pragma once

#include <string>

// The text of a file as UTF-8. A byte-order mark of UTF-8 or UTF-16 (either byte order)
// selects that encoding and is dropped; any other file is taken as UTF-8. Raises
// EInOutError "Cannot open file "PATH". REASON" when it cannot be opened or read.
std::string readTextFile(const std::string& filename);

// UTF-16 code units (little or big endian bytes) to UTF-8; broken pairs become U+FFFD.
std::string utf16ToUtf8(const std::string& bytes, bool bigEndian);
