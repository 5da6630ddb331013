// A model's export written to files by the safe save: the code file and, for C, its header
// beside it.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "ModelExport.h"

// The header of a C file: FILE.c gives FILE.h; any other name gets ".h" added.
std::string exportHeaderFileFor(const std::string& output);

// Writes the export of `rules` in `language` to `output` (and, for C, the header beside it),
// each written beside its target and put in place only when complete. Refuses an output that
// is one of the model's own files (NAME.MOD, ...) and a C file named like a header, before
// anything is written. Returns the files put in place, the code file last.
std::vector<std::string> writeExportFiles(const ModelRules& rules, ExportLanguage language,
                                          const std::string& modelName, const std::string& output,
                                          const std::atomic<bool>* cancel = nullptr);
