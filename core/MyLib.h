// Small free-standing text routines.
#pragma once

#include <string>

// The part of s before its first "="; the empty text when s holds no "=".
std::string getname(const std::string& s);

// Splits s at the first occurrence of sep into left and right; when sep does not occur
// (an empty sep never does), left and right keep their values.
void splitstr(const std::string& s, const std::string& sep, std::string& left, std::string& right);

// s with the first occurrence of u replaced by v, or with every occurrence when all is set.
// With all, an occurrence that a replacement creates is replaced in its turn (aab, ab -> b
// gives b); when v itself contains u, the search goes on after each inserted v so that the
// routine always ends.
std::string replacestr(const std::string& s, const std::string& u, const std::string& v, bool all);
