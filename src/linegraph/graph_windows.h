// The child windows of a line graph: four "AtlAxWin" hosts (X axis, left Y axis, right Y axis,
// container) and a "STATIC" title with its text centred both ways, all children of the graph's
// own window, and the operations that place, show and colour them.
#pragma once

#include "linegraph/graph_layout.h"
#include "linegraph/graph_parts.h"

#include <kelmira/kelmira.h>

#include <string>

namespace kelmira::linegraph {

struct GraphWindows {
  HWND xAxis = nullptr;
  HWND yAxis = nullptr;
  HWND rightYAxis = nullptr;
  HWND container = nullptr;
  HWND title = nullptr;
};

// Creates the five windows (not yet visible, at (0, 0, 1, 1)) and attaches each control to its
// host. The title window gets no font: it shows in the platform's default window font.
HRESULT CreateChildWindows(HWND control, const GraphParts& parts, const std::string& title, GraphWindows* windows);

// Places the windows by ComputeGraphLayout over `given` (the control's client rectangle when
// null), setting the X axis's Margin on the way; nothing without a control window. A failing
// Margin put ends it with its error.
HRESULT RecalcLayout(HWND control, const RECT* given, const LayoutSettings& settings, const GraphParts& parts,
                     const GraphWindows& windows);

// Shows or hides the title and axis windows where their flag differs from their state, then shows
// the container if it is hidden; nothing without a control window.
void ShowChildWindows(HWND control, const LayoutSettings& settings, const GraphWindows& windows);

// The parts' side of a new background colour: the background layer's fill, the three axes' back
// colour, then the container redraws its "Background" layer and itself. Missing parts are skipped;
// the first failing call ends it with its error.
HRESULT ApplyBackColorToParts(const GraphParts& parts, OLE_COLOR color);

}  // namespace kelmira::linegraph
