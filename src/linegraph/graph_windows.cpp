#include "linegraph/graph_windows.h"

#include <kelmira/platform/atlhost.h>

namespace kelmira::linegraph {
namespace {

HWND MakeChild(HWND parent, const char* windowClass, const char* text, DWORD style) {
  return CreateWindowExA(0, windowClass, text, WS_CHILD | style, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
}

void Move(HWND window, const std::optional<Placement>& place) {
  if (place) MoveWindow(window, place->x, place->y, place->width, place->height, TRUE);
}

// The window's own visible flag, not its ancestors'.
bool Shown(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

void Show(HWND window, bool shown) {
  if (window && shown != Shown(window)) ShowWindow(window, shown ? SW_SHOWNORMAL : SW_HIDE);
}

}  // namespace

HRESULT CreateChildWindows(HWND control, const GraphParts& parts, const std::string& title, GraphWindows* w) {
  w->xAxis = MakeChild(control, "AtlAxWin", "", 0);
  w->yAxis = MakeChild(control, "AtlAxWin", "", 0);
  w->rightYAxis = MakeChild(control, "AtlAxWin", "", 0);
  w->container = MakeChild(control, "AtlAxWin", "", 0);
  w->title = MakeChild(control, "STATIC", title.c_str(), SS_CENTER | SS_CENTERIMAGE);
  if (!w->xAxis || !w->yAxis || !w->rightYAxis || !w->container || !w->title) return E_OUTOFMEMORY;
  const std::pair<IUnknown*, HWND> hosted[] = {{parts.xAxis.get(), w->xAxis},
                                               {parts.yAxis.get(), w->yAxis},
                                               {parts.rightYAxis.get(), w->rightYAxis},
                                               {parts.container.get(), w->container}};
  for (auto [part, host] : hosted) {
    const HRESULT hr = part ? AtlAxAttachControl(part, host, nullptr) : E_POINTER;
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT RecalcLayout(HWND control, const RECT* given, const LayoutSettings& settings, const GraphParts& parts,
                     const GraphWindows& w) {
  if (!control) return S_OK;
  RECT client{};
  if (given)
    client = *given;
  else
    GetClientRect(control, &client);
  const GraphLayout layout = ComputeGraphLayout(client, settings);
  Move(w.title, layout.title);
  if (layout.xAxisMargin) {
    if (!parts.xAxis) return E_POINTER;
    const HRESULT hr = parts.xAxis->put_Margin(*layout.xAxisMargin);
    if (FAILED(hr)) return hr;
  }
  Move(w.xAxis, layout.xAxis);
  Move(w.yAxis, layout.yAxis);
  Move(w.rightYAxis, layout.rightYAxis);
  Move(w.container, layout.container);
  return S_OK;
}

void ShowChildWindows(HWND control, const LayoutSettings& settings, const GraphWindows& w) {
  if (!control) return;
  Show(w.title, settings.titleVisible);
  Show(w.xAxis, settings.xAxisVisible);
  Show(w.yAxis, settings.yAxisVisible);
  Show(w.rightYAxis, settings.rightYAxisVisible);
  if (w.container && !Shown(w.container)) ShowWindow(w.container, SW_SHOWNORMAL);
}

HRESULT ApplyBackColorToParts(const GraphParts& parts, OLE_COLOR color) {
  HRESULT hr = parts.background ? parts.background->put_FillColor(color) : S_OK;
  for (IAxis* axis : {static_cast<IAxis*>(parts.xAxis.get()), static_cast<IAxis*>(parts.yAxis.get()),
                      static_cast<IAxis*>(parts.rightYAxis.get())})
    if (SUCCEEDED(hr) && axis) hr = axis->put_BackColor(color);
  if (SUCCEEDED(hr) && parts.container) hr = parts.container->RedrawLayer(LayerName(u"Background"));
  if (SUCCEEDED(hr) && parts.container) hr = parts.container->Redraw();
  return hr;
}

}  // namespace kelmira::linegraph
