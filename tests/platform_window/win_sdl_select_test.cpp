// Choosing the display back-end: parsing, the API call, the environment at first use, and the
// clear failure when SDL finds no display.
#include "win_sdl_support.h"

#include "window/backend_select.h"

#include <string_view>

using namespace win_sdl_test;
using kelmira::window::DisplayChoiceFromEnvironment;
using kelmira::window::ParseDisplayChoice;

namespace {

using Names = std::vector<std::string>;

// The child half of the first-use tests: the back-end a fresh process ends up with.
constexpr char kExpectVariable[] = "WIN_SDL_TEST_EXPECT_BACKEND";
constexpr char kChildTest[] = "WinSdlSelectChild.DISABLED_BackendAtFirstUse";

ProcessResult RunChild(const std::map<std::string, std::string>& env) {
  return RunProcess({SelfPath(), std::string("--gtest_filter=") + kChildTest, "--gtest_also_run_disabled_tests"}, env);
}

}  // namespace

TEST(WinSdlSelect, ParsesNamesAndPreferenceLists) {
  EXPECT_EQ(ParseDisplayChoice("sdl").names, Names{"sdl"});
  EXPECT_TRUE(ParseDisplayChoice("sdl").valid);
  kelmira::window::DisplayChoice list = ParseDisplayChoice(" SDL , Headless ");
  EXPECT_TRUE(list.valid);
  EXPECT_EQ(list.names, (Names{"sdl", "headless"}));

  for (const char* bad : {"", "x11", "sdl,", ",headless", "sdl;headless", "head less"}) {
    EXPECT_FALSE(ParseDisplayChoice(bad).valid) << '"' << bad << '"';
  }
  EXPECT_FALSE(ParseDisplayChoice(nullptr).valid);
}

TEST(WinSdlSelect, EnvironmentChoiceFallsBackToHeadless) {
  {
    EnvOverride env("KELMIRA_DISPLAY", std::nullopt);
    EXPECT_EQ(DisplayChoiceFromEnvironment().names, Names{"headless"});
  }
  {
    EnvOverride env("KELMIRA_DISPLAY", "sdl,headless");
    EXPECT_EQ(DisplayChoiceFromEnvironment().names, (Names{"sdl", "headless"}));
  }
  {
    EnvOverride env("KELMIRA_DISPLAY", "wayland");
    EXPECT_EQ(DisplayChoiceFromEnvironment().names, Names{"headless"});
  }
}

TEST(WinSdlSelect, BadNamesAndLiveWindowsLeaveTheBackendAlone) {
  ASSERT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
  EXPECT_EQ(KelmiraSetDisplayBackend(nullptr), E_INVALIDARG);
  EXPECT_EQ(KelmiraSetDisplayBackend("vga"), E_INVALIDARG);
  EXPECT_STREQ(KelmiraGetDisplayBackend(), "headless");

  HWND hwnd = CreateWindowExA(0, RecordingClass(), "busy", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(KelmiraSetDisplayBackend("sdl"), E_ACCESSDENIED);
  EXPECT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);  // already in use: nothing to change
  EXPECT_STREQ(KelmiraGetDisplayBackend(), "headless");
  DestroyWindow(hwnd);
}

TEST(WinSdlSelect, SdlWithoutDisplayFailsUnlessFallbackAsked) {
  ASSERT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
  NoDisplay noDisplay;
  HRESULT hr = KelmiraSetDisplayBackend("sdl");
  if (hr == S_OK) {
    ASSERT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
    GTEST_SKIP() << "SDL found a display without DISPLAY or WAYLAND_DISPLAY (a console driver)";
  }
#if KELMIRA_HAVE_SDL2
  EXPECT_EQ(hr, E_FAIL);
#else
  EXPECT_EQ(hr, E_NOTIMPL);
#endif
  EXPECT_STREQ(KelmiraGetDisplayBackend(), "headless");
  EXPECT_EQ(KelmiraSetDisplayBackend("sdl, headless"), S_OK);
  EXPECT_STREQ(KelmiraGetDisplayBackend(), "headless");
}

// A fresh process reads KELMIRA_DISPLAY once, at first use, and says why it cannot honour it.
TEST(WinSdlSelect, EnvironmentDecidesAtFirstUse) {
  const std::map<std::string, std::string> noDisplay{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}};
  auto run = [&](const char* value, const char* expected) {
    std::map<std::string, std::string> env = noDisplay;
    env["KELMIRA_DISPLAY"] = value;
    env[kExpectVariable] = expected;
    return RunChild(env);
  };

  ProcessResult plain = run(" Headless ", "headless");
  EXPECT_EQ(plain.exitCode, 0) << plain.output;

  ProcessResult unknown = run("vga", "headless");
  EXPECT_EQ(unknown.exitCode, 0) << unknown.output;
  EXPECT_NE(unknown.output.find("KELMIRA_DISPLAY=\"vga\""), std::string::npos) << unknown.output;

  ProcessResult sdl = run("sdl", "headless");
  EXPECT_EQ(sdl.exitCode, 0) << sdl.output;
#if KELMIRA_HAVE_SDL2
  EXPECT_NE(sdl.output.find("SDL display back-end cannot start: no display"), std::string::npos) << sdl.output;
#else
  EXPECT_NE(sdl.output.find("not part of this build"), std::string::npos) << sdl.output;
#endif

#if KELMIRA_HAVE_SDL2
  // A driver that draws nowhere is fine when asked for by name.
  std::map<std::string, std::string> offscreen = noDisplay;
  offscreen["SDL_VIDEODRIVER"] = "offscreen";
  offscreen["KELMIRA_DISPLAY"] = "sdl";
  offscreen[kExpectVariable] = "sdl";
  ProcessResult asked = RunChild(offscreen);
  EXPECT_EQ(asked.exitCode, 0) << asked.output;
#endif
}

TEST(WinSdlSelectChild, DISABLED_BackendAtFirstUse) {
  const char* expected = std::getenv(kExpectVariable);
  ASSERT_NE(expected, nullptr);
  EXPECT_STREQ(KelmiraGetDisplayBackend(), expected);
}
