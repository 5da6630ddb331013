#include <gtest/gtest.h>

#include <filesystem>

#include "SystemMemory.h"
#include "TempDir.h"

namespace {

class CgroupTest : public TempDirTest {
 protected:
  // Writes the files of one group under the fake root.
  void group(const std::string& folder,
             std::initializer_list<std::pair<const char*, const char*>> files) {
    std::filesystem::create_directories(dir.string() + folder);
    for (const auto& [name, text] : files) write(dir.string() + folder + "/" + name, text);
  }
  std::uint64_t room(const std::string& cgroup, const std::string& mountinfo) const {
    return cgroupMemoryRoom(cgroup, mountinfo, dir.string());
  }
};

const char* const kV1Mounts =
    "36 32 0:33 / /sys/fs/cgroup/memory rw,relatime - cgroup cgroup rw,memory\n"
    "37 32 0:34 / /sys/fs/cgroup/cpu rw,relatime - cgroup cgroup rw,cpu\n";
const char* const kV2Mount =
    "42 32 0:39 / /sys/fs/cgroup rw,nosuid shared:9 - cgroup2 cgroup2 rw\n";
constexpr std::uint64_t kMiB = 1 << 20;

}  // namespace

TEST_F(CgroupTest, V1TakesTheTightestGroupOnThePathLessItsUsage) {
  group("/sys/fs/cgroup/memory/jobs",
        {{"memory.limit_in_bytes", "1073741824\n"}, {"memory.usage_in_bytes", "104857600\n"}});
  // The "no limit" figure of v1, then a group whose inactive file cache counts as free.
  group("/sys/fs/cgroup/memory/jobs/one",
        {{"memory.limit_in_bytes", "9223372036854771712\n"}, {"memory.usage_in_bytes", "0\n"}});
  EXPECT_EQ(room("4:memory:/jobs/one\n1:cpu:/\n", kV1Mounts), 1024 * kMiB - 100 * kMiB);

  group("/sys/fs/cgroup/memory/jobs/one",
        {{"memory.limit_in_bytes", "524288000\n"},
         {"memory.usage_in_bytes", "314572800\n"},
         {"memory.stat", "cache 5\ntotal_inactive_file 104857600\n"}});
  EXPECT_EQ(room("4:memory:/jobs/one\n1:cpu:/\n", kV1Mounts), 500 * kMiB - 200 * kMiB);
}

TEST_F(CgroupTest, V2ReadsMemoryMaxAndSkipsGroupsWithoutALimit) {
  group("/sys/fs/cgroup/user.slice", {{"memory.max", "max\n"}, {"memory.current", "5\n"}});
  group("/sys/fs/cgroup/user.slice/job",
        {{"memory.max", "268435456\n"},
         {"memory.current", "201326592\n"},
         {"memory.stat", "anon 1\ninactive_file 67108864\nactive_file 3\n"}});
  EXPECT_EQ(room("0::/user.slice/job\n", kV2Mount), 256 * kMiB - 128 * kMiB);
  EXPECT_EQ(room("0::/user.slice\n", kV2Mount), 0u);  // "max": no limit
  // A group over its limit leaves next to nothing, not "unknown".
  group("/sys/fs/cgroup/user.slice/job", {{"memory.current", "999999999\n"}});
  EXPECT_EQ(room("0::/user.slice/job\n", kV2Mount), 1u);
}

TEST_F(CgroupTest, AMountOfPartOfTheHierarchyIsReadFromItsRoot) {
  // In a container the mount shows the container's group at the mount point.
  group("/sys/fs/cgroup", {{"memory.max", "104857600\n"}, {"memory.current", "0\n"}});
  EXPECT_EQ(
      room("0::/docker/abc\n", "50 40 0:30 /docker/abc /sys/fs/cgroup ro - cgroup2 cgroup2 rw\n"),
      100 * kMiB);
}

TEST_F(CgroupTest, NothingToReadGivesZero) {
  EXPECT_EQ(room("", ""), 0u);
  EXPECT_EQ(room("4:memory:/jobs\n", ""), 0u);      // not mounted
  EXPECT_EQ(room("1:cpu:/jobs\n", kV1Mounts), 0u);  // no memory controller
  EXPECT_EQ(room("0::/missing\n", kV2Mount), 0u);   // no files
}

TEST(SystemMemoryTest, ByteSizesShowTheirFigure) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "0 bytes"},         {1023, "1023 bytes"},        {1024, "1.0 KB"},
      {5000, "4.9 KB"},       {700 * 1024, "700 KB"},      {10 * kMiB - 1, "10 MB"},
      {2684354560, "2.5 GB"}, {~std::uint64_t{0}, "16 EB"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(byteSize(bytes), text) << bytes;
  EXPECT_GT(availableMemoryBytes(), 0u);
}
