#include "support/pump.h"

#include <kelmira/platform.h>

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

}  // namespace kelmira::test
