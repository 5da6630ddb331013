#include "NearMissOrder.h"

#include <algorithm>
#include <cmath>
#include <numeric>

double nearMissDistance(const ModelRules& rules, const NearMiss& miss) {
  const double distance = std::fabs(miss.change);
  const arrreal& cuts = rules.cutpoints(static_cast<std::size_t>(miss.condition.attribute));
  const double span = cuts.size() >= 2 ? cuts.back() - cuts.front() : 0;
  return span > 0 && std::isfinite(span) ? distance / span : distance;
}

std::vector<std::size_t> nearMissesBySmallestChange(const ModelRules& rules, const Explanation& e) {
  std::vector<double> distance(e.nearMisses.size());
  for (std::size_t i = 0; i < distance.size(); ++i) {
    distance[i] = nearMissDistance(rules, e.nearMisses[i]);
  }
  std::vector<std::size_t> order(e.nearMisses.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return distance[a] < distance[b]; });
  return order;
}
