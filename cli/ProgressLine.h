// A command's progress as one terminal line that rewrites itself: steps done of all (the
// subsets of a build, the models of a cross-validation), the time since the start and an
// estimate of the time left.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>

// What a build's progress line says.
inline const std::string kSearchingSubsets = "Searching attribute subsets";

class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& out, std::string what = kSearchingSubsets)
      : out_(out), what_(std::move(what)), start_(Clock::now()) {}
  void operator()(std::int64_t done, std::int64_t total);

  // "1:05" or "1:02:05".
  static std::string clock(double seconds);

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& out_;
  std::string what_;
  Clock::time_point start_;
};

// Who shows this process's standard error: itself, or the process that started it, which
// forwards it through a pipe (an MPI launcher, or the daemon it started on this node).
enum class ErrorsShownBy { Self, Launcher };

// Whether standard error ends on a terminal: this process's own, or with Launcher also the
// starting process's.
bool errorsReachTerminal(ErrorsShownBy shownBy = ErrorsShownBy::Self);

// A ProgressLine on standard error saying `what`, or none when told to be quiet or when
// standard error does not end on a terminal (a log file must not fill with rewritten lines).
std::function<void(std::int64_t, std::int64_t)> progressOnTerminal(
    bool quiet, const std::string& what, ErrorsShownBy shownBy = ErrorsShownBy::Self);
