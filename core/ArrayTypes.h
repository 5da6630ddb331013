// The growable arrays shared by every layer: indexed from 0, new entries zero or empty.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using arrint = std::vector<std::int32_t>;
using arrreal = std::vector<double>;
using arrstring = std::vector<std::string>;
using matint = std::vector<arrint>;
using matreal = std::vector<arrreal>;
