// The one message pump of the tests.
#pragma once

#include <functional>

namespace kelmira::test {

// Translates and dispatches everything queued, WM_PAINT included (the queue makes it when it is
// otherwise empty), up to `limit` messages; returns how many it dispatched.
int Pump(int limit = 10000);

// Pumps until done() holds, waiting for native events (which travel through a display server)
// when nothing is queued; false after five seconds without it.
bool PumpUntil(const std::function<bool()>& done);

}  // namespace kelmira::test
