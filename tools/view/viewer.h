// The viewer window: a frame holding an "AtlAxWin" host with the LineGraph of the data above a
// status line. The graph's container zooms with its own mouse gestures; the viewer adds the wheel
// and the keys (listed by ViewUsage), arms the mouse input manager's drag tools and shows their
// reports in the status line instead of the manager's message box.
//
// Choices:
// - A drag tool stays armed after its report (the viewer arms it again), until 0 or another
//   number: measuring several ranges in a row is the common case.
// - The wheel keeps the data point under the cursor where it is (the zoom centre is chosen so);
//   each notch zooms by 1.25. Over the axes or the title the wheel zooms about the middle.
// - The legend and the key list are a layer of the viewer's own on top of the graph's stack, so
//   they are part of the picture the container keeps and never disturb the rubber band.
// - An "outside" legend has no room in the window: it is drawn in the upper right corner.
#pragma once

#include "plot/plot_load.h"
#include "plot/plot_render.h"
#include "view/overlay_layer.h"
#include "view/view_events.h"
#include "view/view_options.h"
#include "view/view_status.h"

#include <kelmira/platform.h>

#include <memory>
#include <optional>
#include <string>

namespace kelmira::view {

class Viewer {
 public:
  // The graph of the loaded data in a new, shown frame window; null with *error.
  static std::unique_ptr<Viewer> Open(ViewOptions options, plot::LoadedPlot loaded, std::string* error);
  Viewer(ViewOptions options, plot::LoadedPlot loaded);  // then Open's work; use Open
  ~Viewer();
  Viewer(const Viewer&) = delete;
  Viewer& operator=(const Viewer&) = delete;

  HWND frame() const { return frame_; }
  HWND plotWindow() const;  // the container's window: script points refer to its client area
  bool open() const { return frame_ != nullptr; }

  // A message of the main loop before it is dispatched: true when it was a key or the wheel the
  // viewer took.
  bool PreTranslate(const MSG& msg);

  // What a script prints: "limits XMIN XMAX YMIN YMAX", "extents ...", "status TEXT", "title
  // TEXT"; empty for another word.
  std::string Report(const std::string& what) const;
  // The window, or the dialog in front of it when one is open, as PNG.
  bool Snapshot(const std::string& path);
  // Errors shown so far (failed saves, a property frame that could not open).
  int errors() const { return errors_; }

 private:
  bool Build(std::string* error);
  static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

  void Layout();
  void PaintStatus(HDC dc) const;
  void SetMessage(std::string text, bool error = false);
  void ShowStatus();

  bool OnChar(char c);
  bool OnKeyDown(WPARAM vk);
  void OnWheel(const MSG& msg);
  void OnMouse(LONG event, LONG screenX, LONG screenY);
  void OnViewChanged();
  static int OnMessageBox(HWND owner, const char* text, const char* caption, UINT type, void* context);

  void Arm(int tool);
  void Zoom(double factor);
  void ToggleLegend();
  void ToggleHelp();
  void OpenProperties();
  void SavePicture();
  void SaveSettings();
  void FitTicks();
  void TakeLegendLook();

  ViewOptions options_;
  plot::PlotData data_;
  plot::FilledLines lines_;
  plot::PlotGraph graph_;
  std::optional<Overlay> overlay_;
  std::unique_ptr<ContainerEventSink> events_;
  ComPtr<IMouseInputManager> manager_;
  HWND frame_ = nullptr;
  HWND host_ = nullptr;
  StatusLine status_;
  int errors_ = 0;
  bool fitting_ = false;  // FitTicks runs; the view changes it causes are its own
};

}  // namespace kelmira::view
