// A bar on stderr once reading a large file has taken a second, when stderr is a terminal;
// erased when the reading ends.
#pragma once

#include <chrono>

namespace kelmira::tools {

class ProgressBar {
 public:
  ProgressBar();
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;
  // `part` read, 0..1.
  void operator()(double part);

 private:
  bool terminal_;
  int shown_ = -1;  // the percentage on screen
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace kelmira::tools
