#include "support/pump.h"

#include <kelmira/platform.h>

#include <chrono>
#include <thread>

namespace kelmira::test {

int Pump(int limit) {
  MSG msg{};
  int n = 0;
  while (n < limit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ++n;
  }
  return n;
}

bool PumpUntil(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (Pump() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace kelmira::test
