// The registry of display back-ends and the one in use.
#include "window/backend_select.h"

#include "window/backend.h"
#include "window/window_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace kelmira::window {
namespace {

constexpr std::string_view kHeadless = "headless";
constexpr std::string_view kKnownNames[] = {"headless", "sdl"};

struct Selection {
  std::vector<std::pair<std::string, BackendFactory>> factories;
  std::unique_ptr<Backend> current;
};

// Function-local so that back-ends registering from static initialisers find it constructed.
Selection& State() {
  static Selection selection;
  return selection;
}

bool IsKnownName(std::string_view name) {
  return std::find(std::begin(kKnownNames), std::end(kKnownNames), name) != std::end(kKnownNames);
}

std::string Trimmed(std::string_view text) {
  auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  std::string name(text);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

BackendFactory FindFactory(std::string_view name) {
  if (name == kHeadless) return &MakeHeadlessBackend;
  for (const auto& [registered, factory] : State().factories) {
    if (registered == name) return factory;
  }
  return nullptr;
}

std::unique_ptr<Backend> StartOne(BackendFactory factory) {
  try {
    return factory();
  } catch (...) {
    return nullptr;
  }
}

// The first back-end of the choice that starts; null (and *hr says why) when none does.
std::unique_ptr<Backend> Start(const DisplayChoice& choice, HRESULT* hr) {
  *hr = E_FAIL;
  for (const std::string& name : choice.names) {
    BackendFactory factory = FindFactory(name);
    if (!factory) {
      std::fprintf(stderr, "kelmira: the \"%s\" display back-end is not part of this build\n", name.c_str());
      *hr = E_NOTIMPL;
      continue;
    }
    std::unique_ptr<Backend> backend = StartOne(factory);
    if (backend) {
      *hr = S_OK;
      return backend;
    }
    *hr = E_FAIL;
  }
  return nullptr;
}

}  // namespace

DisplayChoice ParseDisplayChoice(const char* text) {
  DisplayChoice choice;
  if (!text) return choice;
  std::string_view rest(text);
  bool allKnown = true;
  while (true) {
    std::size_t comma = rest.find(',');
    std::string name = Trimmed(rest.substr(0, comma));
    allKnown = allKnown && IsKnownName(name);
    choice.names.push_back(std::move(name));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  choice.valid = allKnown;
  return choice;
}

DisplayChoice DisplayChoiceFromEnvironment() {
  const char* value = std::getenv("KELMIRA_DISPLAY");
  if (value && *value) {
    DisplayChoice choice = ParseDisplayChoice(value);
    if (choice.valid) return choice;
    std::fprintf(stderr, "kelmira: KELMIRA_DISPLAY=\"%s\" names no display back-end (headless, sdl); using headless\n",
                 value);
  }
  return DisplayChoice{{std::string(kHeadless)}, true};
}

void RegisterBackend(const char* name, BackendFactory factory) {
  if (!name || !factory) return;
  State().factories.emplace_back(Trimmed(name), factory);
}

Backend& CurrentBackend() {
  Selection& state = State();
  if (state.current) return *state.current;
  HRESULT hr = S_OK;
  state.current = Start(DisplayChoiceFromEnvironment(), &hr);
  if (!state.current) {
    // The environment cannot be answered with an error code; say so and stay usable.
    std::fprintf(stderr, "kelmira: KELMIRA_DISPLAY asked for a display back-end that cannot start; using headless\n");
    state.current = MakeHeadlessBackend();
  }
  return *state.current;
}

}  // namespace kelmira::window

using namespace kelmira::window;

KELMIRA_EXTERN_C HRESULT KelmiraSetDisplayBackend(const char* name) {
  try {
    DisplayChoice choice = ParseDisplayChoice(name);
    if (!choice.valid) return E_INVALIDARG;
    if (!CheckWindowThread()) return E_ACCESSDENIED;
    Selection& state = State();
    if (state.current && choice.names.front() == state.current->Name()) return S_OK;
    if (WindowCount() != 0) return E_ACCESSDENIED;
    HRESULT hr = S_OK;
    std::unique_ptr<Backend> next = Start(choice, &hr);
    if (!next) return hr;
    state.current = std::move(next);
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

KELMIRA_EXTERN_C const char* KelmiraGetDisplayBackend() {
  try {
    return CurrentBackend().Name();
  } catch (...) {
    return "headless";
  }
}
