// The near misses of an explanation in the order a reader wants them: the smallest change
// first, measured against the spread of the attribute's cutpoints so that attributes of
// different scales compare.
#pragma once

#include <cstddef>
#include <vector>

#include "Explanation.h"

// How far the value must move to meet the failed condition, as a share of the span between
// the attribute's first and last cutpoint (the plain distance when it has fewer than two).
double nearMissDistance(const ModelRules& rules, const NearMiss& miss);

// Indices into e.nearMisses, the smallest distance first; equal distances keep the model's
// order.
std::vector<std::size_t> nearMissesBySmallestChange(const ModelRules& rules, const Explanation& e);
