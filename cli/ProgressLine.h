// A command's progress as one terminal line that rewrites itself: steps done of all (the
// subsets of a build, the models of a cross-validation), the time since the start and an
// estimate of the time left.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>

class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& out, std::string what = "Searching attribute subsets")
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
