// A seeded table of rows x attributes values in [-1, 1) whose class leans on the first three
// attributes, so that patterns exist on both sides.
#pragma once

#include <random>
#include <string>

#include "NumberText.h"

inline std::string generatedTable(int rows, int attributes, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::string table = "Name";
  for (int k = 1; k <= attributes; ++k) table += ",A" + std::to_string(k);
  table += ",Class\n";
  for (int r = 0; r < rows; ++r) {
    table += "Obs" + std::to_string(r + 1);
    double lean = 0;
    for (int k = 0; k < attributes; ++k) {
      const double v = value(random);
      if (k < 3) lean += v;
      table += "," + numberText(v, NumberFormat{});
    }
    table += lean + 0.5 * value(random) > 0 ? ",1\n" : ",0\n";
  }
  return table;
}
