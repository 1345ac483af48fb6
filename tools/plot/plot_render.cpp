#include "plot_render.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>
#include <kelmira/platform/atlhost.h>

#include <cmath>
#include <cstdio>

namespace kelmira::plot {
namespace {

// Failures inside the render carry their message out to RenderPlot.
struct RenderFailure {
  std::string message;
};

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw RenderFailure{std::string(what) + " failed (" + Hex(hr) + ")"};
}

template <class T>
ComPtr<T> Make(REFCLSID clsid, REFIID iid, const char* progId) {
  ComPtr<T> object;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&object));
  if (FAILED(hr)) throw RenderFailure{std::string("cannot create ") + progId + " (" + Hex(hr) + ")"};
  return object;
}

class Bstr {
 public:
  explicit Bstr(const std::string& text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    value_ = SysAllocStringLen(nullptr, n > 0 ? static_cast<UINT>(n - 1) : 0);
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, value_, n);
  }
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_ = nullptr;
};

// A hidden point is masked out; its values stay zero.
void FillLineData(ILineData* line, const PlotData& data, const Series& series, bool dateX) {
  const LONG n = static_cast<LONG>(series.y.size());
  Check(line->put_UseXData(data.xIsIndex ? VARIANT_FALSE : VARIANT_TRUE), "LineData.UseXData");
  Check(line->put_UseDoubleForXData(dateX ? VARIANT_TRUE : VARIANT_FALSE), "LineData.UseDoubleForXData");
  Check(line->put_Size(n), "LineData.Size");
  float* y = nullptr;
  BYTE* mask = nullptr;
  Check(line->GetDataPtr(&y), "LineData.GetDataPtr");
  Check(line->GetMaskPtr(&mask), "LineData.GetMaskPtr");
  if (n > 0 && (!y || !mask)) throw RenderFailure{"LineData gave no arrays for " + std::to_string(n) + " points"};
  float* xf = nullptr;
  double* xd = nullptr;
  if (!data.xIsIndex) {
    if (dateX)
      Check(line->get_DataPtrXDouble(&xd), "LineData.DataPtrXDouble");
    else
      Check(line->GetDataPtrX(&xf), "LineData.GetDataPtrX");
    if (n > 0 && !xf && !xd) throw RenderFailure{"LineData gave no X array"};
  }
  for (LONG i = 0; i < n; ++i) {
    double yv = series.y[static_cast<std::size_t>(i)];
    double xv = data.xIsIndex ? 0.0 : data.x[static_cast<std::size_t>(i)];
    bool shown = std::isfinite(yv) && std::isfinite(xv);
    y[i] = shown ? static_cast<float>(yv) : 0.0f;
    mask[i] = shown ? 1 : 0;
    if (xd) xd[i] = shown ? xv : 0.0;
    if (xf) xf[i] = shown ? static_cast<float>(xv) : 0.0f;
  }
}

LONG PointStyleOf(Markers markers) {
  switch (markers) {
    case Markers::Circle: return 0;
    case Markers::Plus: return 1;
    default: return 2;
  }
}

ComPtr<ILineLayer> MakeLineLayer(const PlotData& data, const PlotOptions& options, bool rightY,
                                 std::size_t* colorIndex) {
  auto layer = Make<ILineLayer>(CLSID_LineLayer, IID_ILineLayer, "Kelmira.LineLayer");
  if (options.markers != Markers::None) Check(layer->put_Style(1), "LineLayer.Style");
  for (const Series& series : data.series) {
    if (series.rightY != rightY) continue;
    COLORREF color = options.lineColors[(*colorIndex)++ % options.lineColors.size()];
    Bstr name(series.name);
    ComPtr<ILine> line;
    Check(layer->AddLine(name.get(), color, options.lineStyle, &line), "LineLayer.AddLine");
    if (!line) throw RenderFailure{"LineLayer.AddLine gave no line"};
    Check(line->put_Width(options.lineWidth), "Line.Width");
    if (options.markers != Markers::None) Check(line->put_PointStyle(PointStyleOf(options.markers)), "Line.PointStyle");
    ComPtr<ILineData> lineData;
    Check(line->get_Data(&lineData), "Line.Data");
    if (!lineData) throw RenderFailure{"Line.Data gave no data object"};
    FillLineData(lineData.get(), data, series, options.dateX);
  }
  return layer;
}

void AddLayer(IGraphicsContainer* container, const char* name, IUnknown* layer) {
  Bstr text(name);
  VARIANT_BOOL added = VARIANT_FALSE;
  ComPtr<IGraphicsLayer> graphicsLayer;
  Check(layer->QueryInterface(IID_IGraphicsLayer, reinterpret_cast<void**>(&graphicsLayer)),
        "QueryInterface(IGraphicsLayer)");
  Check(container->AddLayer(text.get(), graphicsLayer.get(), &added), "GraphicsContainer.AddLayer");
}

// The whole pipeline; throws RenderFailure.
void Render(const PlotData& data, const PlotOptions& options) {
  Range x = options.xLimits ? *options.xLimits : XRange(data).value_or(Range{0, 1});
  Range y = options.yLimits ? *options.yLimits : DataRange(data, false).value_or(Range{0, 1});
  std::optional<Range> rightY = options.rightYLimits ? options.rightYLimits : DataRange(data, true);
  bool hasRight = false;
  for (const Series& s : data.series) hasRight = hasRight || s.rightY;

  auto container =
      Make<IGraphicsContainer>(CLSID_GraphicsContainer, IID_IGraphicsContainer, "Kelmira.GraphicsContainer");
  auto background = Make<IBackgroundLayer>(CLSID_BackgroundLayer, IID_IBackgroundLayer, "Kelmira.BackgroundLayer");
  Check(background->put_FillColor(options.background), "BackgroundLayer.FillColor");
  auto grid = Make<IGridLayer>(CLSID_GridLayer, IID_IGridLayer, "Kelmira.GridLayer");
  Check(grid->put_LineColor(options.gridColor), "GridLayer.LineColor");
  Check(grid->put_LineStyle(options.gridStyle), "GridLayer.LineStyle");
  Check(grid->put_Lines(options.grid ? VARIANT_TRUE : VARIANT_FALSE), "GridLayer.Lines");
  Check(grid->put_Border(options.border ? VARIANT_TRUE : VARIANT_FALSE), "GridLayer.Border");
  Check(grid->put_UseXAsDate(options.dateX ? VARIANT_TRUE : VARIANT_FALSE), "GridLayer.UseXAsDate");
  Check(grid->put_XSteps(std::max(2, options.width / 100)), "GridLayer.XSteps");
  Check(grid->put_YSteps(std::max(2, options.height / 80)), "GridLayer.YSteps");
  std::size_t colorIndex = 0;
  auto lines = MakeLineLayer(data, options, false, &colorIndex);
  auto rightLines = MakeLineLayer(data, options, true, &colorIndex);

  AddLayer(container.get(), "Background", background.get());
  AddLayer(container.get(), "Grid", grid.get());
  AddLayer(container.get(), "Line", lines.get());
  if (hasRight) {
    AddLayer(container.get(), "RightLine", rightLines.get());
    VARIANT index;
    VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = 3;
    Check(container->SetLayerRightYAxis(index, VARIANT_TRUE), "GraphicsContainer.SetLayerRightYAxis");
    Range r = rightY.value_or(Range{0, 1});
    Check(container->SetRightYLimits(r.min, r.max), "GraphicsContainer.SetRightYLimits");
  }
  // Tiny data ranges must not be widened by the default minimum zoom size.
  Check(container->put_MinZoomX((x.max - x.min) * 1e-6), "GraphicsContainer.MinZoomX");
  Check(container->put_MinZoomY((y.max - y.min) * 1e-6), "GraphicsContainer.MinZoomY");
  Check(container->SetExtents(x.min, x.max, y.min, y.max), "GraphicsContainer.SetExtents");

  HWND host = CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, options.width, options.height,
                              nullptr, nullptr, nullptr, nullptr);
  if (!host) throw RenderFailure{"cannot create the host window"};
  struct WindowGuard {
    HWND hwnd;
    ~WindowGuard() { DestroyWindow(hwnd); }
  } guard{host};
  Check(AtlAxAttachControl(container.get(), host, nullptr), "AtlAxAttachControl");
  Check(container->Redraw(), "GraphicsContainer.Redraw");
  UpdateWindow(host);
  MSG msg{};
  for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);

  HRESULT hr = KelmiraSaveWindowPng(host, options.output.c_str());
  if (FAILED(hr)) throw RenderFailure{"cannot write '" + options.output + "': " + DescribeWriteFailure(hr)};
}

}  // namespace

std::string DescribeWriteFailure(long hr) {
  switch (static_cast<HRESULT>(hr)) {
    case STG_E_PATHNOTFOUND: return "the directory does not exist";
    case STG_E_ACCESSDENIED: return "permission denied";
    case STG_E_MEDIUMFULL: return "the disk is full";
    default: return "error " + Hex(static_cast<HRESULT>(hr));
  }
}

bool RenderPlot(const PlotData& data, const PlotOptions& options, std::string* error) {
  // Caught by type, not through Guarded: a render failure carries a message for the user.
  try {
    Render(data, options);
    return true;
  } catch (const RenderFailure& failure) {
    *error = failure.message;
  } catch (const std::bad_alloc&) {
    *error = "out of memory";
  }
  return false;
}

}  // namespace kelmira::plot
