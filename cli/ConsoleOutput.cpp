#include "ConsoleOutput.h"

#include <iostream>

#include "LadError.h"

void printWarning(const std::string& text) {
  std::cerr << "Warning: " << messageWithFullStop(text) << "\n";
}

void printFileWritten(ModelFileKind /*kind*/, const std::string& filename) {
  std::cout << filename << "\n";
}

void printPatternCounts(const PatternCounts& counts) {
  std::cout << "Positive Patterns Found: " << counts.positive << "\n"
            << "Negative Patterns Found: " << counts.negative << "\n";
}
