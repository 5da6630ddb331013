// The build's progress as one terminal line that rewrites itself: subsets searched of all,
// the time since the start and an estimate of the time left.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& out) : out_(out), start_(Clock::now()) {}
  void operator()(std::int64_t done, std::int64_t total);

  // "1:05" or "1:02:05".
  static std::string clock(double seconds);

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& out_;
  Clock::time_point start_;
};
