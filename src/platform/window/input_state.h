// The state behind mouse and keyboard input: who has the capture, the focus and the activation,
// the cursor's shape, visibility and confinement, the key states and the last button press (for
// double clicks). One instance, owned by the window-system thread like the windows themselves.
#pragma once

#include "window/window.h"

#include <kelmira/platform/oleauto.h>

#include <array>
#include <cstdint>
#include <deque>

namespace kelmira::window {

// Key-state bytes as GetKeyState reports them: bit 7 down, bit 0 toggled.
constexpr std::uint8_t kKeyDown = 0x80;
constexpr std::uint8_t kKeyToggled = 0x01;
using KeyStates = std::array<std::uint8_t, 256>;

constexpr LONG kErrorInvalidCursorHandle = 1402;
constexpr LONG kErrorResourceNameNotFound = 1814;

constexpr UINT kDefaultDoubleClickTime = 500;

// The last button press, to pair with the next one into a double click.
struct LastPress {
  HWND hwnd = nullptr;
  UINT message = 0;  // WM_[LRMX]BUTTONDOWN, 0 when the next press starts afresh
  WORD xbutton = 0;
  DWORD time = 0;
  POINT pt{0, 0};  // screen
};

// A key-state change travelling with a posted message: GetKeyState shows it once the message has
// left the queue (retrieved or dropped). Entries for events that posted nothing apply at once.
struct PendingKeyState {
  bool posted = false;
  MSG msg{};
  KeyStates after{};
};

struct InputState {
  HWND capture = nullptr;
  HWND focus = nullptr;
  HWND active = nullptr;

  HCURSOR cursor = nullptr;
  int showCount = 0;
  bool clipped = false;
  RECT clip{0, 0, 0, 0};  // screen; meaningful when clipped

  KeyStates asyncKeys{};  // as injected
  bool altAlone = false;  // Alt is down and no other key was pressed since: its release is a WM_SYSKEYUP
  KeyStates syncKeys{};   // as of the messages retrieved so far
  std::deque<PendingKeyState> pendingKeys;

  LastPress lastPress;
  UINT doubleClickTime = kDefaultDoubleClickTime;
};

InputState& Input();

// Back to the state of a fresh process (no capture, focus, clip or keys down; count 0, arrow
// cursor, cursor in the middle of the screen). For tests.
KELMIRA_API void ResetInputState();

// Key-state changes still waiting for their messages to leave the queue. For tests.
KELMIRA_API std::size_t PendingKeyStateCount();

// The live window named by a stored handle; clears the handle when the window is gone.
Window* LiveWindow(HWND& stored);

// The virtual screen's rectangle.
RECT ScreenBounds();

}  // namespace kelmira::window
