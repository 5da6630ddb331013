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

void writeLineFile(const std::string& filename, const std::vector<std::string>& lines) {
  const std::string temporary = temporaryName(filename);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) failToWrite(filename, errno);
  FileHandle file(::fdopen(fd, "wb"));
  if (!file) {
    const int error = errno;
    ::close(fd);
    std::remove(temporary.c_str());
    failToWrite(filename, error);
  }
  auto fail = [&](int error) {
    file.reset();
    std::remove(temporary.c_str());
    failToWrite(filename, error);
  };
  for (const std::string& line : lines) {
    if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size() ||
        std::fwrite("\r\n", 1, 2, file.get()) != 2) {
      fail(errno);
    }
  }
  if (std::fflush(file.get()) != 0 || ::fsync(::fileno(file.get())) != 0) fail(errno);
  if (std::fclose(file.release()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    failToWrite(filename, error);
  }
  if (std::rename(temporary.c_str(), filename.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    failToWrite(filename, error);
  }
}
