// Prints the benchmarks' generated table: generate_table ROWS ATTRIBUTES SEED
#include <cstdio>
#include <cstdlib>

#include "GeneratedTable.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: generate_table ROWS ATTRIBUTES SEED\n", stderr);
    return 2;
  }
  const std::string table = generatedTable(std::atoi(argv[1]), std::atoi(argv[2]),
                                           static_cast<unsigned>(std::atoi(argv[3])));
  std::fwrite(table.data(), 1, table.size(), stdout);
  return 0;
}
