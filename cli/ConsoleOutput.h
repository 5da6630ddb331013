// What the command-line programs print, the same way in each: warnings on standard error,
// the files of a build as each is put in place, and its pattern counts.
#pragma once

#include <streambuf>
#include <string>

#include "BuildModel.h"
#include "PatternSelection.h"

// "Warning: TEXT." on standard error.
// A note on standard error: what the reading decided, or a class's model.
void printNote(const std::string& text);
void printWarning(const std::string& text);
// A model file's name on standard output, as a FileWritten callback.
void printFileWritten(ModelFileKind kind, const std::string& filename);
// "Patterns kept by the selection: P of P0 positive, N of N0 negative", on standard output.
void printSelection(const SelectionCounts& counts);
// "Positive Patterns Found: N" and "Negative Patterns Found: N".
void printPatternCounts(const PatternCounts& counts);

// Standard output (std::cout) through a buffer that writes to file descriptor 1 and keeps the
// reason of the first write that failed, for the checks below; in place while it lives, and
// flushed when it goes.
class StandardOutput {
 public:
  StandardOutput();
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;
  ~StandardOutput();

 private:
  std::streambuf* previous_;
};

// Raises "Cannot write standard output: REASON" once a write to standard output has failed
// (a full disk, /dev/full), so that output cut short never passes for a success.
void requireStandardOutput();
// Flushes standard output and checks it as requireStandardOutput does.
void finishStandardOutput();
