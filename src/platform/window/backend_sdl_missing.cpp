// Built instead of the SDL back-end when SDL2 was not found: "sdl" stays a known name, and
// choosing it says why it cannot start.
#include "window/backend_sdl.h"

#include <cstdio>

namespace kelmira::window {
namespace {

const bool kRegistered = (RegisterBackend("sdl", &MakeSdlBackend), true);

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() {
  (void)kRegistered;
  std::fprintf(stderr, "kelmira: the SDL display back-end cannot start: this build has no SDL2 (pkg-config sdl2)\n");
  return nullptr;
}

}  // namespace kelmira::window
