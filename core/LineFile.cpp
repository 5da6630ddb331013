#include "LineFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "LadError.h"

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::string temporaryName(const std::string& filename) {
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<int> draw(0, 999999999);
  return filename + "_" + std::to_string(draw(generator));
}

[[noreturn]] void failToWrite(const std::string& filename, int error) {
  throw EInOutError("Cannot write file \"" + fullPath(filename) + "\". " + std::strerror(error));
}

}  // namespace

std::string fullPath(const std::string& filename) {
  std::error_code ec;
  const auto path = std::filesystem::absolute(filename, ec);
  return ec ? filename : path.lexically_normal().string();
}

void failToOpen(const std::string& filename, int error) {
  throw EInOutError("Cannot open file \"" + fullPath(filename) + "\". " + std::strerror(error));
}

std::string readFileBytes(const std::string& filename) {
  FileHandle file(std::fopen(filename.c_str(), "rb"));
  if (!file) failToOpen(filename, errno);
  std::string content;
  char buffer[65536];
  std::size_t got = 0;
  errno = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, got);
  if (std::ferror(file.get())) failToOpen(filename, errno != 0 ? errno : EIO);
  return content;
}

std::vector<std::string> readLineFile(const std::string& filename) {
  const std::string content = readFileBytes(filename);

  std::vector<std::string> lines;
  std::string line;
  bool open = false;  // a line has started and not yet ended
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      open = false;
    } else {
      open = true;
      if (c != '\r') line += c;
    }
  }
  if (open) lines.push_back(std::move(line));
  return lines;
}

LineFileWriter::LineFileWriter(std::string filename)
    : filename_(std::move(filename)), temporary_(temporaryName(filename_)) {
  fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) failToWrite(filename_, errno);
  buffer_.reserve(kBufferSize);
}

LineFileWriter::~LineFileWriter() {
  if (fd_ >= 0) {
    ::close(fd_);
    std::remove(temporary_.c_str());
  }
}

void LineFileWriter::write(std::string_view text) {
  buffer_.append(text);
  if (buffer_.size() >= kBufferSize) flushBuffer();
}

void LineFileWriter::writeLine(std::string_view line) {
  write(line);
  endLine();
}

void LineFileWriter::flushBuffer() {
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ::ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<std::size_t>(wrote);
  }
  buffer_.clear();
}

void LineFileWriter::commit() {
  flushBuffer();
  if (::fsync(fd_) != 0) fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int error = errno;
    std::remove(temporary_.c_str());
    failToWrite(filename_, error);
  }
  if (std::rename(temporary_.c_str(), filename_.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary_.c_str());
    failToWrite(filename_, error);
  }
}

void LineFileWriter::fail(int error) {
  ::close(fd_);
  fd_ = -1;
  std::remove(temporary_.c_str());
  failToWrite(filename_, error);
}

void writeLineFile(const std::string& filename, const std::vector<std::string>& lines) {
  LineFileWriter writer(filename);
  for (const std::string& line : lines) writer.writeLine(line);
  writer.commit();
}
