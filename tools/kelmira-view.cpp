// kelmira-view: a desktop window hosting a small test control, to try a display back-end by hand.
//
// The frame window (a registered class) holds an "AtlAxWin" child that fills it; the child hosts
// ViewTestControl, which paints a gradient, a crosshair that follows the mouse and the last mouse
// or key message it received. Closing the window ends the program.
#include <kelmira/platform.h>
#include <kelmira/platform/control_base.h>

#include "common/output_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using kelmira::ComPtr;

// {6B0C7E51-3E1F-4B8A-9C55-2A7D0E4F9B31}
constexpr CLSID kClsidViewTestControl = {0x6b0c7e51, 0x3e1f, 0x4b8a, {0x9c, 0x55, 0x2a, 0x7d, 0x0e, 0x4f, 0x9b, 0x31}};
constexpr char kFrameClass[] = "KelmiraViewFrame";
constexpr int kHostId = 1;

struct Options {
  const char* snapshot = nullptr;  // headless: save the first paint here
  long frames = 0;                 // exit after this many paints of the control (0: run until closed)
  int width = 640;
  int height = 480;
  bool help = false;
};

// What the message loop and the control share.
struct ViewState {
  HWND frame = nullptr;
  long paints = 0;
};
ViewState g_view;

// ---------------------------------------------------------------------------------------------
// The test control

const char* MouseMessageName(UINT msg) {
  switch (msg) {
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_RBUTTONDBLCLK: return "WM_RBUTTONDBLCLK";
    case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP: return "WM_MBUTTONUP";
    case WM_MBUTTONDBLCLK: return "WM_MBUTTONDBLCLK";
    case WM_XBUTTONDOWN: return "WM_XBUTTONDOWN";
    case WM_XBUTTONUP: return "WM_XBUTTONUP";
    case WM_XBUTTONDBLCLK: return "WM_XBUTTONDBLCLK";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    default: return "mouse message";
  }
}

class ViewTestControl : public kelmira::ControlBase<ViewTestControl> {
 public:
  using Interfaces = kelmira::ControlInterfaceTable<>;
  static const CLSID& GetObjectCLSID() { return kClsidViewTestControl; }
  static constexpr const char* kWindowClassName = "KelmiraViewTestControl";
  static constexpr UINT kWindowClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  static constexpr int kWindowBackground = 0;  // OnDraw covers every pixel

  BEGIN_MSG_MAP(ViewTestControl)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnWheel)
    MESSAGE_RANGE_HANDLER(WM_MOUSEMOVE, WM_XBUTTONDBLCLK, OnMouse)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKey)
    MESSAGE_HANDLER(WM_CHAR, OnKey)
  END_MSG_MAP()

  HRESULT OnDraw(HDC hdc, const RECT& bounds) override {
    DrawGradient(hdc, bounds);
    DrawCrosshair(hdc, bounds);
    DrawCaption(hdc, bounds);
    ++g_view.paints;
    return S_OK;
  }

 private:
  LRESULT OnMouse(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    mouse_ = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    hasMouse_ = true;
    last_ = std::string(MouseMessageName(msg)) + " at (" + std::to_string(mouse_.x) + ", " + std::to_string(mouse_.y) +
            "), keys 0x" + Hex(LOWORD(wParam));
    if (msg == WM_LBUTTONDOWN) SetFocus(ControlWindow());
    FireViewChange();
    return 0;
  }

  LRESULT OnWheel(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    // The wheel comes in screen coordinates.
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(ControlWindow(), &p);
    last_ = std::string(MouseMessageName(msg)) + " at (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
            "), delta " + std::to_string(GET_WHEEL_DELTA_WPARAM(wParam));
    FireViewChange();
    return 0;
  }

  LRESULT OnKey(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    if (msg == WM_CHAR && wParam >= 0x20 && wParam < 0x7F) {
      last_ = "WM_CHAR '" + std::string(1, static_cast<char>(wParam)) + "'";
    } else {
      last_ = std::string(msg == WM_CHAR ? "WM_CHAR 0x" : "WM_KEYDOWN vk 0x") + Hex(static_cast<unsigned>(wParam));
    }
    FireViewChange();
    return 0;
  }

  static std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
  }

  static void FillRow(HDC hdc, const RECT& row, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &row, brush);
    DeleteObject(brush);
  }

  // Navy at the top to teal at the bottom, one row at a time.
  static void DrawGradient(HDC hdc, const RECT& bounds) {
    int height = std::max<LONG>(1, bounds.bottom - bounds.top);
    for (int y = bounds.top; y < bounds.bottom; ++y) {
      int t = (y - bounds.top) * 255 / height;
      COLORREF color = RGB(0x30 - t * 0x20 / 255, 0x20 + t * 0x80 / 255, 0x60 + t * 0x40 / 255);
      FillRow(hdc, RECT{bounds.left, y, bounds.right, y + 1}, color);
    }
  }

  void DrawCrosshair(HDC hdc, const RECT& bounds) const {
    POINT c = hasMouse_ ? POINT{bounds.left + mouse_.x, bounds.top + mouse_.y}
                        : POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xFF, 0xFF, 0xFF));
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    MoveToEx(hdc, bounds.left, c.y, nullptr);
    LineTo(hdc, bounds.right, c.y);
    MoveToEx(hdc, c.x, bounds.top, nullptr);
    LineTo(hdc, c.x, bounds.bottom);
    Ellipse(hdc, c.x - 12, c.y - 12, c.x + 13, c.y + 13);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
  }

  void DrawCaption(HDC hdc, const RECT& bounds) const {
    HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0xFF, 0xFF, 0xE0));
    std::string size = std::to_string(bounds.right - bounds.left) + " x " + std::to_string(bounds.bottom - bounds.top) +
                       " pixels, " + KelmiraGetDisplayBackend() + " display";
    std::string last = last_.empty() ? std::string("no mouse message yet") : last_;
    TextOutA(hdc, bounds.left + 8, bounds.top + 8, last.c_str(), static_cast<int>(last.size()));
    TextOutA(hdc, bounds.left + 8, bounds.top + 26, size.c_str(), static_cast<int>(size.size()));
    SelectObject(hdc, oldFont);
  }

  POINT mouse_{0, 0};
  bool hasMouse_ = false;
  std::string last_;
};

// ---------------------------------------------------------------------------------------------
// The frame window

HRESULT AttachTestControl(HWND host) {
  ComPtr<kelmira::Object<ViewTestControl>> control;
  HRESULT hr = kelmira::Object<ViewTestControl>::Make(&control);
  if (FAILED(hr)) return hr;
  return AtlAxAttachControl(static_cast<IOleObject*>(control.get()), host, nullptr);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      RECT client;
      GetClientRect(hwnd, &client);
      HWND host = CreateWindowExA(0, "AtlAxWin", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, client.right,
                                  client.bottom, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHostId)), nullptr,
                                  nullptr);
      if (!host) return -1;
      HRESULT hr = AttachTestControl(host);
      if (FAILED(hr)) {
        std::fprintf(stderr, "kelmira-view: hosting the test control failed (0x%08X)\n", static_cast<unsigned>(hr));
        return -1;
      }
      return 0;
    }
    case WM_SIZE: MoveWindow(GetDlgItem(hwnd, kHostId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

HWND CreateFrame(const Options& options) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &FrameProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_CROSS);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kFrameClass;
  if (!RegisterClassExA(&wc)) return nullptr;
  return CreateWindowExA(0, kFrameClass, "Kelmira view", WS_OVERLAPPEDWINDOW, 40, 40, options.width, options.height,
                         nullptr, nullptr, nullptr, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Running

// The next point of a circle around the middle of the frame, so that every frame moves the
// crosshair through the same input path a real mouse takes.
void InjectNextMove(HWND frame, long step) {
  RECT r;
  GetWindowRect(frame, &r);
  double angle = static_cast<double>(step) * 0.3;
  int cx = (r.left + r.right) / 2;
  int cy = (r.top + r.bottom) / 2;
  int radius = std::max<LONG>(1, std::min(r.right - r.left, r.bottom - r.top) / 3);
  KelmiraInjectMouse(WM_MOUSEMOVE, cx + static_cast<int>(radius * std::cos(angle)),
                     cy + static_cast<int>(radius * std::sin(angle)), 0);
}

bool SaveSnapshot(HWND frame, const char* path) {
  HRESULT hr = KelmiraSaveWindowPng(frame, path);
  if (FAILED(hr)) {
    std::fprintf(stderr, "kelmira-view: cannot write %s (0x%08X)\n", path, static_cast<unsigned>(hr));
    return false;
  }
  std::printf("kelmira-view: wrote %s\n", path);
  return true;
}

int RunMessageLoop(const Options& options) {
  long target = options.frames > 0 ? options.frames : (options.snapshot ? 1 : 0);
  long seen = 0;
  bool ok = true;
  bool closing = false;
  MSG msg;
  while (true) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) break;  // nothing can arrive any more (no window left on the display)
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (target == 0 || closing || g_view.paints == seen) continue;
    seen = g_view.paints;
    if (seen < target) {
      InjectNextMove(g_view.frame, seen);
      continue;
    }
    closing = true;
    if (options.snapshot) ok = SaveSnapshot(g_view.frame, options.snapshot);
    PostMessageA(g_view.frame, WM_CLOSE, 0, 0);
  }
  if (target > 0 && g_view.paints < target) {
    std::fprintf(stderr, "kelmira-view: the loop ended after %ld of %ld paints\n", g_view.paints, target);
    return 1;
  }
  return ok ? 0 : 1;
}

int Run(const Options& options) {
  HRESULT hr = KelmiraSetDisplayBackend(options.snapshot ? "headless" : "sdl");
  if (FAILED(hr)) {
    // The platform has said why on stderr.
    std::fprintf(stderr, "kelmira-view: cannot open a desktop window (0x%08X); try --headless-snapshot FILE\n",
                 static_cast<unsigned>(hr));
    return 1;
  }
  g_view.frame = CreateFrame(options);
  if (!g_view.frame) {
    std::fprintf(stderr, "kelmira-view: cannot create the window\n");
    return 1;
  }
  ShowWindow(g_view.frame, SW_SHOW);
  // A first mouse message so that a snapshot shows one.
  if (options.snapshot) InjectNextMove(g_view.frame, 0);
  return RunMessageLoop(options);
}

void PrintHelp() {
  std::printf(
      "Usage: kelmira-view [options]\n"
      "Opens a window with a hosted test control: a gradient, a crosshair following the mouse and\n"
      "the last mouse or key message. Close the window to quit.\n"
      "\n"
      "  --headless-snapshot FILE  paint once without a display and save the window as a PNG file\n"
      "  --frames N                exit after N paints of the control (moving the crosshair\n"
      "                            by injected mouse input between them)\n"
      "  --size WxH                window size in pixels (default 640x480)\n"
      "  --help                    show this text\n"
      "\n"
      "The window needs a display (DISPLAY or WAYLAND_DISPLAY) and the SDL back-end.\n");
}

bool ParseSize(const char* text, Options* options) {
  int w = 0;
  int h = 0;
  char tail = 0;
  if (std::sscanf(text, "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > 8192 || h > 8192) return false;
  options->width = w;
  options->height = h;
  return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options->help = true;
    } else if (std::strcmp(arg, "--headless-snapshot") == 0 && value) {
      options->snapshot = value;
      ++i;
    } else if (std::strcmp(arg, "--frames") == 0 && value) {
      char* end = nullptr;
      options->frames = std::strtol(value, &end, 10);
      if (*end != '\0' || options->frames < 1 || options->frames > 1000000) return false;
      ++i;
    } else if (std::strcmp(arg, "--size") == 0 && value) {
      if (!ParseSize(value, options)) return false;
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "kelmira-view: bad arguments (see --help)\n");
    return 2;
  }
  if (options.help) {
    PrintHelp();
    return 0;
  }
  // A refused snapshot file costs no work and leaves every file as it was.
  if (options.snapshot) {
    if (const std::string problem = kelmira::tools::OutputProblem(options.snapshot); !problem.empty()) {
      std::fprintf(stderr, "kelmira-view: %s\n", problem.c_str());
      return 1;
    }
  }
  if (FAILED(CoInitialize(nullptr))) return 1;
  int code = Run(options);
  CoUninitialize();
  return code;
}
