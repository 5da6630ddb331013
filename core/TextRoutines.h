// Replacing text within text.
#pragma once

#include <string>

// s with the first occurrence of u replaced by v, or with every occurrence when all is set.
// With all, an occurrence that a replacement creates is replaced in its turn (aab, ab -> b
// gives b); when v itself contains u, the search goes on after each inserted v so that the
// routine always ends.
std::string replacestr(const std::string& s, const std::string& u, const std::string& v, bool all);
