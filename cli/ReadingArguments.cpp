#include "ReadingArguments.h"

#include "LadError.h"

void ReadingArguments::add(CLI::App* command) {
  command->add_option("--class", options_.classColumn,
                      "the class column, by name or number from 1 (default: the column named "
                      "Class, else the last)");
  command->add_option("--id", options_.idColumn,
                      "the column that names the rows, by name or number, or none (default: the "
                      "first)");
  command
      ->add_option("--ignore", options_.ignored, "columns that are neither attribute, class nor id")
      ->delimiter(',');
  command
      ->add_option("--categorical", options_.categorical,
                   "columns read as categories even when their values are numbers")
      ->delimiter(',');
  command->add_option("--positive", options_.positive,
                      "the positive class, for classes other than 0 and 1 (with more than two "
                      "classes: that class against the rest)");
  command
      ->add_option("--missing", missing_,
                   "texts that mark a missing value, separated by commas (default: ?,NA; an "
                   "empty field is always missing)")
      ->each([this](const std::string&) { missingGiven_ = true; });
  command->add_option("--separator", separator_,
                      "the field separator: , ; or tab (default: found)");
}

ReadingOptions ReadingArguments::options() const {
  ReadingOptions options = options_;
  if (missingGiven_) {
    options.missingGiven = true;
    options.missing = {""};
    std::size_t start = 0;
    while (start <= missing_.size()) {
      const std::size_t comma = missing_.find(',', start);
      const std::string text =
          missing_.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      if (!text.empty()) options.missing.push_back(text);
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  if (separator_ == ",") {
    options.separator = ',';
  } else if (separator_ == ";") {
    options.separator = ';';
  } else if (separator_ == "tab" || separator_ == "\t") {
    options.separator = '\t';
  } else if (!separator_.empty()) {
    throw LadError("--separator " + quotedForMessage(separator_) +
                   " is not a separator this reads; give , or ; or tab");
  }
  return options;
}

std::string tableSource(const std::string& table) {
  if (table.empty()) return "The sample table";
  if (table == "-") return "Standard input";
  return table;
}
