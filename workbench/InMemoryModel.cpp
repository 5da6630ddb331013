#include "InMemoryModel.h"

#include <stdlib.h>
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "ApplyModel.h"
#include "LadError.h"
#include "LineFile.h"
#include "ModelBuilding.h"
#include "ModelFile.h"
#include "NumberText.h"

namespace {

// A folder of its own under the system's temporary folder, removed with everything in it when
// the value goes. NAME.MOD is only ever read and written as a file, so a model's text passes
// through one.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lad-model-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) failToOpen(pattern, errno);
    path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The message with every mention of `from` replaced by `to`.
std::string renamed(std::string message, const std::string& from, const std::string& to) {
  for (std::size_t at = message.find(from); at != std::string::npos;
       at = message.find(from, at + to.size())) {
    message.replace(at, from.size(), to);
  }
  return message;
}

}  // namespace

std::string tableTextOfValues(const std::vector<std::string>& names, const double* values,
                              std::size_t rows, const int* classes, const NumberFormat& format) {
  std::string text = "Name";
  for (std::size_t k = 0; k < names.size(); ++k) {
    if (names[k].find(',') != std::string::npos) {
      throw LadError("Attribute " + integerText(static_cast<std::int64_t>(k + 1)) + " is named " +
                     quotedForMessage(names[k]) + "; a name may hold no comma");
    }
    text += "," + names[k];
  }
  text += ",Class\n";
  const std::size_t columns = names.size();
  for (std::size_t r = 0; r < rows; ++r) {
    if (classes[r] != 0 && classes[r] != 1) {
      throw LadError("Row " + integerText(static_cast<std::int64_t>(r + 1)) + " has the class " +
                     integerText(classes[r]) + "; a class is 0 or 1");
    }
    text += integerText(static_cast<std::int64_t>(r + 1));
    for (std::size_t k = 0; k < columns; ++k) {
      text += ",";
      text += exactNumberText(values[r * columns + k], format);
    }
    text += classes[r] == 1 ? ",1\n" : ",0\n";
  }
  return text;
}

BuiltModel buildModelInMemory(const LearningParameters& parameters, const std::string& tableText,
                              const BuildOptions& options) {
  // The model name is only checked, never used: nothing is written here.
  BuiltModel built;
  BuildOptions plain = options;
  plain.plainTable = true;
  built.table = prepareBuild(parameters, tableText, kDefaultModelName, plain);
  built.parameters = parameters;
  built.model = std::make_shared<const Model>(buildModel(built.table, parameters, options.control));
  if (options.control.cancelled()) throw LadError("Build cancelled");
  return built;
}

std::size_t modelAttributeCount(const Model& model) {
  return model.cutpoints().size();
}

void scoreRows(const Model& model, const double* values, std::size_t rows, std::size_t columns,
               double* scores, int threads) {
  requireAttributeColumns(model, static_cast<std::int32_t>(columns));
  tbb::task_arena arena(threads > 0 ? threads : tbb::task_arena::automatic);
  arena.execute([&] {
    tbb::parallel_for(tbb::blocked_range<std::size_t>(0, rows, 64),
                      [&](const tbb::blocked_range<std::size_t>& range) {
                        // As Apply Model reads a line: one value per column, the rest 0.
                        arrreal point(std::max(columns, model.cutpoints().size()), 0.0);
                        for (std::size_t r = range.begin(); r != range.end(); ++r) {
                          std::copy(values + r * columns, values + (r + 1) * columns,
                                    point.begin());
                          scores[r] = model.score(point);
                        }
                      });
  });
}

std::string modelText(const Model& model) {
  const ScratchFolder scratch;
  const std::string filename = scratch.file("model.MOD");
  LineFileWriter out(filename);
  writeModelFile(model, out);
  out.commit();
  return readFileBytes(filename);
}

std::shared_ptr<const Model> modelFromText(const std::string& text, const NumberFormat& format,
                                           const std::string& source) {
  const ScratchFolder scratch;
  const std::string filename = scratch.file("model.MOD");
  {
    std::ofstream out(filename, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw EInOutError("Cannot write file \"" + filename + "\"");
  }
  try {
    return loadModel(scratch.file("model"), format);
  } catch (const EConvertError& e) {
    throw EConvertError(renamed(e.what(), filename, source));
  } catch (const LadError& e) {
    throw LadError(renamed(e.what(), filename, source));
  }
}
