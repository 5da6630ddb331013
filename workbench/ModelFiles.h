// The four files of a model named NAME, and the name behind a chosen model file.
#pragma once

#include <array>
#include <string>

enum class ModelFileKind { Model, PatternSpace, PatternDescription, Discretized };

// NAME.MOD, NAME.PAT, NAME.DES and NAME.GRD, relative to the current folder unless NAME
// holds a folder.
std::string modelFileName(const std::string& name, ModelFileKind kind);
constexpr std::array<ModelFileKind, 4> kModelFileKinds = {
    ModelFileKind::Model, ModelFileKind::PatternSpace, ModelFileKind::PatternDescription,
    ModelFileKind::Discretized};

// The model name of a chosen file: its name without the folder and without a trailing ".MOD"
// (A.MODEL.MOD gives A.MODEL; a name without ".MOD" at its end is taken whole).
std::string modelNameOfFile(const std::string& path);
