// What the viewer draws over the graph: the legend in a corner and the help box in the middle,
// as one layer on top of the container's stack.
//
// The layer draws straight onto the container's kept picture: UseBitmap reads VARIANT_FALSE
// whatever was put (the value put is kept, nothing else). So it is drawn only on a full paint,
// and changes made here show after the host asks the container for one (IGraphicsContainer::
// Redraw or RedrawLayer); an ordinary repaint copies the picture and calls no layer. The rubber
// band is drawn on the window after that copy, so the overlay never disturbs it.
//
// Redraw draws inside the record's rectangle, clipped to it, and leaves the device context as it
// found it; a null or unknown hDC, or a side over 2^24 pixels, is E_INVALIDARG.
//
// IDispatch is the library's generic one over IGraphicsLayer's table, registered when
// libkelmira loads: Redraw and UseBitmap can be called by name; no member returns E_NOTIMPL.
#pragma once

#include "plot/plot_legend.h"
#include "plot/plot_options.h"

#include <kelmira/kelmira.h>

#include <optional>
#include <string>
#include <vector>

namespace kelmira::view {

class OverlayLayer;  // the COM object, in overlay_layer.cpp

// The help box: dark text on a light background in a grey frame.
constexpr COLORREF kHelpBackground = RGB(0xFF, 0xFF, 0xE6);
constexpr COLORREF kHelpText = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kHelpFrame = RGB(0x50, 0x50, 0x50);

class Overlay {
 public:
  // Nothing shown yet; nullopt (with *error set) when the object cannot be made.
  static std::optional<Overlay> Make(std::string* error);

  // A moved-from Overlay may only be assigned to or destroyed.
  Overlay(Overlay&& other) noexcept;
  Overlay& operator=(Overlay&& other) noexcept;
  Overlay(const Overlay&) = delete;
  Overlay& operator=(const Overlay&) = delete;
  ~Overlay();

  // For IGraphicsContainer::AddLayer; the container then holds a reference of its own.
  IGraphicsLayer* layer() const;

  // The legend, as kelmira-plot draws it. look.font stays the caller's and must outlive its
  // use here (null: DEFAULT_GUI_FONT). Outside and Auto draw it upper right (a window has no
  // room beside the plot); None draws none.
  void SetLegend(std::vector<plot::LegendEntry> entries, plot::LegendLook look, plot::LegendPlace place);
  // UTF-8 lines, "" for a blank one; tabs expand to columns. Drawn in the legend's font.
  void SetHelp(std::vector<std::string> lines);
  void ShowLegend(bool shown);
  bool legendShown() const;
  void ShowHelp(bool shown);
  bool helpShown() const;

  // Redraw calls so far.
  long redraws() const;

 private:
  explicit Overlay(OverlayLayer* object);
  OverlayLayer* object_ = nullptr;  // one reference, released by the destructor
};

}  // namespace kelmira::view
