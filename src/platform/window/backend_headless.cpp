// The headless back-end: a virtual screen that shows nothing. Pixels stay in the windows'
// backing surfaces, where tests read them; input comes only from injection and the idle hook.
#include "window/backend.h"

#include <kelmira/platform/guarded.h>

namespace kelmira::window {
namespace {

constexpr SIZE kScreen{1920, 1080};

struct IdleHook {
  KelmiraIdleHook hook = nullptr;
  void* context = nullptr;
};

IdleHook& Idle() {
  static IdleHook idle;
  return idle;
}

class HeadlessBackend final : public Backend {
 public:
  const char* Name() const override { return "headless"; }
  SIZE ScreenSize() const override { return kScreen; }

  bool PumpEvents(bool wait) override {
    if (!wait) return false;
    IdleHook hook = Idle();
    if (!hook.hook) return false;
    bool pumped = false;  // a hook that throws pumped nothing
    (void)Guarded([&] { pumped = hook.hook(hook.context) != FALSE; });
    return pumped;
  }
};

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace kelmira::window

void KelmiraSetIdleHook(KelmiraIdleHook hook, void* context) {
  kelmira::window::Idle() = kelmira::window::IdleHook{hook, context};
}
