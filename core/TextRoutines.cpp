#include "TextRoutines.h"

std::string replacestr(const std::string& s, const std::string& u, const std::string& v, bool all) {
  if (u.empty()) return s;
  std::size_t at = s.find(u);
  if (at == std::string::npos) return s;
  std::string result = s;
  if (!all) return result.replace(at, u.size(), v);

  if (v.find(u) == std::string::npos) {
    // Repeated first-occurrence replacement from the start. A new occurrence can only
    // start within |u|-1 characters before the inserted text, so searching from there
    // gives the same result as searching from the start.
    while (at != std::string::npos) {
      result.replace(at, u.size(), v);
      const std::size_t back = u.size() - 1;
      at = result.find(u, at >= back ? at - back : 0);
    }
    return result;
  }
  // v contains u: replacing from the start would never end; go on after each v instead.
  while (at != std::string::npos) {
    result.replace(at, u.size(), v);
    at = result.find(u, at + v.size());
  }
  return result;
}
