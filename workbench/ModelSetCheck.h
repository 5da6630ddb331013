// Whether a model's files belong together: NAME.MOD keeps no count of its patterns, so a
// file cut exactly at a line end reads as a smaller model; the header of NAME.PAT beside it
// names every pattern of the build that wrote both.
#pragma once

#include <cstdint>
#include <string>

// The warning when NAME.PAT names other pattern counts than NAME.MOD holds (`positive` and
// `negative`), naming both; "" when they agree or there is no readable NAME.PAT.
std::string patternCountMismatch(const std::string& name, std::int32_t positive,
                                 std::int32_t negative);
// The same check for a front end that only shows the files: the pattern lines of NAME.MOD are
// counted without reading the patterns. "" when NAME.MOD cannot be read either.
std::string modelSetMismatch(const std::string& name);
