#include "view/view_script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace kelmira::view {
namespace {

// Far enough outside any window, small enough that the pixel arithmetic stays exact.
constexpr double kCoordinateLimit = 100000;
constexpr int kMaxSteps = 1000;
constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;
constexpr double kMaxWheelDelta = 32767;  // the delta is a signed 16-bit word

struct Command {
  const char* name;
  ScriptAction action;
  const char* usage;
  std::size_t minWords, maxWords;  // after the command
};

constexpr Command kCommands[] = {
    {"move", ScriptAction::Move, "move X Y", 2, 2},
    {"press", ScriptAction::Press, "press BUTTON [X Y]", 1, 3},
    {"release", ScriptAction::Release, "release BUTTON [X Y]", 1, 3},
    {"click", ScriptAction::Click, "click BUTTON [X Y]", 1, 3},
    {"drag", ScriptAction::Drag, "drag X1 Y1 X2 Y2 [STEPS]", 4, 5},
    {"wheel", ScriptAction::Wheel, "wheel NOTCHES [X Y]", 1, 3},
    {"key", ScriptAction::Key, "key KEY", 1, 1},
    {"type", ScriptAction::Type, "type TEXT", 0, 0},
    {"print", ScriptAction::Print, "print WHAT", 1, SIZE_MAX},
    {"snapshot", ScriptAction::Snapshot, "snapshot FILE", 1, 1},
    {"resize", ScriptAction::Resize, "resize W H", 2, 2},
};
constexpr char kCommandList[] = "move, press, release, click, drag, wheel, key, type, print, snapshot, resize";

struct NamedKey {
  const char* name;
  WORD vk;
};
constexpr NamedKey kKeyNames[] = {
    {"escape", VK_ESCAPE}, {"return", VK_RETURN}, {"tab", VK_TAB}, {"space", VK_SPACE},  {"backspace", VK_BACK},
    {"delete", VK_DELETE}, {"home", VK_HOME},     {"end", VK_END}, {"pageup", VK_PRIOR}, {"pagedown", VK_NEXT},
    {"left", VK_LEFT},     {"right", VK_RIGHT},   {"up", VK_UP},   {"down", VK_DOWN},
};
constexpr char kKeyList[] =
    "a letter, digit or printable character, or escape, return, tab, space, backspace, delete, home, end, "
    "pageup, pagedown, left, right, up, down, f1..f12, after ctrl+ shift+ alt+";

// The US layout's punctuation: the character without and with shift on each key.
struct Punctuation {
  WORD vk;
  char plain, shifted;
};
constexpr Punctuation kPunctuation[] = {
    {VK_OEM_3, '`', '~'},     {VK_OEM_MINUS, '-', '_'},  {VK_OEM_PLUS, '=', '+'}, {VK_OEM_4, '[', '{'},
    {VK_OEM_6, ']', '}'},     {VK_OEM_5, '\\', '|'},     {VK_OEM_1, ';', ':'},    {VK_OEM_7, '\'', '"'},
    {VK_OEM_COMMA, ',', '<'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The key that types c on the US layout; nothing for characters it has no key for.
std::optional<ScriptKey> KeyForCharacter(char c) {
  if (c >= 'a' && c <= 'z') return ScriptKey{static_cast<WORD>(c - 'a' + 'A')};
  if (c >= 'A' && c <= 'Z') return ScriptKey{static_cast<WORD>(c), true};
  if (c >= '0' && c <= '9') return ScriptKey{static_cast<WORD>(c)};
  if (c == ' ') return ScriptKey{VK_SPACE};
  for (int d = 0; d < 10; ++d)
    if (kShiftedDigits[d] == c) return ScriptKey{static_cast<WORD>('0' + d), true};
  for (const Punctuation& p : kPunctuation)
    if (p.plain == c || p.shifted == c) return ScriptKey{p.vk, p.shifted == c};
  return std::nullopt;
}

std::optional<double> Number(std::string_view word) {
  if (word.size() > 1 && word[0] == '+' && word[1] != '-') word.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc{} || end != word.data() + word.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> WholeNumber(std::string_view word) {
  int value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc{} || end != word.data() + word.size()) return std::nullopt;
  return value;
}

class LineParser {
 public:
  LineParser(const std::string& name, int line, std::string* error) : name_(name), line_(line), error_(error) {}

  // Empty for a blank or comment line.
  std::optional<ScriptEvent> Parse(std::string_view text, bool* ok) {
    *ok = true;
    std::vector<std::string_view> words = Words(text);
    if (words.empty()) return std::nullopt;
    std::string verb = Lower(words[0]);
    const Command* c =
        std::find_if(std::begin(kCommands), std::end(kCommands), [&](const Command& k) { return verb == k.name; });
    if (c == std::end(kCommands)) return Error(ok, "unknown command '" + std::string(words[0]) + "'", kCommandList);
    usage_ = c->usage;
    ScriptEvent e;
    e.action = c->action;
    e.line = line_;
    if (e.action == ScriptAction::Type) {
      if (!TypeText(text, &e)) return Error(ok);
      return e;
    }
    std::vector<std::string_view> args(words.begin() + 1, words.end());
    if (args.size() < c->minWords) return Error(ok, "missing words after '" + verb + "'", usage_);
    if (args.size() > c->maxWords) return Error(ok, "extra word '" + std::string(args[c->maxWords]) + "'", usage_);
    if (!Arguments(args, &e)) return Error(ok);
    return e;
  }

 private:
  static std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && IsBlank(text[i])) ++i;
      if (i == text.size() || text[i] == '#') break;
      std::size_t start = i;
      while (i < text.size() && !IsBlank(text[i])) ++i;
      words.push_back(text.substr(start, i - start));
    }
    return words;
  }

  bool Arguments(const std::vector<std::string_view>& args, ScriptEvent* e) {
    switch (e->action) {
      case ScriptAction::Move: return Point(args, 0, &e->at);
      case ScriptAction::Press:
      case ScriptAction::Release:
      case ScriptAction::Click: return Button(args[0], &e->button) && OptionalPoint(args, 1, &e->at);
      case ScriptAction::Drag:
        if (!Point(args, 0, &e->at)) return false;
        {
          std::optional<ScriptPoint> to;
          if (!Point(args, 2, &to)) return false;
          e->to = *to;
        }
        return args.size() < 5 || Steps(args[4], &e->steps);
      case ScriptAction::Wheel: return Wheel(args[0], &e->wheelDelta) && OptionalPoint(args, 1, &e->at);
      case ScriptAction::Key: {
        std::optional<ScriptKey> key = Key(args[0]);
        if (key) e->keys.push_back(*key);
        return key.has_value();
      }
      case ScriptAction::Print:
        for (std::string_view w : args) e->text += (e->text.empty() ? "" : " ") + std::string(w);
        return true;
      case ScriptAction::Snapshot: e->text = std::string(args[0]); return true;
      case ScriptAction::Resize: return Side(args[0], &e->width) && Side(args[1], &e->height);
      case ScriptAction::Type: break;
    }
    return false;
  }

  bool TypeText(std::string_view text, ScriptEvent* e) {
    std::size_t i = 0;
    while (IsBlank(text[i])) ++i;
    i += 4;                    // "type"
    if (i < text.size()) ++i;  // the one blank that ends the word
    e->text = std::string(text.substr(std::min(i, text.size())));
    if (e->text.empty()) return Set("missing text after 'type'", usage_);
    for (char c : e->text) {
      std::optional<ScriptKey> key = KeyForCharacter(c);
      if (!key) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(c));
        return Set(std::string("cannot type the byte ") + hex, "printable ASCII characters");
      }
      e->keys.push_back(*key);
    }
    return true;
  }

  bool OptionalPoint(const std::vector<std::string_view>& args, std::size_t first, std::optional<ScriptPoint>* at) {
    if (args.size() == first) return true;
    if (args.size() == first + 1) return Set("a point needs both X and Y", usage_);
    return Point(args, first, at);
  }

  bool Point(const std::vector<std::string_view>& args, std::size_t first, std::optional<ScriptPoint>* at) {
    ScriptPoint p;
    if (!Coordinate(args[first], &p.x) || !Coordinate(args[first + 1], &p.y)) return false;
    *at = p;
    return true;
  }

  bool Coordinate(std::string_view word, ScriptCoordinate* c) {
    c->percent = !word.empty() && word.back() == '%';
    std::optional<double> v = Number(c->percent ? word.substr(0, word.size() - 1) : word);
    if (!v || std::fabs(*v) > kCoordinateLimit)
      return Set("bad coordinate '" + std::string(word) + "'",
                 "pixels like 120 or -5, or a percentage like 50%, within 100000");
    c->value = *v;
    return true;
  }

  bool Button(std::string_view word, ScriptButton* button) {
    static constexpr std::pair<const char*, ScriptButton> kButtons[] = {{"left", ScriptButton::Left},
                                                                        {"right", ScriptButton::Right},
                                                                        {"middle", ScriptButton::Middle},
                                                                        {"x1", ScriptButton::X1},
                                                                        {"x2", ScriptButton::X2}};
    std::string name = Lower(word);
    for (const auto& [n, b] : kButtons)
      if (name == n) return *button = b, true;
    return Set("unknown button '" + std::string(word) + "'", "left, right, middle, x1, x2");
  }

  bool Side(std::string_view word, int* pixels) {
    std::optional<int> n = WholeNumber(word);
    if (!n || *n < 1 || *n > 8192) return Set("bad window size '" + std::string(word) + "'", "1 to 8192 pixels");
    *pixels = *n;
    return true;
  }

  bool Steps(std::string_view word, int* steps) {
    std::optional<int> n = WholeNumber(word);
    if (!n || *n < 1 || *n > kMaxSteps)
      return Set("bad step count '" + std::string(word) + "'", "a whole number from 1 to 1000");
    *steps = *n;
    return true;
  }

  bool Wheel(std::string_view word, int* delta) {
    std::optional<double> notches = Number(word);
    double d = notches ? std::round(*notches * WHEEL_DELTA) : 0;
    if (d == 0 || std::fabs(d) > kMaxWheelDelta)
      return Set("bad notch count '" + std::string(word) + "'",
                 "a non-zero number of notches like 1, -2 or 0.5, within 273");
    *delta = static_cast<int>(d);
    return true;
  }

  std::optional<ScriptKey> Key(std::string_view word) {
    ScriptKey key;
    std::string_view rest = word;
    for (bool more = true; more;) {
      more = false;
      std::string lower = Lower(rest);
      for (auto [prefix, flag] : {std::pair{"ctrl+", &key.control}, {"shift+", &key.shift}, {"alt+", &key.alt}}) {
        std::string_view p(prefix);
        if (lower.size() > p.size() && lower.starts_with(p)) {
          *flag = true;
          rest.remove_prefix(p.size());
          more = true;
          break;
        }
      }
    }
    std::optional<WORD> vk;
    if (rest.size() == 1) {
      char c = rest[0];
      if (std::isalpha(static_cast<unsigned char>(c)))
        vk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(c)));
      else if (std::optional<ScriptKey> k = KeyForCharacter(c)) {
        vk = k->vk;
        key.shift = key.shift || k->shift;
      }
    } else {
      std::string name = Lower(rest);
      for (const NamedKey& k : kKeyNames)
        if (name == k.name) vk = k.vk;
      std::optional<int> f =
          name.size() > 1 && name[0] == 'f' ? WholeNumber(std::string_view(name).substr(1)) : std::nullopt;
      if (f && *f >= 1 && *f <= 12 && name[1] != '0') vk = static_cast<WORD>(VK_F1 + *f - 1);
    }
    if (!vk) {
      Set("unknown key '" + std::string(word) + "'", kKeyList);
      return std::nullopt;
    }
    key.vk = *vk;
    return key;
  }

  bool Set(const std::string& what, std::string_view allowed) {
    message_ = what + " (" + std::string(allowed) + ")";
    return false;
  }

  std::optional<ScriptEvent> Error(bool* ok, const std::string& what = {}, std::string_view allowed = {}) {
    if (!what.empty()) Set(what, allowed);
    *ok = false;
    if (error_) *error_ = name_ + ":" + std::to_string(line_) + ": " + message_;
    return std::nullopt;
  }

  const std::string& name_;
  int line_;
  std::string* error_;
  std::string usage_;
  std::string message_;
};

WPARAM XButtonKeys(ScriptButton b) {
  if (b == ScriptButton::X1) return MAKEWPARAM(0, XBUTTON1);
  if (b == ScriptButton::X2) return MAKEWPARAM(0, XBUTTON2);
  return 0;
}

UINT ButtonMessage(ScriptButton b, bool down) {
  switch (b) {
    case ScriptButton::Left: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case ScriptButton::Right: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case ScriptButton::Middle: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
  }
}

}  // namespace

std::optional<std::vector<ScriptEvent>> ParseScript(std::string_view text, const std::string& name,
                                                    std::string* error) {
  std::vector<ScriptEvent> events;
  int line = 0;
  while (!text.empty() || line == 0) {
    std::size_t end = text.find('\n');
    std::string_view one = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!one.empty() && one.back() == '\r') one.remove_suffix(1);
    LineParser parser(name, ++line, error);
    bool ok = true;
    std::optional<ScriptEvent> e = parser.Parse(one, &ok);
    if (!ok) return std::nullopt;
    if (e) events.push_back(std::move(*e));
  }
  return events;
}

std::optional<std::vector<ScriptEvent>> ReadScript(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = path + ": cannot read the script file (" + why + ")";
    return std::nullopt;
  };
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return fail(std::strerror(errno));
  std::string text;
  char buffer[1 << 16];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get())) {
    text.append(buffer, n);
    if (text.size() > kMaxScriptBytes) return fail("larger than 16 MB");
  }
  // A directory opens, and fails only here.
  if (std::ferror(file.get())) return fail(std::strerror(errno));
  return ParseScript(text, path, error);
}

ScriptPlayer::ScriptPlayer(std::vector<ScriptEvent> events, HWND plot, Command command)
    : events_(std::move(events)), plot_(plot), command_(std::move(command)) {}

BOOL ScriptPlayer::Hook(void* player) { return static_cast<ScriptPlayer*>(player)->Step() ? TRUE : FALSE; }

bool ScriptPlayer::Fail(const ScriptEvent& e, const std::string& what) {
  failed_ = true;
  error_ = "line " + std::to_string(e.line) + ": " + what;
  return false;
}

POINT ScriptPlayer::Client(const std::optional<ScriptPoint>& p) {
  if (!p) {
    if (last_) return *last_;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(plot_, &cursor);
    return cursor;
  }
  RECT r{};
  GetClientRect(plot_, &r);
  auto pixel = [](const ScriptCoordinate& c, LONG extent) {
    return static_cast<LONG>(std::lround(c.percent ? c.value * extent / 100 : c.value));
  };
  return POINT{pixel(p->x, r.right - r.left), pixel(p->y, r.bottom - r.top)};
}

bool ScriptPlayer::Mouse(const ScriptEvent& e, UINT message, POINT client, WPARAM keys) {
  POINT screen = client;
  ClientToScreen(plot_, &screen);
  if (!KelmiraInjectMouse(message, screen.x, screen.y, keys)) return Fail(e, "the mouse input was refused");
  last_ = client;
  return true;
}

bool ScriptPlayer::KeyStroke(const ScriptEvent& e, const ScriptKey& key) {
  const std::pair<bool, WORD> modifiers[] = {{key.control, VK_CONTROL}, {key.shift, VK_SHIFT}, {key.alt, VK_MENU}};
  bool ok = true;
  for (auto [held, vk] : modifiers)
    if (held) ok = KelmiraInjectKey(WM_KEYDOWN, vk) && ok;
  ok = KelmiraInjectKey(WM_KEYDOWN, key.vk) && ok;
  ok = KelmiraInjectKey(WM_KEYUP, key.vk) && ok;
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
    if (it->first) ok = KelmiraInjectKey(WM_KEYUP, it->second) && ok;
  return ok || Fail(e, "the key input was refused");
}

bool ScriptPlayer::DragStage(const ScriptEvent& e) {
  POINT from = Client(e.at), to = Client(e.to);
  if (stage_ == 0) return Mouse(e, WM_LBUTTONDOWN, from, 0);
  if (stage_ > e.steps) return Mouse(e, WM_LBUTTONUP, to, 0);
  auto along = [&](LONG a, LONG b) {
    return static_cast<LONG>(a + std::lround(static_cast<double>(b - a) * stage_ / e.steps));
  };
  return Mouse(e, WM_MOUSEMOVE, POINT{along(from.x, to.x), along(from.y, to.y)}, 0);
}

bool ScriptPlayer::Step() {
  if (done()) return false;
  const ScriptEvent& e = events_[next_];
  if (!IsWindow(plot_)) return Fail(e, "the window is gone");
  bool ok = true;
  bool finished = true;
  switch (e.action) {
    case ScriptAction::Move: ok = Mouse(e, WM_MOUSEMOVE, Client(e.at), 0); break;
    case ScriptAction::Press:
    case ScriptAction::Release:
      ok = Mouse(e, ButtonMessage(e.button, e.action == ScriptAction::Press), Client(e.at), XButtonKeys(e.button));
      break;
    case ScriptAction::Click: {
      POINT at = Client(e.at);
      ok = Mouse(e, ButtonMessage(e.button, true), at, XButtonKeys(e.button)) &&
           Mouse(e, ButtonMessage(e.button, false), at, XButtonKeys(e.button));
      break;
    }
    case ScriptAction::Drag:
      ok = DragStage(e);
      finished = stage_ > e.steps;
      break;
    case ScriptAction::Wheel:
      ok = Mouse(e, WM_MOUSEWHEEL, Client(e.at), MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(e.wheelDelta))));
      break;
    case ScriptAction::Key: ok = KeyStroke(e, e.keys[0]); break;
    case ScriptAction::Type:
      ok = KeyStroke(e, e.keys[static_cast<std::size_t>(stage_)]);
      finished = static_cast<std::size_t>(stage_) + 1 >= e.keys.size();
      break;
    case ScriptAction::Print:
    case ScriptAction::Snapshot:
    case ScriptAction::Resize:
      if (command_ && !command_(e))
        ok = Fail(e, std::string(e.action == ScriptAction::Print      ? "print "
                                 : e.action == ScriptAction::Snapshot ? "snapshot "
                                                                      : "resize ") +
                         e.text + " failed");
      break;
  }
  if (!ok) return false;
  if (finished) {
    ++next_;
    stage_ = 0;
  } else {
    ++stage_;
  }
  return true;
}

}  // namespace kelmira::view
