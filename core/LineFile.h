// The line file: one entry per line, lines ending CR LF, 8-bit text without a byte-order mark.
#pragma once

#include <string>
#include <vector>

// The lines of a file. A line ends at LF or CR LF; a CR not followed by LF is left out; the
// last line needs no end, and a final line end adds no empty line. Raises EInOutError
// "Cannot open file "PATH". REASON" when the file cannot be opened or read.
std::vector<std::string> readLineFile(const std::string& filename);

// Writes the lines, each followed by CR LF, so that the target is never half-written: into
// a temporary file TARGET_<random> that is flushed to disk and then renamed over the target
// in one step. On any failure the temporary file is removed, the target keeps its old
// content, and EInOutError "Cannot write file "PATH". REASON" is raised.
void writeLineFile(const std::string& filename, const std::vector<std::string>& lines);

// The whole content of a file; EInOutError as readLineFile.
std::string readFileBytes(const std::string& filename);

// The full path of a file name, for messages.
std::string fullPath(const std::string& filename);

// "Cannot open file "PATH". REASON" for the current errno.
[[noreturn]] void failToOpen(const std::string& filename, int error);
