#include "plot_render.h"

#include "graph_file.h"
#include "plot_scales.h"
#include "tick_texts.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>
#include <kelmira/platform/atlhost.h>
#include <kelmira/tick_label_list.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

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
  BSTR Detach() { return std::exchange(value_, nullptr); }

 private:
  BSTR value_ = nullptr;
};

// A hidden point is masked out; its values stay zero. X goes in double precision: in single
// precision, epoch seconds would fall on 128-second steps.
void FillLineData(ILineData* line, const PlotData& data, const Series& series) {
  const LONG n = static_cast<LONG>(series.y.size());
  Check(line->put_UseXData(data.xIsIndex ? VARIANT_FALSE : VARIANT_TRUE), "LineData.UseXData");
  Check(line->put_UseDoubleForXData(VARIANT_TRUE), "LineData.UseDoubleForXData");
  Check(line->put_Size(n), "LineData.Size");
  float* y = nullptr;
  BYTE* mask = nullptr;
  Check(line->GetDataPtr(&y), "LineData.GetDataPtr");
  Check(line->GetMaskPtr(&mask), "LineData.GetMaskPtr");
  if (n > 0 && (!y || !mask)) throw RenderFailure{"LineData gave no arrays for " + std::to_string(n) + " points"};
  double* xd = nullptr;
  if (!data.xIsIndex) {
    Check(line->get_DataPtrXDouble(&xd), "LineData.DataPtrXDouble");
    if (n > 0 && !xd) throw RenderFailure{"LineData gave no X array"};
  }
  for (LONG i = 0; i < n; ++i) {
    double yv = series.y[static_cast<std::size_t>(i)];
    double xv = data.xIsIndex ? 0.0 : data.x[static_cast<std::size_t>(i)];
    bool shown = std::isfinite(yv) && std::isfinite(xv);
    y[i] = shown ? static_cast<float>(yv) : 0.0f;
    mask[i] = shown ? 1 : 0;
    if (xd) xd[i] = shown ? xv : 0.0;
  }
}

LONG PointStyleOf(Markers markers) {
  switch (markers) {
    case Markers::Circle: return 0;
    case Markers::Plus: return 1;
    default: return 2;
  }
}

// Series take the colours in turn (the left ones come first).
COLORREF LineColor(const PlotOptions& options, std::size_t series) {
  const std::vector<COLORREF>& colors = options.lineColors.empty() ? kDefaultPalette : options.lineColors;
  return colors[series % colors.size()];
}

// The left or the right series, as lines of the graph's line layer for that side.
void AddLines(ILineLayer* layer, const PlotData& data, const PlotOptions& options, bool rightY) {
  if (!layer) throw RenderFailure{"LineGraph gave no line layer"};
  if (options.markers != Markers::None) Check(layer->put_Style(1), "LineLayer.Style");
  for (std::size_t i = 0; i < data.series.size(); ++i) {
    const Series& series = data.series[i];
    if (series.rightY != rightY) continue;
    COLORREF color = LineColor(options, i);
    Bstr name(series.name);
    ComPtr<ILine> line;
    Check(layer->AddLine(name.get(), color, options.lineStyle, &line), "LineLayer.AddLine");
    if (!line) throw RenderFailure{"LineLayer.AddLine gave no line"};
    Check(line->put_Width(options.lineWidth), "Line.Width");
    if (options.markers != Markers::None) Check(line->put_PointStyle(PointStyleOf(options.markers)), "Line.PointStyle");
    ComPtr<ILineData> lineData;
    Check(line->get_Data(&lineData), "Line.Data");
    if (!lineData) throw RenderFailure{"Line.Data gave no data object"};
    FillLineData(lineData.get(), data, series);
  }
}

template <class T>
ComPtr<T> Part(IGraphBase* graph, HRESULT (IGraphBase::*get)(T**), const char* what) {
  ComPtr<T> part;
  Check((graph->*get)(&part), what);
  if (!part) throw RenderFailure{std::string(what) + " gave nothing"};
  return part;
}

// A setting given on the command line, else the tool's default, except that a loaded graph keeps
// its own value.
template <class T>
std::optional<T> Setting(const std::optional<T>& given, const T& fallback, bool loaded) {
  if (given || loaded) return given;
  return fallback;
}

void PutTitle(IAxis* axis, const std::optional<std::string>& title) {
  if (!title) return;
  Bstr text(*title);
  Check(axis->put_Title(text.get()), "Axis.Title");
}

// The graph's own font at another size; the graph hands it to its axes.
void SetFontSize(IGraphBase* graph, int points) {
  ComPtr<IFontDisp> current;
  Check(graph->get_Font(&current), "LineGraph.Font");
  ComPtr<IFont> font;
  if (current) {
    ComPtr<IFont> shared;
    Check(current->QueryInterface(IID_IFont, reinterpret_cast<void**>(&shared)), "QueryInterface(IFont)");
    Check(shared->Clone(&font), "Font.Clone");
  } else {
    FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(u"Arial"), CY{}, 400, 0, FALSE, FALSE, FALSE};
    Check(OleCreateFontIndirect(&desc, IID_IFont, reinterpret_cast<void**>(&font)), "OleCreateFontIndirect");
  }
  CY size{};
  size.int64 = static_cast<LONGLONG>(points) * 10000;
  Check(font->put_Size(size), "Font.Size");
  ComPtr<IFontDisp> disp;
  Check(font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&disp)), "QueryInterface(IFontDisp)");
  Check(graph->put_Font(disp.get()), "LineGraph.Font");
}

// An axis that carries a single line shows its labels and title in that line's colour, so that
// the line is read against the right scale.
void ColorAxisByLine(IAxis* axis, const PlotData& data, const PlotOptions& options, bool rightY) {
  std::optional<std::size_t> only;
  for (std::size_t i = 0; i < data.series.size(); ++i) {
    if (data.series[i].rightY != rightY) continue;
    if (only) return;
    only = i;
  }
  if (only) Check(axis->put_ForeColor(LineColor(options, *only)), "Axis.ForeColor");
}

// The axis strips grow with the font. The X axis puts its title below at most a third of its
// height of labels, and date labels with times take two lines.
void SizeStrips(IGraphBase* graph, bool twoLineLabels) {
  ComPtr<IFontDisp> disp;
  Check(graph->get_Font(&disp), "LineGraph.Font");
  ComPtr<IFont> font;
  CY size{};
  size.int64 = 70000;
  if (disp && SUCCEEDED(disp->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font))))
    Check(font->get_Size(&size), "Font.Size");
  const double points = static_cast<double>(size.int64) / 10000, line = points * 96 / 72 * 1.25;
  Check(graph->put_XAxisSize(std::max(50L, std::lround(3 * line * (twoLineLabels ? 2 : 1)))), "LineGraph.XAxisSize");
  Check(graph->put_YAxisSize(std::max(70L, std::lround(7.8 * points))), "LineGraph.YAxisSize");
}

std::string DefaultTitle(const PlotOptions& options) {
  if (options.input.empty()) return "kelmira-plot demo";
  return std::filesystem::path(options.input).filename().string();
}

// What the graph shows: the given limits, else the data's ranges.
struct View {
  Range x, y, rightY;
};

// A range whose width a double cannot hold would map every point to one pixel: a wrong picture.
// A flat range near the largest double cannot be widened around its value.
void CheckSpan(const Range& r, const char* what) {
  if (!std::isfinite(r.max - r.min)) {
    char text[160];
    if (std::isfinite(r.min) && std::isfinite(r.max))
      std::snprintf(text, sizeof text, "the %s runs from %g to %g, too wide to draw", what, r.min, r.max);
    else
      std::snprintf(text, sizeof text, "the %s, widened to be seen, goes past %g, the largest number drawn", what,
                    DBL_MAX);
    throw RenderFailure{text};
  }
}

View ViewOf(const PlotData& data, const PlotOptions& options) {
  const View view{options.xLimits.value_or(XRange(data).value_or(Range{0, 1})),
                  options.yLimits.value_or(DataRange(data, false).value_or(Range{0, 1})),
                  options.rightYLimits.value_or(DataRange(data, true).value_or(Range{0, 1}))};
  CheckSpan(view.x, "X range");
  CheckSpan(view.y, "Y range");
  CheckSpan(view.rightY, "right Y range");
  return view;
}

// Log axes step in decades or tenths, as their labels have room; the other axes as the grid would.
// Sizes are estimated from the picture's: the strips are not laid out yet. The Y strips widen for
// labels that carry an offset's digits.
void SetScaleSteps(ILineGraph* graph, const PlotOptions& options, const View& view, POINT steps, bool rowLabels) {
  auto grid = Part<IGridLayer>(graph, &IGraphBase::get_GridLayer, "LineGraph.GridLayer");
  auto rightAxis = Part<IYAxis>(graph, &IGraphBase::get_RightYAxis, "LineGraph.RightYAxis");
  const double points = options.fontSize.value_or(9), line = points * 96 / 72 * 1.25;
  auto step = [&](bool log, const Range& r, double pixels, double room, LONG count) {
    return log ? LogStep(r.min, r.max, pixels, room) : GridStep(r.max - r.min, count);
  };
  double xStep = options.dateX ? CalendarStep(view.x.max - view.x.min, steps.x)
                               : step(options.logX, view.x, options.width - 160.0, 3 * line, steps.x);
  // Long X labels take fewer steps, so that they do not overlap.
  for (LONG count = steps.x; !options.logX && HasScaleLabels(options, ScaleAxis::X) && count > 1; --count) {
    xStep = GridStep(view.x.max - view.x.min, count);
    const std::size_t chars = ScaleLabel(options, ScaleAxis::X, view.x.max, xStep, 1).size();
    if ((options.width - 160.0) * (xStep / (view.x.max - view.x.min)) >=
        (static_cast<double>(chars) + 2) * points * 0.8)
      break;
  }
  const double yPixels = options.height - 100.0;
  const double yStep = step(options.logY, view.y, yPixels, line, steps.y);
  const double rightStep = step(options.logRightY, view.rightY, yPixels, line, steps.y);
  if (!rowLabels) Check(grid->put_XStep(xStep), "GridLayer.XStep");
  Check(grid->put_YStep(yStep), "GridLayer.YStep");
  Check(rightAxis->put_step(rightStep), "YAxis.step");

  std::size_t chars = 0;
  for (double v : {view.y.min, view.y.max})
    chars = std::max(chars, ScaleLabel(options, ScaleAxis::Y, v, yStep, yPixels / (view.y.max - view.y.min)).size());
  for (double v : {view.rightY.min, view.rightY.max})
    chars = std::max(
        chars,
        ScaleLabel(options, ScaleAxis::RightY, v, rightStep, yPixels / (view.rightY.max - view.rightY.min)).size());
  LONG size = 0;
  Check(graph->get_YAxisSize(&size), "LineGraph.YAxisSize");
  const LONG wanted = std::lround(static_cast<double>(chars) * points * 0.75 + 4.5 * points);
  if (wanted > size) Check(graph->put_YAxisSize(wanted), "LineGraph.YAxisSize");
}

// Titles, colours, grid and fonts; the parts that follow the data are set whether loaded or not.
void Configure(ILineGraph* graph, const PlotData& data, const PlotOptions& options, const View& view, bool loaded) {
  auto xAxis = Part<IXAxis>(graph, &IGraphBase::get_XAxis, "LineGraph.XAxis");
  auto yAxis = Part<IYAxis>(graph, &IGraphBase::get_YAxis, "LineGraph.YAxis");
  auto rightAxis = Part<IYAxis>(graph, &IGraphBase::get_RightYAxis, "LineGraph.RightYAxis");
  auto grid = Part<IGridLayer>(graph, &IGraphBase::get_GridLayer, "LineGraph.GridLayer");

  if (auto title = Setting(options.title, DefaultTitle(options), loaded)) {
    Bstr text(*title);
    Check(graph->put_Title(text.get()), "LineGraph.Title");
  }
  PutTitle(xAxis.get(), Setting(options.xLabel, data.xName, loaded));
  PutTitle(yAxis.get(), Setting(options.yLabel, SeriesNames(data, false), loaded));
  PutTitle(rightAxis.get(), Setting(options.y2Label, SeriesNames(data, true), loaded));
  if (auto color = Setting(options.background, COLORREF{0x00FFFFFF}, loaded))
    Check(graph->put_BackColor(*color), "LineGraph.BackColor");
  if (auto color = Setting(options.gridColor, COLORREF{0x00A0A0A0}, loaded))
    Check(graph->put_GridColor(*color), "LineGraph.GridColor");
  if (auto style = Setting(options.gridStyle, 2, loaded)) Check(graph->put_GridStyle(*style), "LineGraph.GridStyle");
  if (auto lines = Setting(options.grid, true, loaded))
    Check(graph->put_GridLines(*lines ? VARIANT_TRUE : VARIANT_FALSE), "LineGraph.GridLines");
  if (auto border = Setting(options.border, true, loaded))
    Check(graph->put_Border(*border ? VARIANT_TRUE : VARIANT_FALSE), "LineGraph.Border");
  if (options.dateLabelFormat) Check(xAxis->put_DateLabelFormat(*options.dateLabelFormat), "XAxis.DateLabelFormat");
  // Larger than the graph's own 7 points, and longer black ticks with as many decimals as the
  // step needs, so that a picture reads well at its default size. The tick length is put even so:
  // a new graph's axes keep their own until it is.
  if (auto points = Setting(options.fontSize, 9, loaded)) SetFontSize(graph, *points);
  if (!loaded) {
    Check(graph->put_TickColor(0x00000000), "LineGraph.TickColor");
    Check(graph->put_TickLength(4), "LineGraph.TickLength");
    for (IAxis* axis :
         {static_cast<IAxis*>(xAxis.get()), static_cast<IAxis*>(yAxis.get()), static_cast<IAxis*>(rightAxis.get())})
      Check(axis->put_Precision(-1), "Axis.Precision");
  }
  ColorAxisByLine(yAxis.get(), data, options, false);
  ColorAxisByLine(rightAxis.get(), data, options, true);

  const bool hasRight = std::any_of(data.series.begin(), data.series.end(), [](const Series& s) { return s.rightY; });
  Check(graph->put_RightYAxisVisible(hasRight ? VARIANT_TRUE : VARIANT_FALSE), "LineGraph.RightYAxisVisible");
  Check(graph->put_UseRightYAxis(hasRight ? VARIANT_TRUE : VARIANT_FALSE), "LineGraph.UseRightYAxis");
  Check(grid->put_UseXAsDate(options.dateX ? VARIANT_TRUE : VARIANT_FALSE), "GridLayer.UseXAsDate");
  // About one grid line per 100 pixels across and 80 down; row labels need ticks on whole steps.
  const LONG xSteps = std::max(2, options.width / 100), ySteps = std::max(2, options.height / 80);
  Check(grid->put_XSteps(xSteps), "GridLayer.XSteps");
  Check(grid->put_YSteps(ySteps), "GridLayer.YSteps");
  const bool rowLabels = !data.tickTexts.empty();
  SizeStrips(graph, options.dateX && !rowLabels && (view.x.max - view.x.min) / xSteps < 1);
  const bool scaled = HasScaleLabels(options, ScaleAxis::X) || HasScaleLabels(options, ScaleAxis::Y) ||
                      HasScaleLabels(options, ScaleAxis::RightY);
  Check(grid->put_AutoStep(rowLabels || scaled ? VARIANT_FALSE : VARIANT_TRUE), "GridLayer.AutoStep");
  if (rowLabels) {
    // Fixed steps for all three axes; the right one keeps a step of its own.
    Check(grid->put_XStep(RowStep(view.x.max - view.x.min, xSteps, WholeX(data))), "GridLayer.XStep");
    Check(grid->put_YStep(GridStep(view.y.max - view.y.min, ySteps)), "GridLayer.YStep");
    Check(rightAxis->put_step(GridStep(view.rightY.max - view.rightY.min, ySteps)), "YAxis.step");
  }
  if (scaled) SetScaleSteps(graph, options, view, {xSteps, ySteps}, rowLabels);
}

// Label k of the list labels the k-th tick the X axis draws: the tool works out those ticks from
// the axis's window, margin, limits and step, and hands the row texts at their values.
void SetTickTexts(ILineGraph* graph, const PlotData& data) {
  auto xAxis = Part<IXAxis>(graph, &IGraphBase::get_XAxis, "LineGraph.XAxis");
  auto grid = Part<IGridLayer>(graph, &IGraphBase::get_GridLayer, "LineGraph.GridLayer");
  auto container = Part<IGraphicsContainer>(graph, &IGraphBase::get_GraphicsContainer, "LineGraph.GraphicsContainer");
  LONG window = 0, margin = 0;
  Check(xAxis->get_Window(&window), "XAxis.Window");
  Check(xAxis->get_Margin(&margin), "XAxis.Margin");
  RECT r{};
  if (!window || !GetClientRect(UlongToHandle<HWND>(static_cast<std::uint32_t>(window)), &r))
    throw RenderFailure{"the X axis has no window"};
  double step = 0, xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  Check(grid->get_XStep(&step), "GridLayer.XStep");
  Check(container->GetLimits(&xMin, &xMax, &yMin, &yMax), "GraphicsContainer.GetLimits");

  ComPtr<ITickLabelList> labels = NewTickLabelList();
  if (!labels) throw RenderFailure{"cannot create a tick label list"};
  for (const std::string& text : TickTexts(data, DrawnTicks(xMin, xMax, step, r.right - r.left, margin))) {
    Variant value;
    value.vt = VT_BSTR;
    value.bstrVal = Bstr(text).Detach();
    LONG index = 0;
    Check(labels->AddLabel(value, &index), "TickLabelList.AddLabel");
  }
  Check(xAxis->put_TickLabels(labels.get()), "XAxis.TickLabels");
}

// A log or offset axis writes the true value at each tick it draws: the tool works out those ticks
// as for the row texts.
void SetScaleLabels(ILineGraph* graph, const PlotOptions& options) {
  auto grid = Part<IGridLayer>(graph, &IGraphBase::get_GridLayer, "LineGraph.GridLayer");
  auto container = Part<IGraphicsContainer>(graph, &IGraphBase::get_GraphicsContainer, "LineGraph.GraphicsContainer");
  Range x, y, right;
  Check(container->GetLimits(&x.min, &x.max, &y.min, &y.max), "GraphicsContainer.GetLimits");
  Check(container->GetRightYLimits(&right.min, &right.max), "GraphicsContainer.GetRightYLimits");
  auto xAxis = Part<IXAxis>(graph, &IGraphBase::get_XAxis, "LineGraph.XAxis");
  auto yAxis = Part<IYAxis>(graph, &IGraphBase::get_YAxis, "LineGraph.YAxis");
  auto rightAxis = Part<IYAxis>(graph, &IGraphBase::get_RightYAxis, "LineGraph.RightYAxis");
  const struct {
    ScaleAxis which;
    IAxis* axis;
    Range range;
  } axes[] = {
      {ScaleAxis::X, xAxis.get(), x}, {ScaleAxis::Y, yAxis.get(), y}, {ScaleAxis::RightY, rightAxis.get(), right}};
  for (const auto& a : axes) {
    if (!HasScaleLabels(options, a.which)) continue;
    LONG window = 0, margin = 0;
    double step = 0;
    Check(a.axis->get_Window(&window), "Axis.Window");
    Check(a.axis->get_Margin(&margin), "Axis.Margin");
    if (a.which == ScaleAxis::RightY)
      Check(a.axis->get_step(&step), "YAxis.step");
    else
      Check(a.which == ScaleAxis::X ? grid->get_XStep(&step) : grid->get_YStep(&step), "GridLayer.Step");
    RECT r{};
    if (!window || !GetClientRect(UlongToHandle<HWND>(static_cast<std::uint32_t>(window)), &r)) continue;
    const Range v = a.range;
    const double pixels = (a.which == ScaleAxis::X ? r.right - r.left : r.bottom - r.top) - 2.0 * margin;
    const std::vector<double> ticks = a.which == ScaleAxis::X
                                          ? DrawnTicks(v.min, v.max, step, r.right - r.left, margin)
                                          : DrawnTicksY(v.min, v.max, step, r.bottom - r.top, margin);
    ComPtr<ITickLabelList> labels = NewTickLabelList();
    if (!labels) throw RenderFailure{"cannot create a tick label list"};
    for (double tick : ticks) {
      Variant value;
      value.vt = VT_BSTR;
      value.bstrVal = Bstr(ScaleLabel(options, a.which, tick, step, pixels / (v.max - v.min))).Detach();
      LONG index = 0;
      Check(labels->AddLabel(value, &index), "TickLabelList.AddLabel");
    }
    Check(a.axis->put_TickLabels(labels.get()), "Axis.TickLabels");
  }
}

// The whole pipeline; throws RenderFailure.
void Render(const PlotData& data, const PlotOptions& options) {
  const View view = ViewOf(data, options);
  const Range &x = view.x, &y = view.y, &rightY = view.rightY;

  auto graph = Make<ILineGraph>(CLSID_LineGraph, IID_ILineGraph, "Kelmira.LineGraph");
  ComPtr<IPersistStreamInit> persist;
  Check(graph->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)),
        "QueryInterface(IPersistStreamInit)");
  const bool loaded = !options.loadFile.empty();
  std::string error;
  if (!loaded)
    Check(persist->InitNew(), "LineGraph.InitNew");
  else if (!LoadGraphFile(options.loadFile, persist.get(), &error))
    throw RenderFailure{error};
  Configure(graph.get(), data, options, view, loaded);

  ComPtr<ILineLayer> left, right;
  Check(graph->get_LineLayer(&left), "LineGraph.LineLayer");
  Check(graph->get_RightLineLayer(&right), "LineGraph.RightLineLayer");
  AddLines(left.get(), data, options, false);
  AddLines(right.get(), data, options, true);

  auto container =
      Part<IGraphicsContainer>(graph.get(), &IGraphBase::get_GraphicsContainer, "LineGraph.GraphicsContainer");
  // Tiny data ranges must not be widened by the default minimum zoom size.
  Check(container->put_MinZoomX((x.max - x.min) * 1e-6), "GraphicsContainer.MinZoomX");
  Check(container->put_MinZoomY((y.max - y.min) * 1e-6), "GraphicsContainer.MinZoomY");
  Check(graph->SetExtents(x.min, x.max, y.min, y.max), "LineGraph.SetExtents");
  Check(container->SetRightYLimits(rightY.min, rightY.max), "GraphicsContainer.SetRightYLimits");

  HWND host = CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, options.width, options.height,
                              nullptr, nullptr, nullptr, nullptr);
  if (!host) throw RenderFailure{"cannot create the host window"};
  struct WindowGuard {
    HWND hwnd;
    ~WindowGuard() { DestroyWindow(hwnd); }
  } guard{host};
  Check(AtlAxAttachControl(graph.get(), host, nullptr), "AtlAxAttachControl");
  if (!data.tickTexts.empty()) SetTickTexts(graph.get(), data);
  SetScaleLabels(graph.get(), options);
  Check(graph->Redraw(), "LineGraph.Redraw");
  UpdateWindow(host);
  MSG msg{};
  for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);

  // The settings file is written first and renamed into place only once the picture is written.
  PendingFile settings;
  std::vector<char> bytes;
  if (!options.saveFile.empty() &&
      (!GraphFileBytes(persist.get(), &bytes, &error) || !settings.Write(options.saveFile, bytes, &error)))
    throw RenderFailure{error};
  HRESULT hr = KelmiraSaveWindowPng(host, options.output.c_str());
  if (FAILED(hr)) throw RenderFailure{"cannot write '" + options.output + "': " + DescribeWriteFailure(hr)};
  if (!options.saveFile.empty() && !settings.Commit(&error)) throw RenderFailure{error};
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
