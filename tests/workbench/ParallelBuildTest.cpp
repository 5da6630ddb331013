// A build writes the same bytes at any thread count and with either search kernel, and a
// cancelled build writes nothing.
#include <gtest/gtest.h>

#include <atomic>

#include "BuildModel.h"
#include "GeneratedTable.h"
#include "LadError.h"
#include "SampleTable.h"
#include "TempDir.h"

namespace {

class ParallelBuild : public TempDirTest {
 protected:
  // The four files of a build, in file order.
  std::vector<std::string> build(const LearningParameters& parameters, const std::string& table,
                                 int threads, SearchKernel kernel) {
    BuildOptions options;
    options.control.threads = threads;
    options.control.kernel = kernel;
    runBuildModel(parameters, table, path("M"), nullptr, options);
    std::vector<std::string> files;
    for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"}) files.push_back(read(path("M") + ext));
    return files;
  }
};

}  // namespace

TEST_F(ParallelBuild, SameFilesAtEveryThreadCountAndWithEitherKernel) {
  struct Case {
    std::string table;
    LearningParameters parameters;
  };
  const LearningParameters strict{6, 3, 0.8, 0.05, 0.2, 0.05};
  LearningParameters degreeFour;
  degreeFour.gridSize = 4;
  degreeFour.degree = 4;
  const Case cases[] = {{sampleTable(), LearningParameters{}},
                        {generatedTable(150, 10, 7), strict},
                        {generatedTable(60, 7, 9), degreeFour}};
  for (const Case& c : cases) {
    const auto expected = build(c.parameters, c.table, 1, SearchKernel::Fast);
    EXPECT_GT(expected[2].size(), 1000u);  // patterns were found
    for (const int threads : {2, 3}) {
      EXPECT_EQ(build(c.parameters, c.table, threads, SearchKernel::Fast), expected) << threads;
    }
    EXPECT_EQ(build(c.parameters, c.table, 2, SearchKernel::Literal), expected) << "literal";
  }
}

TEST_F(ParallelBuild, CancelledBuildLeavesEarlierFilesAsTheyWere) {
  for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"}) write(path("M") + ext, "earlier");
  std::atomic<bool> cancel{false};
  BuildOptions options;
  options.control.cancel = &cancel;
  options.control.progress = [&](std::int64_t, std::int64_t) { cancel = true; };
  LearningParameters parameters;
  parameters.degree = 3;
  EXPECT_THROW(
      {
        try {
          runBuildModel(parameters, generatedTable(100, 9, 3), path("M"), nullptr, options);
        } catch (const LadError& e) {
          EXPECT_STREQ(e.what(), "Build cancelled");
          throw;
        }
      },
      LadError);
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    ++entries;
    EXPECT_EQ(read(entry.path().string()), "earlier") << entry.path();
  }
  EXPECT_EQ(entries, 4u);  // and no temporary file
}

// Cancel is honoured until the files are put in place: after the search (while the files are
// written) it still leaves the earlier files as they were; once the first file is in place the
// set is finished, so that a model is never half replaced.
TEST_F(ParallelBuild, CancelHonouredUntilTheFilesArePutInPlace) {
  const auto earlier = [&] {
    for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"}) write(path("M") + ext, "earlier");
  };
  earlier();
  std::atomic<bool> cancel{false};
  BuildOptions options;
  options.control.cancel = &cancel;
  options.control.threads = 1;
  // The search is complete when its progress says so: the files are yet to be written.
  options.control.progress = [&](std::int64_t done, std::int64_t total) {
    if (done >= total) cancel = true;
  };
  try {
    runBuildModel(LearningParameters{}, sampleTable(), path("M"), nullptr, options);
    ADD_FAILURE() << "a build cancelled after its search went on";
  } catch (const LadError& e) {
    EXPECT_STREQ(e.what(), "Build cancelled");
  }
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    ++entries;
    EXPECT_EQ(read(entry.path().string()), "earlier") << entry.path();
  }
  EXPECT_EQ(entries, 4u);

  // A cancel that comes once the first file is in place finds the renames begun: all four
  // files are of the new model.
  cancel = false;
  options.control.progress = nullptr;
  std::vector<std::string> written;
  runBuildModel(
      LearningParameters{}, sampleTable(), path("M"),
      [&](ModelFileKind, const std::string& filename) {
        written.push_back(filename);
        cancel = true;
      },
      options);
  EXPECT_EQ(written.size(), 4u);
  for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"})
    EXPECT_NE(read(path("M") + ext), "earlier");
}
