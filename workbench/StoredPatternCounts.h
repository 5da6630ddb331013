// The pattern counts of a stored model, read without reading its patterns: what a front end
// shows when it loads a model only to show its files.
#pragma once

#include <optional>
#include <string>

#include "BuildModel.h"

// The positive and negative pattern lines of NAME.MOD; nothing when it cannot be read.
std::optional<PatternCounts> storedPatternCounts(const std::string& name);
