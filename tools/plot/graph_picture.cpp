#include "graph_picture.h"

#include "plot_render.h"

#include <kelmira/platform.h>

#include <algorithm>
#include <cmath>

#include <strings.h>

namespace kelmira::plot {
namespace {

HWND WindowOf(LONG handle) { return UlongToHandle<HWND>(static_cast<std::uint32_t>(handle)); }

// The window's rectangle in the picture of the host; false when it is hidden.
bool PlaceInHost(HWND window, HWND host, POINT origin, RECT* place) {
  if (!window || !IsWindowVisible(window) || !GetClientRect(window, place)) return false;
  MapWindowPoints(window, host, reinterpret_cast<POINT*>(place), 2);
  OffsetRect(place, origin.x, origin.y);
  return true;
}

HWND TitleWindow(HWND graphWindow) {
  char name[16];
  for (HWND child = GetWindow(graphWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetClassNameA(child, name, sizeof name) > 0 && strcasecmp(name, "Static") == 0) return child;
  return nullptr;
}

// As the title window paints itself: its text centred on one line, in its font (the default GUI
// font when it has none) and the colours the graph answers for it.
void DrawTitle(HWND graphWindow, HWND host, POINT origin, HDC dc) {
  const HWND title = TitleWindow(graphWindow);
  RECT place{};
  if (!title || !PlaceInHost(title, host, origin, &place)) return;
  const int length = GetWindowTextLengthA(title);
  if (length <= 0) return;
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(title, text.data(), length + 1)));
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, place.left, place.top, place.right, place.bottom);
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(graphWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(title)));
  if (brush) FillRect(dc, &place, brush);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(title, WM_GETFONT, 0, 0));
  SelectObject(dc, font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &place,
            DT_EXPANDTABS | DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  RestoreDC(dc, saved);
}

HRESULT DrawPart(IUnknown* part, LONG window, HWND host, POINT origin, HDC dc) {
  RECT place{};
  if (!part || !PlaceInHost(WindowOf(window), host, origin, &place)) return S_OK;
  ComPtr<IViewObject> view;
  HRESULT hr = part->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view));
  if (FAILED(hr) || !view) return FAILED(hr) ? hr : E_NOINTERFACE;
  const RECTL bounds{place.left, place.top, place.right, place.bottom};
  return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
}

}  // namespace

bool DrawGraphPicture(HWND host, IGraphBase* graph, HDC dc, POINT origin, int width, int height, std::string* error) {
  ComPtr<IOleWindow> ole;
  HWND graphWindow = nullptr;
  if (!graph || FAILED(graph->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&ole))) || !ole ||
      FAILED(ole->GetWindow(&graphWindow)) || !graphWindow) {
    *error = "the graph has no window to draw from";
    return false;
  }
  ComPtr<IGraphicsContainer> container;
  ComPtr<IXAxis> xAxis;
  ComPtr<IYAxis> yAxis, rightAxis;
  OLE_COLOR back = 0;
  LONG plot = 0, x = 0, y = 0, right = 0;
  HRESULT hr = graph->get_GraphicsContainer(&container);
  if (SUCCEEDED(hr)) hr = graph->get_XAxis(&xAxis);
  if (SUCCEEDED(hr)) hr = graph->get_YAxis(&yAxis);
  if (SUCCEEDED(hr)) hr = graph->get_RightYAxis(&rightAxis);
  if (SUCCEEDED(hr) && (!container || !xAxis || !yAxis || !rightAxis)) hr = E_POINTER;
  if (SUCCEEDED(hr)) hr = graph->get_BackColor(&back);
  if (SUCCEEDED(hr)) hr = container->get_hwnd(&plot);
  if (SUCCEEDED(hr)) hr = xAxis->get_Window(&x);
  if (SUCCEEDED(hr)) hr = yAxis->get_Window(&y);
  if (SUCCEEDED(hr)) hr = rightAxis->get_Window(&right);
  if (FAILED(hr)) {
    *error = "the graph's parts cannot be drawn (" + DescribeWriteFailure(hr) + ")";
    return false;
  }
  if (const HBRUSH brush = CreateSolidBrush(back)) {
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
  }
  DrawTitle(graphWindow, host, origin, dc);
  // The kept picture was made for the window's own device context: the container composes anew,
  // for this one, and again for the window at its next paint.
  container->Redraw();
  const std::pair<IUnknown*, LONG> parts[] = {
      {container.get(), plot}, {xAxis.get(), x}, {yAxis.get(), y}, {rightAxis.get(), right}};
  for (const auto& [part, window] : parts) hr = SUCCEEDED(hr) ? DrawPart(part, window, host, origin, dc) : hr;
  container->Redraw();
  if (FAILED(hr)) *error = "the graph cannot draw its picture (" + DescribeWriteFailure(hr) + ")";
  return SUCCEEDED(hr);
}

void DrawScaledTitle(IGraphBase* graph, HDC dc, const RECT& strip, double scale) {
  BSTR title = nullptr;
  OLE_COLOR text = 0;
  if (FAILED(graph->get_Title(&title)) || FAILED(graph->get_TextColor(&text))) return;
  const int n = WideCharToMultiByte(CP_ACP, 0, title, -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(std::max(n, 1)), '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, title, -1, ansi.data(), n, nullptr, nullptr);
  SysFreeString(title);
  LOGFONTA look{};
  if (!GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof look, &look)) return;
  look.lfHeight = static_cast<LONG>(std::lround(look.lfHeight * scale));
  const HFONT font = CreateFontIndirectA(&look);
  if (!font) return;
  const int saved = SaveDC(dc);
  SelectObject(dc, font);
  SetTextColor(dc, text);
  SetBkMode(dc, TRANSPARENT);
  RECT place = strip;
  DrawTextA(dc, ansi.c_str(), -1, &place, DT_EXPANDTABS | DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  RestoreDC(dc, saved);
  DeleteObject(font);
}

bool SaveVectorPicture(HDC recording, const std::string& path, PictureFormat format, double widthPt, double heightPt,
                       std::string* error) {
  const HRESULT hr =
      KelmiraSaveRecording(recording, path.c_str(), format == PictureFormat::Pdf ? "pdf" : "svg", widthPt, heightPt);
  if (FAILED(hr)) *error = "cannot write '" + path + "': " + DescribeWriteFailure(hr);
  return SUCCEEDED(hr);
}

}  // namespace kelmira::plot
