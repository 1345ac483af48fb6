// Choosing the display back-end: by KelmiraSetDisplayBackend or, on first use, by the
// environment variable KELMIRA_DISPLAY.
//
// A choice is a comma-separated list of names tried in order ("sdl,headless" falls back to the
// headless back-end when SDL cannot start; plain "sdl" does not). Names ignore case and spaces.
#pragma once

#include <kelmira/platform/types.h>

#include <string>
#include <vector>

namespace kelmira::window {

struct DisplayChoice {
  std::vector<std::string> names;  // lower case, in order of preference
  bool valid = false;              // every name is a known back-end and there is at least one
};

// Parses a choice. Known names are "headless" and "sdl" (known even when this build has no SDL).
KELMIRA_API DisplayChoice ParseDisplayChoice(const char* text);

// The choice the environment makes: KELMIRA_DISPLAY when it is set and valid, else headless.
KELMIRA_API DisplayChoice DisplayChoiceFromEnvironment();

}  // namespace kelmira::window
