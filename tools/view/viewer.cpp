#include "view/viewer.h"

#include "view/view_files.h"

#include "common/utf8_text.h"

#include <kelmira/container_zoom.h>
#include <kelmira/platform/atlhost.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

namespace kelmira::view {
namespace {

constexpr char kFrameClass[] = "KelmiraViewFrame";
constexpr int kHostId = 1;
constexpr int kStatusHeight = 22;
constexpr UINT kRearm = WM_APP + 1;  // a drag tool reported: arm it again
constexpr double kWheelStep = 1.25;  // zoom per notch
constexpr char kReportCaption[] = "MouseInput command not found!";

const char* const kHelp[] = {
    "Mouse in the plot",
    "  drag: zoom to the rectangle      click: zoom in      right click: zoom out",
    "  wheel: zoom about the cursor     forward button: the whole data",
    "Keys",
    "  1 point   2 line   3 rectangle   4 circle   5 X range   6 Y range",
    "  7 X line   8 Y line: the next left drag draws it; 0: zoom again",
    "  + / -  zoom in / out        Home  the whole data",
    "  L  legend     P  properties     S  save PNG     Ctrl+S  save settings",
    "  ?  this list     Q or Escape  quit",
};

std::string Limits(const char* word, double a, double b, double c, double d) {
  char text[160];
  std::snprintf(text, sizeof text, "%s %.9g %.9g %.9g %.9g", word, a, b, c, d);
  return text;
}

bool RegisterFrameClass(WNDPROC proc) {
  WNDCLASSEXA existing{};
  if (GetClassInfoExA(nullptr, kFrameClass, &existing)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kFrameClass;
  return RegisterClassExA(&wc) != 0;
}

}  // namespace

Viewer::Viewer(ViewOptions options, plot::LoadedPlot loaded)
    : options_(std::move(options)), data_(std::move(loaded.data)), lines_(std::move(loaded.lines)) {}

std::unique_ptr<Viewer> Viewer::Open(ViewOptions options, plot::LoadedPlot loaded, std::string* error) {
  auto viewer = std::make_unique<Viewer>(std::move(options), std::move(loaded));
  if (!viewer->Build(error)) return nullptr;
  return viewer;
}

Viewer::~Viewer() {
  KelmiraSetMessageBoxHook(nullptr, nullptr);
  events_.reset();
  if (frame_) {
    SetWindowLongPtrA(frame_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(frame_, nullptr));
  }
}

HWND Viewer::plotWindow() const {
  LONG hwnd = 0;
  if (!graph_.container || FAILED(graph_.container->get_hwnd(&hwnd))) return nullptr;
  return UlongToHandle<HWND>(static_cast<std::uint32_t>(hwnd));
}

bool Viewer::Build(std::string* error) {
  // The legend is made whatever the options say, so that L can show it.
  plot::PlotOptions build = options_.plot;
  const plot::LegendPlace asked = options_.plot.legend;
  const bool legendShown =
      asked == plot::LegendPlace::Auto ? data_.series.size() > 1 : asked != plot::LegendPlace::None;
  if (asked == plot::LegendPlace::Auto || asked == plot::LegendPlace::None || asked == plot::LegendPlace::Outside)
    build.legend = plot::LegendPlace::UpperRight;
  if (!plot::BuildPlotGraph(data_, build, lines_, &graph_, error)) return false;
  lines_.clear();

  if (!RegisterFrameClass(&Viewer::FrameProc)) {
    *error = "cannot register the window class";
    return false;
  }
  const std::string name = options_.plot.input.empty()
                               ? std::string(options_.plot.loadFile.empty() ? "demo data" : options_.plot.loadFile)
                               : std::filesystem::path(options_.plot.input).filename().string();
  frame_ =
      CreateWindowExA(0, kFrameClass, ("kelmira-view - " + name).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                      options_.plot.width, options_.plot.height + kStatusHeight, nullptr, nullptr, nullptr, nullptr);
  if (!frame_) {
    *error = "cannot create the window";
    return false;
  }
  // Messages before this go to the default procedure.
  SetWindowLongPtrA(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  host_ = CreateWindowExA(0, "AtlAxWin", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, options_.plot.width,
                          options_.plot.height, frame_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHostId)), nullptr,
                          nullptr);
  if (!host_ || FAILED(AtlAxAttachControl(graph_.graph.get(), host_, nullptr))) {
    *error = "cannot place the graph in the window";
    return false;
  }

  overlay_ = Overlay::Make(error);
  if (!overlay_) return false;
  std::vector<std::string> help(std::begin(kHelp), std::end(kHelp));
  overlay_->SetHelp(std::move(help));
  overlay_->SetLegend(graph_.legend.entries, graph_.legend.look, graph_.legend.place);
  overlay_->ShowLegend(legendShown);
  VARIANT_BOOL added = VARIANT_FALSE;
  const Bstr layerName = tools::ToBstr("kelmira-view overlay");
  const HRESULT hr = graph_.container->AddLayer(layerName.get(), overlay_->layer(), &added);
  if (FAILED(hr) || !added) {
    *error = "the graph refused the viewer's layer";
    return false;
  }

  ContainerEvents handlers;
  handlers.mouse = [this](LONG event, LONG, LONG x, LONG y) { OnMouse(event, x, y); };
  handlers.viewChanged = [this] { OnViewChanged(); };
  events_ = std::make_unique<ContainerEventSink>(graph_.container.get(), std::move(handlers));
  if (FAILED(graph_.container->get_MouseInput(&manager_)) || !manager_ || !events_->connected()) {
    *error = "cannot connect to the graph's mouse input";
    return false;
  }
  // A saved view comes back when the data is the same or covers it.
  if (graph_.savedLimits && !data_.series.empty()) {
    const plot::PlotView& v = *graph_.savedLimits;
    graph_.container->SetLimits(v.x.min, v.x.max, v.y.min, v.y.max);
  }
  KelmiraSetMessageBoxHook(&Viewer::OnMessageBox, this);
  Layout();
  graph_.graph->Redraw();
  ShowWindow(frame_, SW_SHOW);
  UpdateWindow(frame_);
  return true;
}

// ---------------------------------------------------------------------------------------------
// The frame

LRESULT CALLBACK Viewer::FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* viewer = reinterpret_cast<Viewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!viewer) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return viewer->Handle(msg, wParam, lParam);
}

LRESULT Viewer::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE: Layout(); return 0;
    case WM_ERASEBKGND: return 1;  // the graph and the status line cover the window
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(frame_, &ps);
      PaintStatus(dc);
      EndPaint(frame_, &ps);
      return 0;
    }
    case kRearm:
      if (status_.tool) Arm(status_.tool);
      return 0;
    case WM_DESTROY:
      frame_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default: return DefWindowProcA(frame_, msg, wParam, lParam);
  }
}

void Viewer::Layout() {
  RECT client{};
  GetClientRect(frame_, &client);
  const int height = std::max<int>(1, client.bottom - kStatusHeight);
  RECT now{};
  GetClientRect(host_, &now);
  if (now.right != client.right || now.bottom != height) MoveWindow(host_, 0, 0, client.right, height, TRUE);
  FitTicks();
  InvalidateRect(frame_, nullptr, FALSE);
}

void Viewer::PaintStatus(HDC dc) const {
  RECT client{};
  GetClientRect(frame_, &client);
  RECT strip{0, std::max<LONG>(0, client.bottom - kStatusHeight), client.right, client.bottom};
  FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
  RECT edge{strip.left, strip.top, strip.right, strip.top + 1};
  FillRect(dc, &edge, GetSysColorBrush(COLOR_BTNSHADOW));
  const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT text{strip.left + 6, strip.top + 1, strip.right - 6, strip.bottom};
  const std::string line = status_.Text();
  DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &text,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, oldFont);
}

void Viewer::ShowStatus() {
  if (!frame_) return;
  RECT client{};
  GetClientRect(frame_, &client);
  RECT strip{0, client.bottom - kStatusHeight, client.right, client.bottom};
  InvalidateRect(frame_, &strip, FALSE);
}

void Viewer::SetMessage(std::string text, bool error) {
  std::fprintf(error ? stderr : stdout, "kelmira-view: %s\n", text.c_str());
  std::fflush(error ? stderr : stdout);
  if (error) ++errors_;
  status_.message = std::move(text);
  ShowStatus();
}

// ---------------------------------------------------------------------------------------------
// Input

bool Viewer::PreTranslate(const MSG& msg) {
  if (!frame_ || (msg.hwnd != frame_ && !IsChild(frame_, msg.hwnd))) return false;
  switch (msg.message) {
    case WM_KEYDOWN: return OnKeyDown(msg.wParam);
    case WM_CHAR: return msg.wParam < 0x80 && OnChar(static_cast<char>(msg.wParam));
    case WM_MOUSEWHEEL: OnWheel(msg); return true;
    default: return false;
  }
}

bool Viewer::OnKeyDown(WPARAM vk) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  if (vk == VK_ESCAPE) {
    DestroyWindow(frame_);
  } else if (vk == VK_HOME) {
    KelmiraZoomToExtents(graph_.container.get());
  } else if (ctrl && vk == 'S') {
    SaveSettings();
  } else {
    return false;  // on to WM_CHAR
  }
  return true;
}

bool Viewer::OnChar(char c) {
  if (c >= '0' && c <= '8') {
    Arm(c - '0');
    return true;
  }
  switch (c) {
    case '+':
    case '=': Zoom(2.0); return true;
    case '-': Zoom(0.5); return true;
    case 'l':
    case 'L': ToggleLegend(); return true;
    case 'p':
    case 'P': OpenProperties(); return true;
    case 's':
    case 'S': SavePicture(); return true;
    case '?': ToggleHelp(); return true;
    case 'q':
    case 'Q': DestroyWindow(frame_); return true;
    default: return false;
  }
}

void Viewer::OnWheel(const MSG& msg) {
  const double notches = GET_WHEEL_DELTA_WPARAM(msg.wParam) / static_cast<double>(WHEEL_DELTA);
  const double factor = std::pow(kWheelStep, notches);
  const LONG sx = GET_X_LPARAM(msg.lParam), sy = GET_Y_LPARAM(msg.lParam);
  RECT plot{};
  const HWND window = plotWindow();
  double px = 0, py = 0, x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  VARIANT_BOOL inside = VARIANT_FALSE;
  if (window && GetWindowRect(window, &plot) && sx >= plot.left && sx < plot.right && sy >= plot.top &&
      sy < plot.bottom && SUCCEEDED(graph_.container->ScreenToLogical(sx, sy, &px, &py, &inside)) && inside &&
      SUCCEEDED(graph_.container->GetLimits(&x0, &x1, &y0, &y1)) && x1 > x0 && y1 > y0) {
    // The zoom centres the view on the point it is given: this centre keeps (px, py) under the cursor.
    const double cx = px + (x1 - x0) / factor * (0.5 - (px - x0) / (x1 - x0));
    const double cy = py + (y1 - y0) / factor * (0.5 - (py - y0) / (y1 - y0));
    KelmiraZoomByFactor(graph_.container.get(), factor, &cx, &cy);
  } else {
    Zoom(factor);
  }
}

void Viewer::OnMouse(LONG event, LONG screenX, LONG screenY) {
  if (event != kEventMouseMove) return;
  double x = 0, y = 0;
  VARIANT_BOOL ok = VARIANT_FALSE;
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  RECT plot{};
  if (SUCCEEDED(graph_.container->ScreenToLogical(screenX, screenY, &x, &y, &ok)) && ok &&
      SUCCEEDED(graph_.container->GetLimits(&x0, &x1, &y0, &y1)) && GetClientRect(plotWindow(), &plot)) {
    status_.position = PointText(options_.plot, x, y, (x1 - x0) / std::max<LONG>(1, plot.right),
                                 (y1 - y0) / std::max<LONG>(1, plot.bottom));
    ShowStatus();
  }
}

void Viewer::OnViewChanged() {
  if (!fitting_) FitTicks();
}

int Viewer::OnMessageBox(HWND, const char* text, const char* caption, UINT, void* context) {
  auto* viewer = static_cast<Viewer*>(context);
  if (!viewer || !caption || std::strcmp(caption, kReportCaption) != 0) return 0;
  viewer->SetMessage(text ? text : "");
  if (viewer->frame_) PostMessageA(viewer->frame_, kRearm, 0, 0);
  return IDOK;
}

// ---------------------------------------------------------------------------------------------
// Commands

void Viewer::Arm(int tool) {
  // Armed with an empty command, the next drag zooms.
  const Bstr name = tool ? tools::ToBstr(ToolName(tool)) : Bstr();
  BSTR command = name.get();
  IMouseInputManager* m = manager_.get();
  switch (tool) {
    case 1: m->DragPoint(command); break;
    case 2: m->DragLine(command); break;
    case 4: m->DragCircle(command); break;
    case 5: m->DragXRange(command); break;
    case 6: m->DragYRange(command); break;
    case 7: m->DragXLine(command); break;
    case 8: m->DragYLine(command); break;
    default: m->DragRectangle(command); break;
  }
  status_.tool = tool;
  ShowStatus();
}

void Viewer::Zoom(double factor) { KelmiraZoomByFactor(graph_.container.get(), factor, nullptr, nullptr); }

void Viewer::ToggleLegend() {
  if (graph_.legend.entries.empty()) {
    SetMessage("no lines, no legend");
    return;
  }
  overlay_->ShowLegend(!overlay_->legendShown());
  graph_.container->Redraw();
}

void Viewer::ToggleHelp() {
  overlay_->ShowHelp(!overlay_->helpShown());
  graph_.container->Redraw();
}

void Viewer::OpenProperties() {
  ComPtr<ISpecifyPropertyPages> specify;
  CAUUID pages{};
  HRESULT hr = graph_.graph->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify));
  if (SUCCEEDED(hr)) hr = specify->GetPages(&pages);
  if (SUCCEEDED(hr)) {
    IUnknown* object = graph_.graph.get();
    hr = OleCreatePropertyFrame(frame_, 40, 40, u"Graph", 1, &object, pages.cElems, pages.pElems, 0, 0, nullptr);
    CoTaskMemFree(pages.pElems);
  }
  if (FAILED(hr)) {
    char text[80];
    std::snprintf(text, sizeof text, "the property page cannot open (0x%08X)", static_cast<unsigned>(hr));
    SetMessage(text, true);
    return;
  }
  // What OK or Apply changed: the legend takes the graph's colours and font again.
  TakeLegendLook();
  FitTicks();
  graph_.graph->Redraw();
}

void Viewer::TakeLegendLook() {
  plot::PlotLegend& legend = graph_.legend;
  OLE_COLOR color = 0;
  if (SUCCEEDED(graph_.graph->get_BackColor(&color))) legend.look.background = color;
  if (SUCCEEDED(graph_.graph->get_TextColor(&color))) legend.look.text = color;
  ComPtr<IFontDisp> disp;
  ComPtr<IFont> font;
  HFONT handle = nullptr;
  if (SUCCEEDED(graph_.graph->get_Font(&disp)) && disp &&
      SUCCEEDED(disp->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font))) &&
      SUCCEEDED(font->get_hFont(&handle))) {
    legend.font = font;
    legend.look.font = handle;
  }
  overlay_->SetLegend(legend.entries, legend.look, legend.place);
}

// The format -o names; a vector page keeps the size --size gave in print units while the window
// has it.
void Viewer::SavePicture() {
  std::string error, path = options_.outputGiven ? options_.plot.output : "";
  if (path.empty()) path = ReserveFreshName(SaveStem(options_.plot.input), ".png", &error);
  RECT r{};
  GetClientRect(host_, &r);
  const plot::PlotOptions& o = options_.plot;
  const bool asked = r.right == o.width && r.bottom == o.height;
  const bool vector = plot::OutputFormat(path) != plot::PictureFormat::Png;
  if (!path.empty() && (vector ? SaveGraphVector(host_, graph_.graph.get(), path, asked ? o.pageWidthPt : 0,
                                                 asked ? o.pageHeightPt : 0, &error)
                               : SaveWindowPicture(host_, path, &error))) {
    SetMessage("wrote " + path + " (" + std::to_string(r.right) + "x" + std::to_string(r.bottom) + ")");
    return;
  }
  if (!options_.outputGiven && !path.empty()) std::remove(path.c_str());  // the name reserved for it
  SetMessage(error, true);
}

void Viewer::SaveSettings() {
  std::string error, path = options_.saveGiven ? options_.plot.saveFile : "";
  if (path.empty()) path = ReserveFreshName(SaveStem(options_.plot.input), ".klg", &error);
  if (!path.empty() && SaveGraphStream(graph_.persist.get(), path, &error)) {
    SetMessage("wrote " + path + " (open it with --load)");
    return;
  }
  if (!options_.saveGiven && !path.empty()) std::remove(path.c_str());
  SetMessage(error, true);
}

void Viewer::FitTicks() {
  if (!host_ || fitting_) return;
  plot::PlotOptions fit = options_.plot;
  RECT r{};
  GetClientRect(host_, &r);
  fit.width = std::max<int>(1, r.right);
  fit.height = std::max<int>(1, r.bottom);
  std::string error;
  fitting_ = true;
  const bool ok = plot::FitTicks(graph_, data_, fit, &error);
  fitting_ = false;
  if (!ok) SetMessage(error, true);
}

// ---------------------------------------------------------------------------------------------
// Scripts

std::string Viewer::Report(const std::string& what) const {
  double a = 0, b = 0, c = 0, d = 0;
  if (what == "limits" && SUCCEEDED(graph_.container->GetLimits(&a, &b, &c, &d))) return Limits("limits", a, b, c, d);
  if (what == "extents" && SUCCEEDED(graph_.container->GetExtents(&a, &b, &c, &d)))
    return Limits("extents", a, b, c, d);
  if (what == "status") return "status " + status_.Text();
  if (Bstr title; what == "title" && SUCCEEDED(graph_.graph->get_Title(&title)))
    return "title " + tools::Utf8Of(title.get());
  return {};
}

bool Viewer::Snapshot(const std::string& path) {
  const HWND active = GetActiveWindow();
  const HWND target = active && active != frame_ && IsWindowVisible(active) ? active : frame_;
  std::string error;
  if (!target || !SaveWindowPicture(target, path, &error)) {
    SetMessage(error.empty() ? "no window to save" : error, true);
    return false;
  }
  return true;
}

}  // namespace kelmira::view
