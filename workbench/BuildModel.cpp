#include "BuildModel.h"

#include "LadError.h"

PatternCounts runBuildModel(const LearningParameters& parameters, const std::string& tableText,
                            const std::string& name, const FileWritten& fileWritten,
                            const BuildOptions& options) {
  const std::unique_ptr<TLAD> model = intake(parameters, tableText, options.format);
  model->buildModel(options.control);
  if (options.control.cancelled()) throw LadError("Build cancelled");

  auto write = [&](ModelFileKind kind, auto writer) {
    const std::string filename = modelFileName(name, kind);
    writer(filename);
    if (fileWritten) fileWritten(kind, filename);
  };
  write(ModelFileKind::Model, [&](const std::string& f) { model->save(f); });
  // The pattern space names the observations that the discretized report uses.
  write(ModelFileKind::PatternSpace, [&](const std::string& f) { model->savepatternspace(f); });
  write(ModelFileKind::PatternDescription,
        [&](const std::string& f) { model->savepatterndesc(f); });
  write(ModelFileKind::Discretized, [&](const std::string& f) { model->savedatagrid(f); });
  return {model->pospandect->size(), model->negpandect->size()};
}
