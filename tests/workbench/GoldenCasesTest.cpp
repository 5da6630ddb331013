// Every folder of tests/data holds a table, its parameters and the expected model files and
// forecast. Once verified they are frozen: every change must keep them byte-identical.
#include <gtest/gtest.h>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "TestLists.h"
#include "TempDir.h"
#include "TextFile.h"

namespace fs = std::filesystem;

namespace {

// The parameters of a case, as the window's boxes would hold them, read as the window reads
// them.
LearningParameters parametersOfCase(const fs::path& file) {
  ParameterTexts parameters;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = textBeforeEquals(line);
    const std::string value = line.substr(line.find('=') + 1);
    if (key == "grid-size") parameters.gridSize = value;
    if (key == "degree") parameters.degree = value;
    if (key == "positive-homogeneity") parameters.positiveHomogeneity = value;
    if (key == "positive-prevalence") parameters.positivePrevalence = value;
    if (key == "negative-homogeneity") parameters.negativeHomogeneity = value;
    if (key == "negative-prevalence") parameters.negativePrevalence = value;
  }
  return readParameters(parameters, NumberFormat{});
}

class GoldenCases : public TempDirTest {};

}  // namespace

TEST_F(GoldenCases, BuildAndApplyReproduceTheFrozenFiles) {
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(LAD_TEST_DATA_DIR)) {
    if (!entry.is_directory()) continue;
    ++cases;
    const fs::path expected = entry.path();
    SCOPED_TRACE(expected.filename().string());
    const std::string table = readTextFile((expected / "table.txt").string());
    runBuildModel(parametersOfCase(expected / "parameters.txt"), table, path("LAD"), nullptr);
    for (const char* file : {"LAD.MOD", "LAD.PAT", "LAD.DES", "LAD.GRD"}) {
      EXPECT_EQ(read(path(file)), read((expected / file).string())) << file;
    }
    std::string forecast;
    ApplyReport report;
    report.forecastLine = [&](const std::string& line) { forecast += line + "\n"; };
    runApplyModel(path("LAD"), table, report, NumberFormat{});
    EXPECT_EQ(forecast, read((expected / "forecast.txt").string()));
  }
  EXPECT_GE(cases, 3);
}
