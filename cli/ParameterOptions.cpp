#include "ParameterOptions.h"

#include <charconv>

#include "LadError.h"
#include "NumberText.h"

namespace {

std::vector<std::int32_t> readDegrees(const std::string& text) {
  std::vector<std::int32_t> degrees;
  for (const std::string& word : listWords(text)) {
    std::int32_t d = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), d);
    if (error != std::errc() || end != word.data() + word.size() || d < 1) {
      throw ParameterError(ParameterField::Degree,
                           quotedForMessage(word) +
                               " is not a degree; give whole numbers of at least 1, such as 2;3");
    }
    degrees.push_back(d);
  }
  if (degrees.empty()) throw ParameterError(ParameterField::Degree, "the list of values is empty");
  return degrees;
}

std::vector<Discretization> readDiscretizations(const std::string& text) {
  std::vector<Discretization> out;
  for (const std::string& word : listWords(text)) {
    if (word == "equal-frequency") {
      out.push_back(Discretization::EqualFrequency);
    } else if (word == "class-aware") {
      out.push_back(Discretization::ClassAware);
    } else {
      throw LadError("--discretize: " + quotedForMessage(word) +
                     " is not a way to choose cut points; use equal-frequency or class-aware");
    }
  }
  if (out.empty()) throw LadError("--discretize: the list of values is empty");
  return out;
}

std::vector<std::int32_t> readSelections(const std::string& text) {
  std::vector<std::int32_t> out;
  for (const std::string& word : listWords(text)) out.push_back(readSelection(word));
  if (out.empty()) throw LadError("--select: the list of values is empty");
  return out;
}

}  // namespace

void ParameterOptions::add(CLI::App* command, Form form, const NumberFormat& format) {
  // The shares are options of text: they are read in the number format of LC_NUMERIC, which
  // the option parser knows nothing of.
  texts_ = parameterTexts(LearningParameters{}, format);
  const bool lists = form == Form::Lists;
  command->add_option("--grid-size", gridSize_, "at most this many bins per attribute")
      ->capture_default_str();
  CLI::Option* degree = command->add_option(
      "--degree", degrees_,
      lists ? "attributes per searched subset: the values to try, such as 2;3"
            : "attributes per searched subset");
  degree->capture_default_str();
  if (!lists) {
    // A whole number, as an integer option takes it; its range is checked with the others.
    degree->type_name("INT")->check(CLI::Validator(
        [](const std::string& text) {
          std::int32_t d = 0;
          const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), d);
          return error == std::errc() && end == text.data() + text.size() && !text.empty()
                     ? std::string()
                     : "Value " + text + " could not be converted";
        },
        ""));
  }
  CLI::Option* discretize = command->add_option(
      "--discretize", discretizations_,
      std::string("cut points: equal-frequency bins, or class-aware splits (minimum "
                  "description length), at most --grid-size bins each") +
          (lists ? "; the values to try" : ""));
  discretize->capture_default_str();
  if (!lists) discretize->check(CLI::IsMember({"equal-frequency", "class-aware"}));
  command
      ->add_option("--select", selections_,
                   std::string("none: keep every pattern; cover:K: keep only patterns enough "
                               "that each training observation stays covered K times (or as "
                               "often as before, if less)") +
                       (lists ? "; the values to try, such as none;cover:3" : ""))
      ->capture_default_str();
  if (lists) return;
  command->add_option("--positive-homogeneity", texts_.positiveHomogeneity)->capture_default_str();
  command->add_option("--positive-prevalence", texts_.positivePrevalence)->capture_default_str();
  command->add_option("--negative-homogeneity", texts_.negativeHomogeneity)->capture_default_str();
  command->add_option("--negative-prevalence", texts_.negativePrevalence)->capture_default_str();
}

ParameterTexts ParameterOptions::texts() const {
  ParameterTexts texts = texts_;
  texts.gridSize = integerText(gridSize_);
  texts.degree = listWords(degrees_).empty() ? degrees_ : listWords(degrees_).front();
  return texts;
}

LearningParameters ParameterOptions::read(const NumberFormat& format) const {
  LearningParameters parameters = readParameters(texts(), format);
  parameters.discretization = readDiscretizations(discretizations_).front();
  parameters.coverTarget = readSelections(selections_).front();
  return parameters;
}

void ParameterOptions::readLists(TuningGrid& grid) const {
  grid.degrees = readDegrees(degrees_);
  grid.discretizations = readDiscretizations(discretizations_);
  grid.coverTargets = readSelections(selections_);
}

std::int32_t readSelection(const std::string& text) {
  if (text == "none") return 0;
  const std::string prefix = "cover:";
  if (text.rfind(prefix, 0) == 0) {
    const std::string count = text.substr(prefix.size());
    std::int32_t k = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), k);
    if (error == std::errc() && end == count.data() + count.size() && !count.empty() && k >= 1) {
      return k;
    }
  }
  throw LadError("--select: " + quotedForMessage(text) +
                 " is not a selection; use none, or cover:K with K a whole number of at "
                 "least 1 (cover:3 keeps each training observation covered three times)");
}
