// A small model decoded from fuzz input, as the export and JSON targets share it: attribute
// names of any bytes (now and then one of a list of names that have broken code before), a few
// ascending cutpoints per attribute, a few patterns on each side, and rows of values on, next to
// and between the cutpoints.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Description.h"
#include "NumberText.h"
#include "Model.h"

// Values that every SQL engine and Python read exactly from their shortest text: short
// decimals of a binary fraction. A row of these can be stored as text.
constexpr double kExactValues[] = {0.0, 0.5, -1.0, 2.25, 3.0, -0.75, 100.0, 1048576.0, 0.375};

struct FuzzModel {
  std::shared_ptr<const Model> model;
  std::vector<std::string> names;
  std::vector<std::vector<double>> rows;  // one value per attribute
};

inline bool isExactValue(double value) {
  return std::find(std::begin(kExactValues), std::end(kExactValues), value) !=
         std::end(kExactValues);
}

inline std::string fuzzName(FuzzedDataProvider& in) {
  static const std::string kNames[] = {"A",
                                       "B",
                                       "say \"hi\"",
                                       "it's",
                                       std::string("n\0, IS NULL THEN 1 END;DROP TABLE t;--", 37),
                                       "*/ x /*",
                                       "a\nb",
                                       "\xFF",
                                       "\xC3\xA9t\xC3\xA9",
                                       "x y",
                                       "",
                                       "row",
                                       "p",
                                       "x0",
                                       "ATTRIBUTES",
                                       "observations",
                                       "\\",
                                       "\"\"\"",
                                       "?\?=",
                                       "'; DROP TABLE observations;--"};
  if (in.ConsumeBool()) return in.PickValueInArray(kNames);
  return in.ConsumeRandomLengthString(12);
}

inline double fuzzCutpoint(FuzzedDataProvider& in) {
  static const double kCuts[] = {0.5,
                                 -1.0,
                                 0.1,
                                 1.0 / 3,
                                 1e-5,
                                 2.25,
                                 0.0025,
                                 1e300,
                                 -1e-300,
                                 5e-324,
                                 12.0,
                                 0.0,
                                 -0.75,
                                 1048576.0,
                                 100.0,
                                 -0.294350809,
                                 9007199254740993.0};
  if (in.ConsumeIntegralInRange<int>(0, 3) == 3) {
    const double value = in.ConsumeFloatingPoint<double>();
    if (std::isfinite(value)) return value;
  }
  return in.PickValueInArray(kCuts);
}

inline FuzzModel fuzzModel(FuzzedDataProvider& in) {
  FuzzModel m;
  const NumberFormat format{"."};
  matreal cutpoints;
  const std::size_t attributes = in.ConsumeIntegralInRange<std::size_t>(1, 5);
  for (std::size_t k = 0; k < attributes; ++k) {
    m.names.push_back(fuzzName(in));
    std::vector<double> cuts;
    const int count = in.ConsumeIntegralInRange<int>(0, 3);
    for (int i = 0; i < count; ++i) cuts.push_back(fuzzCutpoint(in));
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    cutpoints.push_back(cuts);
  }
  const auto patterns = [&](PatternSet& side) {
    const int count = in.ConsumeIntegralInRange<int>(0, 4);
    for (int j = 0; j < count; ++j) {
      const int dimensions = in.ConsumeIntegralInRange<int>(0, 3);
      PatternBox pattern(dimensions);
      for (std::size_t d = 0; d < static_cast<std::size_t>(dimensions); ++d) {
        const auto k =
            in.ConsumeIntegralInRange<std::int32_t>(0, static_cast<std::int32_t>(attributes) - 1);
        const auto top =
            static_cast<std::int32_t>(cutpoints[static_cast<std::size_t>(k)].size());
        pattern.map[d] = k;
        pattern.a[d] = in.ConsumeIntegralInRange<std::int32_t>(0, top);
        pattern.b[d] = in.ConsumeIntegralInRange<std::int32_t>(pattern.a[d], top);
      }
      side.append(describePattern(pattern, attributes, cutpoints,
                                     [&](std::size_t k, std::size_t i) {
                                       return numberText(cutpoints[k][i], format);
                                     }),
                     pattern);
    }
  };
  PatternSet positive;
  PatternSet negative;
  patterns(positive);
  patterns(negative);
  m.model = std::make_shared<const Model>(m.names, CutpointGrid(cutpoints),
                                          std::move(positive), std::move(negative), format);

  const std::size_t rows = in.ConsumeIntegralInRange<std::size_t>(1, 6);
  for (std::size_t r = 0; r < rows; ++r) {
    std::vector<double> row;
    for (std::size_t k = 0; k < attributes; ++k) {
      const std::vector<double>& cuts = cutpoints[k];
      const int choice = in.ConsumeIntegralInRange<int>(0, 3);
      if (cuts.empty() || choice == 3) {
        row.push_back(in.PickValueInArray(kExactValues));
        continue;
      }
      const double cut = cuts[in.ConsumeIntegralInRange<std::size_t>(0, cuts.size() - 1)];
      const double next = std::nextafter(cut, choice == 1 ? HUGE_VAL : -HUGE_VAL);
      // Finite values only: a table cannot hold an infinity.
      row.push_back(choice == 0 || !std::isfinite(next) ? cut : next);
    }
    m.rows.push_back(std::move(row));
  }
  return m;
}
