#include "ProgressLine.h"

#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <algorithm>
#include <cmath>
#include <cstdio>

std::string ProgressLine::clock(double seconds) {
  const auto whole = static_cast<long long>(std::llround(std::max(seconds, 0.0)));
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

void ProgressLine::operator()(std::int64_t done, std::int64_t total) {
  const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
  const std::int64_t percent = total > 0 ? done * 100 / total : 100;
  std::string line = "\r" + what_ + ": " + std::to_string(done) + " of " + std::to_string(total) +
                     " (" + std::to_string(percent) + "%), " + clock(elapsed) + " elapsed";
  if (done > 0 && done < total) {
    const double left = elapsed * static_cast<double>(total - done) / static_cast<double>(done);
    line += ", about " + clock(left) + " left";
  }
  out_ << line << "\x1b[K" << (done == total ? "\n" : "") << std::flush;
}

bool errorsReachTerminal(ErrorsShownBy shownBy) {
  if (::isatty(STDERR_FILENO) != 0) return true;
  if (shownBy == ErrorsShownBy::Self) return false;
  const std::string launcher = "/proc/" + std::to_string(::getppid()) + "/fd/2";
  const int fd = ::open(launcher.c_str(), O_WRONLY | O_NOCTTY);
  if (fd < 0) return false;
  const bool terminal = ::isatty(fd) != 0;
  ::close(fd);
  return terminal;
}

std::function<void(std::int64_t, std::int64_t)> progressOnTerminal(bool quiet,
                                                                   const std::string& what,
                                                                   ErrorsShownBy shownBy) {
  if (quiet || !errorsReachTerminal(shownBy)) return {};
  return ProgressLine(std::cerr, what);
}
