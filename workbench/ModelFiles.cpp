#include "ModelFiles.h"

#include <filesystem>

std::string modelFileName(const std::string& name, ModelFileKind kind) {
  switch (kind) {
    case ModelFileKind::Model:
      return name + ".MOD";
    case ModelFileKind::PatternSpace:
      return name + ".PAT";
    case ModelFileKind::PatternDescription:
      return name + ".DES";
    case ModelFileKind::Discretized:
      break;
  }
  return name + ".GRD";
}

std::string modelNameOfFile(const std::string& path) {
  std::string name = std::filesystem::path(path).filename().string();
  const std::string suffix = ".MOD";
  if (name.size() >= suffix.size() &&
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
    name.erase(name.size() - suffix.size());
  }
  return name;
}
