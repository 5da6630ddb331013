#include "SystemMemory.h"

#include <fstream>
#include <sstream>

std::uint64_t availableMemoryBytes() {
  std::ifstream meminfo("/proc/meminfo");
  std::string line;
  while (std::getline(meminfo, line)) {
    if (line.rfind("MemAvailable:", 0) != 0) continue;
    std::istringstream fields(line.substr(13));
    std::uint64_t kilobytes = 0;
    if (fields >> kilobytes) return kilobytes * 1024;
  }
  return 0;
}

std::string megabytes(std::uint64_t bytes) {
  return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}
