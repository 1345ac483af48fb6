#include "common/progress_bar.h"

#include <cstdio>

#include <unistd.h>

namespace kelmira::tools {

ProgressBar::ProgressBar() : terminal_(isatty(STDERR_FILENO) != 0) {}

void ProgressBar::operator()(double part) {
  const int percent = static_cast<int>(part * 100);
  if (!terminal_ || percent == shown_ || std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
  const int filled = static_cast<int>(part * 40);
  std::fprintf(stderr, "\rreading [%-40.*s] %3d%%", filled, "========================================", percent);
  shown_ = percent;
}

ProgressBar::~ProgressBar() {
  if (shown_ >= 0) std::fprintf(stderr, "\r%60s\r", "");
}

}  // namespace kelmira::tools
