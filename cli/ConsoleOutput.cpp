#include "ConsoleOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "LadError.h"

void printWarning(const std::string& text) {
  std::cerr << "Warning: " << messageWithFullStop(text) << "\n";
}

void printNote(const std::string& text) { std::cerr << messageWithFullStop(text) << "\n"; }

void printFileWritten(ModelFileKind /*kind*/, const std::string& filename) {
  std::cout << filename << "\n";
}

void printSelection(const SelectionCounts& counts) {
  std::cout << "Patterns kept by the selection: " << counts.positiveKept << " of "
            << counts.positiveFound << " positive, " << counts.negativeKept << " of "
            << counts.negativeFound << " negative\n";
}

void printPatternCounts(const PatternCounts& counts) {
  std::cout << "Positive Patterns Found: " << counts.positive << "\n"
            << "Negative Patterns Found: " << counts.negative << "\n";
}

namespace {

// Writes what it holds to file descriptor 1 when full and on flush; the first failure stops
// all later writes and keeps its errno.
class DescriptorBuffer : public std::streambuf {
 public:
  DescriptorBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }
  int failure() const { return failure_; }

 protected:
  int_type overflow(int_type c) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return drain() ? 0 : -1; }

 private:
  bool drain() {
    const char* next = pbase();
    while (failure_ == 0 && next < pptr()) {
      const ::ssize_t wrote = ::write(STDOUT_FILENO, next, static_cast<std::size_t>(pptr() - next));
      if (wrote < 0 && errno != EINTR) failure_ = errno;
      if (wrote > 0) next += wrote;
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    return failure_ == 0;
  }

  char buffer_[1 << 16];
  int failure_ = 0;
};

DescriptorBuffer standardOutputBuffer;

}  // namespace

StandardOutput::StandardOutput() : previous_(std::cout.rdbuf(&standardOutputBuffer)) {}

StandardOutput::~StandardOutput() {
  std::cout.flush();
  std::cout.rdbuf(previous_);
}

void requireStandardOutput() {
  const int failure = standardOutputBuffer.failure();
  if (failure == 0 && std::cout.good()) return;
  throw LadError(std::string("Cannot write standard output: ") +
                 std::strerror(failure != 0 ? failure : EIO));
}

void finishStandardOutput() {
  std::cout.flush();
  requireStandardOutput();
}
