// The line file: one entry per line, lines ending CR LF, 8-bit text without a byte-order mark.
#pragma once

#include <atomic>
#include <cstdint>
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
// replaced, as a user who writes through a link expects), and a replaced file keeps its
// permission bits. A target that exists and is neither a regular file nor a folder (a device
// such as /dev/null, a FIFO) is written through and never replaced. The writer holds an
// flock on its temporary file until it is published or removed; a save removes the
// temporary files of the same target whose writer no longer holds that lock (left by a save
// that was killed), never those of a save still running. When the cancel flag is set the
// writing stops at its next megabyte with LadError "Cancelled" and the temporary is removed.
// Other failures raise EInOutError "Cannot write file "PATH". REASON".
class LineFileWriter {
 public:
  explicit LineFileWriter(std::string filename, const std::atomic<bool>* cancel = nullptr);
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
  void removeTemporary();
  [[noreturn]] void fail(int error);

  std::string filename_;
  std::string target_;
  std::string temporary_;
  bool direct_ = false;  // the target is written through, not replaced
  const std::atomic<bool>* cancel_ = nullptr;
  bool finished_ = false;
  bool published_ = false;
  int fd_ = -1;
  int lockFd_ = -1;            // keeps the temporary's flock from finish() to publish()
  std::uint64_t written_ = 0;  // bytes written to the file so far
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
