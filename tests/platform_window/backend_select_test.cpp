// Choosing the display back-end: the API call, KELMIRA_DISPLAY at first use (in fresh child
// processes), and the clear failure when SDL finds no display.
#include "support/child_process.h"
#include "support/environment.h"
#include "support/recording_window.h"

namespace kelmira::test {
namespace {

// The child half of the first-use tests: the back-end a fresh process ends up with.
constexpr char kExpectVariable[] = "BACKEND_SELECT_TEST_EXPECT";

ProcessResult RunChild(const char* kelmiraDisplay, const char* expected, const char* sdlDriver = "") {
  return RunProcess(
      {SelfPath(), "--gtest_filter=BackendSelectChild.DISABLED_BackendAtFirstUse", "--gtest_also_run_disabled_tests"},
      {{"DISPLAY", ""},
       {"WAYLAND_DISPLAY", ""},
       {"SDL_VIDEODRIVER", sdlDriver},
       {"KELMIRA_DISPLAY", kelmiraDisplay},
       {kExpectVariable, expected}});
}

using BackendSelect = WindowTest;

TEST_F(BackendSelect, BadNamesAndLiveWindowsLeaveTheBackendAlone) {
  ASSERT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
  EXPECT_EQ(KelmiraSetDisplayBackend(nullptr), E_INVALIDARG);
  EXPECT_EQ(KelmiraSetDisplayBackend("vga"), E_INVALIDARG);
  EXPECT_STREQ(KelmiraGetDisplayBackend(), "headless");
  HWND hwnd = Top(0, 0, 100, 80, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(KelmiraSetDisplayBackend("sdl"), E_ACCESSDENIED);
  EXPECT_EQ(KelmiraSetDisplayBackend("headless"), E_ACCESSDENIED);  // even the current one
  EXPECT_STREQ(KelmiraGetDisplayBackend(), "headless");
  DestroyWindow(hwnd);
}

TEST(BackendSelectNoDisplay, SdlFailsAndKeepsHeadless) {
  ASSERT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
  EnvOverride display("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt),
      driver("SDL_VIDEODRIVER", std::nullopt);
  HRESULT hr = KelmiraSetDisplayBackend("sdl");
  if (hr == S_OK) {
    ASSERT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
    GTEST_SKIP() << "SDL found a display without DISPLAY or WAYLAND_DISPLAY (a console driver)";
  }
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_STREQ(KelmiraGetDisplayBackend(), "headless");
  EXPECT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);  // falling back is the caller's choice
}

// A fresh process reads KELMIRA_DISPLAY once, at first use; SDL says why it cannot start.
TEST(BackendSelectFirstUse, EnvironmentDecides) {
  for (const char* value : {"", "headless", "vga"}) {
    ProcessResult child = RunChild(value, "headless");
    EXPECT_EQ(child.exitCode, 0) << value << ": " << child.output;
  }
  ProcessResult sdl = RunChild("sdl", "headless");
  EXPECT_EQ(sdl.exitCode, 0) << sdl.output;
#if KELMIRA_HAVE_SDL2
  EXPECT_NE(sdl.output.find("SDL display back-end cannot start: no display"), std::string::npos) << sdl.output;
  // A driver that draws nowhere is accepted when asked for by name.
  ProcessResult asked = RunChild("sdl", "sdl", "offscreen");
  EXPECT_EQ(asked.exitCode, 0) << asked.output;
#else
  EXPECT_NE(sdl.output.find("this build has no SDL2"), std::string::npos) << sdl.output;
#endif
}

TEST(BackendSelectChild, DISABLED_BackendAtFirstUse) {
  const char* expected = std::getenv(kExpectVariable);
  ASSERT_NE(expected, nullptr);
  EXPECT_STREQ(KelmiraGetDisplayBackend(), expected);
}

}  // namespace
}  // namespace kelmira::test
