// JSON documents as text that is always valid JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

// The document's text (indented by `indent` spaces a level, or on one line when -1). Names
// come from files and tables and need not be UTF-8: every byte that is not part of valid UTF-8
// is written as U+FFFD, where the plain dump would throw after the work was done.
inline std::string jsonText(const nlohmann::ordered_json& document, int indent = -1) {
  return document.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
