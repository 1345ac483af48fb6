// The one message pump of the tests.
#pragma once

namespace kelmira::test {

// Translates and dispatches everything queued, WM_PAINT included (the queue makes it when it is
// otherwise empty), up to `limit` messages; returns how many it dispatched.
int Pump(int limit = 10000);

}  // namespace kelmira::test
