// The line file: one entry per line, lines ending CR LF, 8-bit text without a byte-order mark.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The lines of a file. A line ends at LF or CR LF; a CR not followed by LF is left out; the
// last line needs no end, and a final line end adds no empty line. Raises EInOutError
// "Cannot open file "PATH". REASON" when the file cannot be opened or read.
std::vector<std::string> readLineFile(const std::string& filename);

// Writes a line file line by line so that the target is never half-written: the lines go
// into a temporary file TARGET_<nine random digits> beside it, which finish() flushes to disk
// and publish() renames over the target in one step; commit() does both. On any failure, and
// when the writer goes away without publishing, the temporary file is removed and the target
// keeps its old content. A target that is a symbolic link stays one (the file it points to is
// replaced), and a replaced file keeps its permission bits. Temporary files that an earlier,
// interrupted save of the same target left are removed. Failures raise EInOutError
// "Cannot write file "PATH". REASON".
class LineFileWriter {
 public:
  explicit LineFileWriter(std::string filename);
  LineFileWriter(const LineFileWriter&) = delete;
  LineFileWriter& operator=(const LineFileWriter&) = delete;
  ~LineFileWriter();

  // Appends the text and then CR LF.
  void writeLine(std::string_view line);
  // Appends text to the current line, which writeLine or endLine ends.
  void write(std::string_view text);
  void endLine() { write("\r\n"); }
  void finish();
  void publish();
  void commit() { publish(); }

 private:
  void flushBuffer();
  [[noreturn]] void fail(int error);

  std::string filename_;
  std::string target_;
  std::string temporary_;
  bool finished_ = false;
  bool published_ = false;
  int fd_ = -1;
  std::string buffer_;
};

// Writes the lines, each followed by CR LF, by the safe save of LineFileWriter.
void writeLineFile(const std::string& filename, const std::vector<std::string>& lines);

// The whole content of a file; EInOutError as readLineFile.
std::string readFileBytes(const std::string& filename);

// The full path of a file name, for messages.
std::string fullPath(const std::string& filename);

// "Cannot open file "PATH". REASON" for the current errno.
[[noreturn]] void failToOpen(const std::string& filename, int error);
