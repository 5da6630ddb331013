#include "ModelExportFiles.h"

#include <filesystem>

#include "LadError.h"
#include "LineFile.h"
#include "ModelFiles.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code errorA;
  std::error_code errorB;
  const auto pathA = std::filesystem::weakly_canonical(a, errorA);
  const auto pathB = std::filesystem::weakly_canonical(b, errorB);
  return !errorA && !errorB && pathA == pathB;
}

void refuseModelFile(const std::string& file, const std::string& modelName) {
  for (const ModelFileKind kind : kModelFileKinds) {
    const std::string modelFile = modelFileName(modelName, kind);
    if (sameFile(file, modelFile)) {
      throw LadError("The export would overwrite " + modelFile +
                     ", a file of the model itself; choose another output name");
    }
  }
}

}  // namespace

std::string exportHeaderFileFor(const std::string& output) {
  return (endsWith(output, ".c") ? output.substr(0, output.size() - 2) : output) + ".h";
}

std::vector<std::string> writeExportFiles(const ModelRules& rules, ExportLanguage language,
                                          const std::string& modelName, const std::string& output,
                                          const std::atomic<bool>* cancel) {
  if (language == ExportLanguage::C && endsWith(output, ".h")) {
    throw LadError("The C file " + quotedForMessage(output) +
                   " would be named like a header; give a name ending in .c (its header is "
                   "written beside it)");
  }
  const std::string header = exportHeaderFileFor(output);
  refuseModelFile(output, modelName);
  if (language == ExportLanguage::C) refuseModelFile(header, modelName);
  const std::string headerName = std::filesystem::path(header).filename().string();
  LineFileWriter code(output, cancel);
  writeExport(
      rules, language, modelName, [&](std::string_view piece) { code.write(piece); },
      language == ExportLanguage::C ? headerName : "");
  if (language != ExportLanguage::C) {
    code.commit();
    return {output};
  }
  LineFileWriter declarations(header, cancel);
  declarations.write(cHeader(rules, modelName, headerName));
  code.finish();
  declarations.finish();
  declarations.publish();
  code.publish();
  return {header, output};
}
