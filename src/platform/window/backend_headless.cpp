// The headless back-end: a virtual screen that shows nothing. Pixels stay in the windows'
// backing surfaces, where tests read them; input comes only from injection and the idle hook.
#include "window/backend.h"

namespace kelmira::window {
namespace {

constexpr SIZE kScreen{1920, 1080};

class HeadlessBackend final : public Backend {
 public:
  const char* Name() const override { return "headless"; }
  SIZE ScreenSize() const override { return kScreen; }

  // Nothing ever arrives here but injected input.
  bool PumpEvents(bool wait) override {
    (void)wait;
    return false;
  }
};

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace kelmira::window
