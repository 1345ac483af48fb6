// kelmira-view --script FILE: input events read from a file and replayed into the viewer's window,
// so that the viewer can be tested and its pictures made without a display (or with one).
// The format is below as the text that --help and the user guide show.
#pragma once

#include <kelmira/platform.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira::view {

inline constexpr char kScriptFormat[] = R"(A script is one input event a line:
  # comment to the end of the line; blank lines are ignored
  move X Y                  the mouse to a point
  press BUTTON [X Y]        BUTTON: left right middle x1 x2 (x1/x2 the extra buttons)
  release BUTTON [X Y]
  click BUTTON [X Y]        press and release at the same point
  drag X1 Y1 X2 Y2 [STEPS]  left press at 1, STEPS moves (default 8, at most 1000)
                            towards 2, release at 2
  wheel NOTCHES [X Y]       NOTCHES may be negative (towards the user) or fractional
                            (+0.5 = a delta of 60); at most 273 either way
  key KEY                   KEY: a letter or digit (the key whatever its case: key P
                            presses P without shift), a printable character (? + ...:
                            shift is held when the US layout needs it), or a name:
                            escape return tab space backspace delete home end pageup
                            pagedown left right up down f1..f12; with modifiers
                            ctrl+ shift+ alt+ (key ctrl+s, key shift+tab)
  type TEXT                 the rest of the line as it is, typed as keys (printable
                            ASCII; capitals and symbols with shift; no comment in it)
  print WHAT                handed to the viewer (limits, status, ...)
  snapshot FILE             a picture of the window at that moment
  resize W H                the window to W x H pixels, as a user would drag its corner
A point X Y is in pixels of the plot area from its top-left; X% Y% is a percentage of its
width/height. The forms may mix, and points may lie outside the area (negative, beyond
100%; at most 100000 either way). An omitted point is the last mouse position. A # starts
a comment at the start of a word. Commands, buttons and key names may be in any case.
Errors name the line: FILE:LINE: what is wrong (what is allowed); the whole script is
checked before anything runs.
)";

enum class ScriptAction { Move, Press, Release, Click, Drag, Wheel, Key, Type, Print, Snapshot, Resize };
enum class ScriptButton { Left, Right, Middle, X1, X2 };

// A coordinate in pixels of the plot area, or a percentage of its width or height.
struct ScriptCoordinate {
  double value = 0;
  bool percent = false;
  bool operator==(const ScriptCoordinate&) const = default;
};

struct ScriptPoint {
  ScriptCoordinate x, y;
  bool operator==(const ScriptPoint&) const = default;
};

// A virtual key and the modifiers held around it.
struct ScriptKey {
  WORD vk = 0;
  bool shift = false;
  bool control = false;
  bool alt = false;
  bool operator==(const ScriptKey&) const = default;
};

struct ScriptEvent {
  ScriptAction action = ScriptAction::Move;
  int line = 0;
  ScriptButton button = ScriptButton::Left;  // press, release, click
  std::optional<ScriptPoint> at;             // the point of every mouse event; a drag's start
  ScriptPoint to;                            // a drag's end
  int steps = 8;                             // a drag's moves
  int wheelDelta = 0;                        // in WHEEL_DELTA units of 1/120 notch
  std::vector<ScriptKey> keys;               // key: one; type: one a character
  std::string text;                          // type: the text; print: the words; snapshot: the file
  int width = 0, height = 0;                 // resize
};

// Parses a whole script; `name` is the file name shown in errors. On an error, *error (when
// given) holds its one line and nothing is returned.
std::optional<std::vector<ScriptEvent>> ParseScript(std::string_view text, const std::string& name, std::string* error);
// Reads and parses a script file.
std::optional<std::vector<ScriptEvent>> ReadScript(const std::string& path, std::string* error);

// Injects a script's events through the platform's input injection, as a display would deliver
// them. One Step injects one script line, except a drag, which takes one Step for each of its
// mouse events (input is routed when it is injected, so the capture that its press takes must
// be in place before its moves come), and `type`, one Step a character (the key state that
// TranslateMessage sees follows each key message through the queue, where equal messages of one
// millisecond, a shift pressed twice, would be taken for each other). The caller handles all the
// messages of a Step before the next one: the viewer calls Step from the idle hook (see Hook).
class ScriptPlayer {
 public:
  // Called for print, snapshot and resize lines; false stops the run (a snapshot not written).
  using Command = std::function<bool(const ScriptEvent&)>;

  // `plot`: the window whose client area the points refer to.
  ScriptPlayer(std::vector<ScriptEvent> events, HWND plot, Command command);

  // False when nothing is left or the run stopped.
  bool Step();
  bool done() const { return failed_ || next_ >= events_.size(); }
  bool failed() const { return failed_; }
  // Why the run stopped: "line N: ...".
  const std::string& error() const { return error_; }

  // For KelmiraSetIdleHook(&ScriptPlayer::Hook, &player).
  static BOOL Hook(void* player);

 private:
  bool Fail(const ScriptEvent& e, const std::string& what);
  bool Mouse(const ScriptEvent& e, UINT message, POINT client, WPARAM keys);
  bool KeyStroke(const ScriptEvent& e, const ScriptKey& key);
  bool DragStage(const ScriptEvent& e);
  POINT Client(const std::optional<ScriptPoint>& p);

  std::vector<ScriptEvent> events_;
  HWND plot_;
  Command command_;
  std::size_t next_ = 0;
  int stage_ = 0;  // the mouse event of a drag, or the character of a text, that comes next
  std::optional<POINT> last_;
  bool failed_ = false;
  std::string error_;
};

}  // namespace kelmira::view
