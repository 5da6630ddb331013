// Fuzzes the NAME.MOD reader. A model file is either refused with a LadError or read into a
// model whose saved text is a fixed point: it loads again and saves to the same bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "LadError.h"
#include "ModelFile.h"

namespace {

void save(const Model& model, const std::string& filename) {
  LineFileWriter out(filename);
  writeModelFile(model, out);
  out.commit();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string input = scratchFolder() + "/input.MOD";
  static const std::string first = scratchFolder() + "/first.MOD";
  static const std::string second = scratchFolder() + "/second.MOD";
  writeBytes(input, std::string(reinterpret_cast<const char*>(data), size));

  const NumberFormat format;
  std::optional<Model> model;
  try {
    model.emplace(readModelFile(input, format));
  } catch (const LadError&) {
    return 0;
  }
  // Saving a model that loaded is no place to fail: anything it raises escapes as a finding.
  save(*model, first);
  const std::string firstText = readBytes(first);

  try {
    save(readModelFile(first, format), second);
  } catch (const LadError& e) {
    propertyFailed(std::string("the saved model does not load again: ") + e.what() +
                   "\n--- saved text:\n" + firstText);
  }
  const std::string secondText = readBytes(second);
  if (secondText != firstText) {
    propertyFailed("save -> load -> save changed the model text\n--- first save:\n" + firstText +
                   "\n--- second save:\n" + secondText);
  }
  return 0;
}
