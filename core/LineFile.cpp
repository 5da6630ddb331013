#include "LineFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

constexpr std::size_t kNameMax = 255;  // bytes of one file name
constexpr std::size_t kRandomDigits = 9;

// The file a save replaces: the target, or the file a symbolic link at the target points to,
// so that the link stays a link.
std::filesystem::path finalTarget(const std::string& filename) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target(filename);
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
    const fs::path next = fs::read_symlink(target, ec);
    if (ec) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

// The start of the temporary names of a target's saves: its file name, cut so that the
// whole temporary name fits in a file name, and "_".
std::string temporaryPrefix(const std::filesystem::path& target) {
  std::string name = target.filename().string();
  const std::size_t room = kNameMax - 1 - kRandomDigits;
  if (name.size() > room) {
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0u) == 0x80u) --cut;
    name.resize(cut);
  }
  return name + "_";
}

std::string temporaryName(const std::filesystem::path& target) {
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<int> draw(0, 999999999);
  std::string digits = std::to_string(draw(generator));
  digits.insert(0, kRandomDigits - digits.size(), '0');
  return (target.parent_path() / (temporaryPrefix(target) + digits)).string();
}

// Removes the temporary files that an interrupted save of the same target left: its prefix
// and exactly nine digits, and no writer holding its lock. The lock is taken before the file
// goes, so a writer that has just created its file and not yet locked it sees it gone.
void removeStaleTemporaries(const std::filesystem::path& target) {
  namespace fs = std::filesystem;
  const std::string prefix = temporaryPrefix(target);
  std::error_code ec;
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != prefix.size() + kRandomDigits || name.rfind(prefix, 0) != 0) continue;
    if (name.find_first_not_of("0123456789", prefix.size()) != std::string::npos) continue;
    std::error_code ignored;
    if (!it->is_regular_file(ignored)) continue;
    const int fd = ::open(it->path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) fs::remove(it->path(), ignored);
    ::close(fd);
  }
}

// Whether the target exists and is something a rename must not replace: a device, a FIFO or
// a socket (a folder is left to the rename, which refuses it).
bool writtenThrough(const std::string& filename) {
  struct stat status {};
  return ::stat(filename.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
         !S_ISDIR(status.st_mode);
}

// Creates and locks a fresh temporary file for the target; a file that a cleaner removed
// between its creation and its lock is made again under another name. On a file system
// without locks the file stays unlocked, and cleaners, which cannot lock it either, leave it.
int createLockedTemporary(const std::filesystem::path& target, std::string& temporary) {
  for (;;) {
    temporary = temporaryName(target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    int locked = 0;
    do {
      locked = ::flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    struct stat status {};
    if (locked != 0 || (::fstat(fd, &status) == 0 && status.st_nlink > 0)) return fd;
    ::close(fd);
  }
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

LineFileWriter::LineFileWriter(std::string filename, const std::atomic<bool>* cancel)
    : filename_(std::move(filename)), cancel_(cancel) {
  buffer_.reserve(kBufferSize);
  if (writtenThrough(filename_)) {
    direct_ = true;
    fd_ = ::open(filename_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) failToWrite(filename_, errno);
    return;
  }
  const std::filesystem::path target = finalTarget(filename_);
  target_ = target.string();
  removeStaleTemporaries(target);
  fd_ = createLockedTemporary(target, temporary_);
  if (fd_ < 0) {
    temporary_.clear();
    failToWrite(filename_, errno);
  }
  lockFd_ = ::dup(fd_);  // the same open file, so the same lock
  if (lockFd_ < 0) fail(errno);
  // A replaced file keeps its permission bits.
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (::fchmod(fd_, old.st_mode & 07777) != 0) fail(errno);
  }
}

LineFileWriter::~LineFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!published_) removeTemporary();
  if (lockFd_ >= 0) ::close(lockFd_);
}

void LineFileWriter::removeTemporary() {
  if (!temporary_.empty()) std::remove(temporary_.c_str());
  temporary_.clear();
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
  if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) {
    ::close(fd_);
    fd_ = -1;
    removeTemporary();
    throw LadError("Cancelled");
  }
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ::ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<std::size_t>(wrote);
  }
#ifdef SYNC_FILE_RANGE_WRITE
  // The disk starts on what was just written while the rest is still being formatted, so
  // that the fsync at the end waits for little. A failure here only loses that head start:
  // the fsync still reports any error.
  if (!direct_) {
    ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(buffer_.size()),
                      SYNC_FILE_RANGE_WRITE);
  }
#endif
  written_ += buffer_.size();
  buffer_.clear();
}

void LineFileWriter::finish() {
  if (finished_) return;
  flushBuffer();
#ifndef LAD_SKIP_FSYNC  // set only by the fuzz build, whose files live in memory
  // A device or FIFO written through has nothing to flush to a disk.
  if (!direct_ && ::fsync(fd_) != 0) fail(errno);
#endif
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail(errno);
  finished_ = true;
}

void LineFileWriter::publish() {
  finish();
  if (!direct_ && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    removeTemporary();
    failToWrite(filename_, error);
  }
  published_ = true;
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
}

void LineFileWriter::fail(int error) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  removeTemporary();
  failToWrite(filename_, error);
}

void writeLineFile(const std::string& filename, const std::vector<std::string>& lines) {
  LineFileWriter writer(filename);
  for (const std::string& line : lines) writer.writeLine(line);
  writer.commit();
}
