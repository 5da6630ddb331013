#include "SystemMemory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The first number of a file ("max" and a missing file give nothing).
bool readNumber(const std::string& path, std::uint64_t& value) {
  std::istringstream text(fileText(path));
  return static_cast<bool>(text >> value);
}

// The value of `key` in a "key value" file such as memory.stat, or 0.
std::uint64_t statValue(const std::string& path, const std::string& key) {
  std::istringstream text(fileText(path));
  std::string name;
  std::uint64_t value = 0;
  while (text >> name >> value) {
    if (name == key) return value;
  }
  return 0;
}

std::vector<std::string> splitOn(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

// One hierarchy's memory files: v2 (one hierarchy, all controllers) or v1's memory one.
struct Hierarchy {
  bool v2 = false;
  std::string groupPath;  // the process's group, from /proc/self/cgroup
  std::string mountRoot;  // the group the mount shows at its mount point
  std::string mountPoint;
};

// The limit files of the hierarchy, if mountinfo shows where it is mounted.
bool findMount(Hierarchy& h, const std::string& mountinfoText) {
  std::istringstream lines(mountinfoText);
  std::string line;
  while (std::getline(lines, line)) {
    // id parent major:minor root mount-point options [optional fields] - type source super
    const std::size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    std::istringstream before(line.substr(0, dash));
    std::istringstream after(line.substr(dash + 3));
    std::string id, parent, device, root, point, type, source, super;
    before >> id >> parent >> device >> root >> point;
    after >> type >> source >> super;
    const std::vector<std::string> options = splitOn(super, ',');
    const bool match = h.v2 ? type == "cgroup2"
                            : type == "cgroup" && std::find(options.begin(), options.end(),
                                                            "memory") != options.end();
    if (!match) continue;
    // The group must lie inside what is mounted.
    if (root != "/" && h.groupPath != root && h.groupPath.rfind(root + "/", 0) != 0) continue;
    h.mountRoot = root;
    h.mountPoint = point;
    return true;
  }
  return false;
}

// The smallest room over the group and its ancestors up to the mount point, or 0.
std::uint64_t hierarchyRoom(const Hierarchy& h, const std::string& root) {
  namespace fs = std::filesystem;
  const std::string inside =
      h.mountRoot == "/" ? h.groupPath : h.groupPath.substr(h.mountRoot.size());
  const fs::path top = fs::path(root + h.mountPoint).lexically_normal();
  fs::path group = fs::path(root + h.mountPoint + "/" + inside).lexically_normal();
  const char* limitFile = h.v2 ? "memory.max" : "memory.limit_in_bytes";
  const char* usageFile = h.v2 ? "memory.current" : "memory.usage_in_bytes";
  const char* cacheKey = h.v2 ? "inactive_file" : "total_inactive_file";
  // v1 writes "no limit" as the largest page-aligned 63-bit count.
  constexpr std::uint64_t kNoLimit = std::uint64_t{1} << 62;
  std::uint64_t best = 0;
  for (;;) {
    std::uint64_t limit = 0;
    if (readNumber((group / limitFile).string(), limit) && limit < kNoLimit) {
      std::uint64_t usage = 0;
      readNumber((group / usageFile).string(), usage);
      const std::uint64_t cache = statValue((group / "memory.stat").string(), cacheKey);
      usage -= std::min(usage, cache);
      // A group over its limit still leaves a little: 0 means "no limit" to the caller.
      const std::uint64_t room = std::max<std::uint64_t>(limit - std::min(limit, usage), 1);
      best = best == 0 ? room : std::min(best, room);
    }
    if (group == top || !group.has_parent_path() || group.parent_path() == group) break;
    if (group.string().size() <= top.string().size()) break;
    group = group.parent_path();
  }
  return best;
}

std::uint64_t meminfoAvailable() {
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

// The smaller of two figures where 0 means "unknown".
std::uint64_t smallerKnown(std::uint64_t a, std::uint64_t b) {
  if (a == 0) return b;
  if (b == 0) return a;
  return std::min(a, b);
}

}  // namespace

std::uint64_t cgroupMemoryRoom(const std::string& cgroupText, const std::string& mountinfoText,
                               const std::string& root) {
  std::uint64_t best = 0;
  std::istringstream lines(cgroupText);
  std::string line;
  while (std::getline(lines, line)) {
    // hierarchy-id:controllers:path; v2's line is "0::path".
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    Hierarchy h;
    const std::string controllers = line.substr(first + 1, second - first - 1);
    const std::vector<std::string> names = splitOn(controllers, ',');
    h.v2 = line.substr(0, first) == "0" && controllers.empty();
    if (!h.v2 && std::find(names.begin(), names.end(), "memory") == names.end()) continue;
    h.groupPath = line.substr(second + 1);
    if (h.groupPath.empty() || h.groupPath[0] != '/') continue;
    if (!findMount(h, mountinfoText)) continue;
    best = smallerKnown(best, hierarchyRoom(h, root));
  }
  return best;
}

std::uint64_t availableMemoryBytes() {
  return smallerKnown(meminfoAvailable(), cgroupMemoryRoom(fileText("/proc/self/cgroup"),
                                                           fileText("/proc/self/mountinfo"), ""));
}

std::string byteSize(std::uint64_t bytes) {
  // Whole numbers from 10 up, one decimal below, written without the locale's separator.
  const char* units[] = {"bytes", "KB", "MB", "GB", "TB", "PB", "EB"};
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  std::size_t unit = 1;
  std::uint64_t scale = 1024;
  while (bytes / scale >= 1024 && unit + 1 < std::size(units)) {
    scale *= 1024;
    ++unit;
  }
  const std::uint64_t tenths = bytes / scale * 10 + (bytes % scale * 10 + scale / 2) / scale;
  if (tenths < 100) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + units[unit];
  }
  return std::to_string((tenths + 5) / 10) + " " + units[unit];
}
