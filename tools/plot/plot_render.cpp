#include "plot_render.h"

#include "graph_file.h"
#include "graph_picture.h"
#include "picture_file.h"
#include "plot_legend.h"
#include "plot_scales.h"
#include "tick_texts.h"
#include "common/hresult_text.h"
#include "common/utf8_text.h"

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

std::string Hex(HRESULT hr) { return tools::HresultText(hr); }

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

using tools::ToBstr;

// Where the lines take X from (none for row-number X). Without row texts the first line keeps
// every X value, hidden ones too, so that the data's X goes as soon as one line holds it; the
// other lines copy theirs from it, and its hidden values are cleared once they have.
struct XSource {
  const double* values = nullptr;
  bool keepAll = false;  // the next line filled is the first
  double* first = nullptr;
  const BYTE* firstMask = nullptr;
  LONG count = 0;
  void ClearHidden() {
    for (LONG i = 0; first && i < count; ++i)
      if (!firstMask[i]) first[i] = 0.0;
  }
};

// A hidden point is masked out; its values stay zero. X goes in double precision: in single
// precision, epoch seconds would fall on 128-second steps. Y and the mask come first and the
// series' values are freed before the X array is made, so that a large file is not held twice.
void FillLineData(ILineData* line, PlotData* data, Series* series, XSource* x) {
  const LONG n = static_cast<LONG>(series->y.size());
  Check(line->put_UseXData(VARIANT_FALSE), "LineData.UseXData");
  Check(line->put_UseDoubleForXData(VARIANT_TRUE), "LineData.UseDoubleForXData");
  Check(line->put_Size(n), "LineData.Size");
  float* y = nullptr;
  BYTE* mask = nullptr;
  Check(line->GetDataPtr(&y), "LineData.GetDataPtr");
  Check(line->GetMaskPtr(&mask), "LineData.GetMaskPtr");
  if (n > 0 && (!y || !mask)) throw RenderFailure{"LineData gave no arrays for " + std::to_string(n) + " points"};
  for (LONG i = 0; i < n; ++i) {
    const double yv = series->y[static_cast<std::size_t>(i)];
    const bool shown = std::isfinite(yv) && (!x->values || std::isfinite(x->values[i]));
    y[i] = shown ? static_cast<float>(yv) : 0.0f;
    mask[i] = shown ? 1 : 0;
  }
  std::vector<double>().swap(series->y);
  if (!x->values) return;
  Check(line->put_UseXData(VARIANT_TRUE), "LineData.UseXData");
  double* xd = nullptr;
  Check(line->get_DataPtrXDouble(&xd), "LineData.DataPtrXDouble");
  if (n > 0 && !xd) throw RenderFailure{"LineData gave no X array"};
  for (LONG i = 0; i < n; ++i) xd[i] = x->keepAll || mask[i] ? x->values[i] : 0.0;
  if (x->keepAll && n > 0) {
    std::vector<double>().swap(data->x);
    *x = XSource{xd, false, xd, mask, n};
  }
}

LONG PointStyleOf(Markers markers) {
  switch (markers) {
    case Markers::Circle: return 0;
    case Markers::Plus: return 1;
    default: return 2;
  }
}

const std::vector<COLORREF>& Colors(const PlotOptions& options) {
  return options.lineColors.empty() ? kDefaultPalette : options.lineColors;
}

// Series take the colours in turn (the left ones come first).
COLORREF LineColor(const PlotOptions& options, std::size_t series) {
  return Colors(options)[series % Colors(options).size()];
}

// Each round through the colours takes the next dash, so that no two lines look alike.
int LineDash(const PlotOptions& options, std::size_t series) {
  return static_cast<int>((static_cast<std::size_t>(options.lineStyle) + series / Colors(options).size()) % 3);
}

// A one-point line in lines style gets a circle. Dashes do not show in markers, so each round
// through the colours takes the next shape instead.
LONG MarkerStyle(const PlotOptions& options, std::size_t series) {
  const LONG first = PointStyleOf(options.markers == Markers::None ? Markers::Circle : options.markers);
  return static_cast<LONG>((static_cast<std::size_t>(first) + series / Colors(options).size()) % 3);
}

// A line of one point draws nothing; it is shown as a marker. Worked out per series before the
// values go to the graph.
std::vector<bool> SinglePoints(const PlotData& data) {
  std::vector<bool> single;
  for (const Series& series : data.series) {
    std::size_t shown = series.gathered.shown;
    for (std::size_t i = 0; i < series.y.size() && shown < 2; ++i)
      shown += std::isfinite(series.y[i]) && (data.xIsIndex || (i < data.x.size() && std::isfinite(data.x[i])));
    single.push_back(shown == 1);
  }
  return single;
}

bool DrawsMarker(const PlotOptions& options, bool singlePoint) {
  return options.drawStyle != DrawStyle::Lines || singlePoint;
}

// The data of each line made, by series, for a marker layer to share.
using MadeLines = std::vector<std::pair<std::size_t, ComPtr<ILineData>>>;

// The left or the right series, as lines of the graph's line layer for that side.
void AddLines(ILineLayer* layer, PlotData* data, const PlotOptions& options, bool rightY, XSource* x,
              const FilledLines& filled, MadeLines* made) {
  if (!layer) throw RenderFailure{"LineGraph gave no line layer"};
  if (options.drawStyle == DrawStyle::Points) Check(layer->put_Style(1), "LineLayer.Style");
  for (std::size_t i = 0; i < data->series.size(); ++i) {
    Series& series = data->series[i];
    if (series.rightY != rightY) continue;
    COLORREF color = LineColor(options, i);
    Bstr name = ToBstr(series.name);
    ComPtr<ILine> line;
    // Markers alone are drawn with the line's pen: a solid one.
    const int dash = options.drawStyle == DrawStyle::Points ? 0 : LineDash(options, i);
    Check(layer->AddLine(name.get(), color, dash, &line), "LineLayer.AddLine");
    if (!line) throw RenderFailure{"LineLayer.AddLine gave no line"};
    Check(line->put_Width(options.lineWidth), "Line.Width");
    if (options.markers != Markers::None) Check(line->put_PointStyle(MarkerStyle(options, i)), "Line.PointStyle");
    ComPtr<ILineData> lineData;
    if (i < filled.size()) {
      lineData = filled[i];
      Check(line->put_Data(lineData.get()), "Line.Data");
    } else {
      Check(line->get_Data(&lineData), "Line.Data");
      if (!lineData) throw RenderFailure{"Line.Data gave no data object"};
      FillLineData(lineData.get(), data, &series, x);
    }
    made->emplace_back(i, lineData);
  }
}

// Markers over lines, and the marker of a one-point line, come from a second line layer in
// points style that shares the lines' data. It is removed before the settings are saved.
const char* AddMarkerLayer(IGraphicsContainer* container, const PlotData& data, const PlotOptions& options,
                           const MadeLines& made, const std::vector<bool>& singlePoints, bool rightY) {
  if (options.drawStyle == DrawStyle::Points) return nullptr;
  auto layer = Make<ILineLayer>(CLSID_LineLayer, IID_ILineLayer, "Kelmira.LineLayer");
  Check(layer->put_Style(1), "LineLayer.Style");
  LONG count = 0;
  for (const auto& [i, lineData] : made) {
    const Series& series = data.series[i];
    if (!DrawsMarker(options, singlePoints[i])) continue;
    Bstr name = ToBstr(series.name);
    ComPtr<ILine> line;
    Check(layer->AddLine(name.get(), LineColor(options, i), 0, &line), "LineLayer.AddLine");
    if (!line) throw RenderFailure{"LineLayer.AddLine gave no line"};
    Check(line->put_Width(options.lineWidth), "Line.Width");
    Check(line->put_PointStyle(MarkerStyle(options, i)), "Line.PointStyle");
    Check(line->put_Data(lineData.get()), "Line.Data");
    ++count;
  }
  if (count == 0) return nullptr;
  const char* name = rightY ? "kelmira-plot right markers" : "kelmira-plot markers";
  Bstr layerName = ToBstr(name);
  VARIANT_BOOL added = VARIANT_FALSE;
  ComPtr<IGraphicsLayer> graphics;
  Check(layer->QueryInterface(IID_IGraphicsLayer, reinterpret_cast<void**>(&graphics)),
        "QueryInterface(IGraphicsLayer)");
  Check(container->AddLayer(layerName.get(), graphics.get(), &added), "GraphicsContainer.AddLayer");
  if (!added) throw RenderFailure{"the graph refused a marker layer"};
  if (rightY) {
    Variant index;
    index.vt = VT_BSTR;
    index.bstrVal = ToBstr(name).Detach();
    Check(container->SetLayerRightYAxis(index, VARIANT_TRUE), "GraphicsContainer.SetLayerRightYAxis");
  }
  return name;
}

void RemoveLayer(IGraphicsContainer* container, const char* name) {
  if (!name) return;
  Bstr layerName = ToBstr(name);
  Variant index;
  index.vt = VT_I4;
  Check(container->get_LayerIndex(layerName.get(), &index.lVal), "GraphicsContainer.LayerIndex");
  VARIANT_BOOL removed = VARIANT_FALSE;
  Check(container->RemoveLayer(index, &removed), "GraphicsContainer.RemoveLayer");
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
  Bstr text = ToBstr(*title);
  Check(axis->put_Title(text.get()), "Axis.Title");
}

// How much larger --dpi draws than the screen's 96 dots per inch.
double Scale(const PlotOptions& options) { return options.dpi / 96.0; }

// --dpi: the picture in pixels at its size, with lines as much wider; the font and ticks follow
// in ConfigureLook, the strips with the font.
PlotOptions AtDpi(const PlotOptions& options) {
  PlotOptions drawn = options;
  drawn.width = static_cast<int>(ScaledPixels(options.width, options.dpi));
  drawn.height = static_cast<int>(ScaledPixels(options.height, options.dpi));
  drawn.lineWidth = std::clamp(static_cast<int>(std::lround(options.lineWidth * Scale(options))), 1, 100);
  return drawn;
}

double FontPoints(IGraphBase* graph) {
  ComPtr<IFontDisp> disp;
  Check(graph->get_Font(&disp), "LineGraph.Font");
  ComPtr<IFont> font;
  CY size{};
  size.int64 = 70000;
  if (disp && SUCCEEDED(disp->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font))))
    Check(font->get_Size(&size), "Font.Size");
  return static_cast<double>(size.int64) / 10000;
}

// The graph's own font at another size; the graph hands it to its axes.
void SetFontSize(IGraphBase* graph, double points) {
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
  size.int64 = std::llround(points * 10000);
  Check(font->put_Size(size), "Font.Size");
  ComPtr<IFontDisp> disp;
  Check(font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&disp)), "QueryInterface(IFontDisp)");
  Check(graph->put_Font(disp.get()), "LineGraph.Font");
}

// --dpi: the graph's font and tick length made `factor` times as large; the look they had is
// returned, to be put back before the settings are saved.
PlotGraph::Look ScaleLook(IGraphBase* graph, double factor) {
  PlotGraph::Look look{FontPoints(graph), 0};
  Check(graph->get_TickLength(&look.tickLength), "LineGraph.TickLength");
  if (factor == 1) return look;
  SetFontSize(graph, look.fontPoints * factor);
  Check(graph->put_TickLength(std::lround(look.tickLength * factor)), "LineGraph.TickLength");
  return look;
}

void PutLook(IGraphBase* graph, const PlotGraph::Look& look) {
  SetFontSize(graph, look.fontPoints);
  Check(graph->put_TickLength(look.tickLength), "LineGraph.TickLength");
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
SIZE StripSizes(IGraphBase* graph, bool twoLineLabels) {
  const double points = FontPoints(graph), line = points * 96 / 72 * 1.25;
  return SIZE{static_cast<LONG>(std::max(70L, std::lround(7.8 * points))),
              static_cast<LONG>(std::max(50L, std::lround(3 * line * (twoLineLabels ? 2 : 1))))};
}

// A put lays the graph out again, so sizes that stay are not put.
void PutStrips(IGraphBase* graph, SIZE strips) {
  LONG x = 0, y = 0;
  Check(graph->get_XAxisSize(&x), "LineGraph.XAxisSize");
  Check(graph->get_YAxisSize(&y), "LineGraph.YAxisSize");
  if (x != strips.cy) Check(graph->put_XAxisSize(strips.cy), "LineGraph.XAxisSize");
  if (y != strips.cx) Check(graph->put_YAxisSize(strips.cx), "LineGraph.YAxisSize");
}

std::string DefaultTitle(const PlotOptions& options) {
  if (options.input.empty()) return "kelmira-plot demo";
  return std::filesystem::path(options.input).filename().string();
}

using View = PlotView;
using Legend = PlotLegend;

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

// With X limits given, the Y axes fit the points inside them. The library maps the top limit to
// the row above the plot, where a line is clipped and no marker is drawn: the fitted range gets a
// margin, so that the highest and lowest points show whole and no line runs along the frame.
std::optional<Range> YRange(const PlotData& data, const PlotOptions& options, bool rightY) {
  auto range = options.xLimits ? DataRange(data, rightY, *options.xLimits) : DataRange(data, rightY);
  if (!range) return range;
  const double margin = (range->max - range->min) * 0.03;
  return Range{range->min - margin, range->max + margin};
}

View ViewOf(const PlotData& data, const PlotOptions& options) {
  const View view{options.xLimits.value_or(XRange(data).value_or(Range{0, 1})),
                  options.yLimits.value_or(YRange(data, options, false).value_or(Range{0, 1})),
                  options.rightYLimits.value_or(YRange(data, options, true).value_or(Range{0, 1}))};
  CheckSpan(view.x, "X range");
  CheckSpan(view.y, "Y range");
  CheckSpan(view.rightY, "right Y range");
  return view;
}

// Log axes step in decades or tenths, as their labels have room; the other axes as the grid would.
// Sizes are estimated from the picture's: the strips are not laid out yet. The Y strips widen for
// labels that carry an offset's digits.
void SetScaleSteps(ILineGraph* graph, const PlotOptions& options, const View& view, POINT steps, bool rowLabels,
                   LONG* yStrip) {
  auto grid = Part<IGridLayer>(graph, &IGraphBase::get_GridLayer, "LineGraph.GridLayer");
  auto rightAxis = Part<IYAxis>(graph, &IGraphBase::get_RightYAxis, "LineGraph.RightYAxis");
  const double points = options.fontSize.value_or(9) * Scale(options), line = points * 96 / 72 * 1.25;
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
  *yStrip =
      std::max(*yStrip, static_cast<LONG>(std::lround(static_cast<double>(chars) * points * 0.75 + 4.5 * points)));
}

// Titles, colours, grid and fonts; the parts that follow the data are set whether loaded or not.
// The first date label carries the year, so it is the widest: dates take as many steps as leave
// room for it (the grid's calendar rule, mirrored by CalendarStep, turns a count into a step).
LONG DateSteps(const PlotOptions& options, const View& view) {
  const LONG format = options.dateLabelFormat.value_or(0);
  const int chars = format == 2 || format == 102 ? 17 : format == 1 || format == 101 ? 11 : 10;
  const double charPixels = options.fontSize.value_or(9) * Scale(options) * 96.0 / 72 * 0.6;
  const double room = (chars + 2) * charPixels, span = view.x.max - view.x.min, plot = options.width - 160.0;
  LONG count = std::max(2, options.width * 96 / (100 * options.dpi));
  while (count > 2 && span > 0 && plot * CalendarStep(span, count) / span < room) --count;
  return count;
}

void ConfigureLook(ILineGraph* graph, const PlotData& data, const PlotOptions& options, bool loaded) {
  auto xAxis = Part<IXAxis>(graph, &IGraphBase::get_XAxis, "LineGraph.XAxis");
  auto yAxis = Part<IYAxis>(graph, &IGraphBase::get_YAxis, "LineGraph.YAxis");
  auto rightAxis = Part<IYAxis>(graph, &IGraphBase::get_RightYAxis, "LineGraph.RightYAxis");
  auto grid = Part<IGridLayer>(graph, &IGraphBase::get_GridLayer, "LineGraph.GridLayer");

  if (auto title = Setting(options.title, DefaultTitle(options), loaded)) {
    Bstr text = ToBstr(*title);
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
}

// The steps and strip sizes for a view at the size in `options`: set before the graph first
// draws, and again by a viewer after each change of view or size.
void SetSteps(ILineGraph* graph, const PlotData& data, const PlotOptions& options, const View& view) {
  auto rightAxis = Part<IYAxis>(graph, &IGraphBase::get_RightYAxis, "LineGraph.RightYAxis");
  auto grid = Part<IGridLayer>(graph, &IGraphBase::get_GridLayer, "LineGraph.GridLayer");
  // About one grid line per 100 pixels across and 80 down (at 96 dpi); row labels need ticks on
  // whole steps.
  const LONG ySteps = std::max(2, options.height * 96 / (80 * options.dpi));
  const LONG xSteps = options.dateX ? DateSteps(options, view) : std::max(2, options.width * 96 / (100 * options.dpi));
  Check(grid->put_XSteps(xSteps), "GridLayer.XSteps");
  Check(grid->put_YSteps(ySteps), "GridLayer.YSteps");
  const bool rowLabels = !data.tickTexts.empty();
  SIZE strips = StripSizes(graph, options.dateX && !rowLabels && (view.x.max - view.x.min) / xSteps < 1);
  const bool scaled = HasScaleLabels(options, ScaleAxis::X) || HasScaleLabels(options, ScaleAxis::Y) ||
                      HasScaleLabels(options, ScaleAxis::RightY);
  Check(grid->put_AutoStep(rowLabels || scaled ? VARIANT_FALSE : VARIANT_TRUE), "GridLayer.AutoStep");
  if (rowLabels) {
    // Fixed steps for all three axes; the right one keeps a step of its own.
    Check(grid->put_XStep(RowStep(view.x.max - view.x.min, xSteps, WholeX(data))), "GridLayer.XStep");
    Check(grid->put_YStep(GridStep(view.y.max - view.y.min, ySteps)), "GridLayer.YStep");
    Check(rightAxis->put_step(GridStep(view.rightY.max - view.rightY.min, ySteps)), "YAxis.step");
  }
  if (scaled) SetScaleSteps(graph, options, view, {xSteps, ySteps}, rowLabels, &strips.cx);
  PutStrips(graph, strips);
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
    value.bstrVal = ToBstr(text).Detach();
    LONG index = 0;
    Check(labels->AddLabel(value, &index), "TickLabelList.AddLabel");
  }
  Check(xAxis->put_TickLabels(labels.get()), "XAxis.TickLabels");
}

// A device context for measuring and drawing into a bitmap of the tool's own.
struct MemoryDc {
  HDC dc = CreateCompatibleDC(nullptr);
  ~MemoryDc() {
    if (dc) DeleteDC(dc);
  }
  MemoryDc() = default;
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
};

Legend MakeLegend(IGraphBase* graph, const PlotData& data, const PlotOptions& options,
                  const std::vector<bool>& singlePoints) {
  Legend legend;
  legend.place = options.legend != LegendPlace::Auto ? options.legend
                 : data.series.size() > 1            ? LegendPlace::UpperRight
                                                     : LegendPlace::None;
  if (legend.place == LegendPlace::None || data.series.empty()) return legend;
  for (std::size_t i = 0; i < data.series.size(); ++i) {
    const Series& series = data.series[i];
    const bool marker = DrawsMarker(options, singlePoints[i]);
    legend.entries.push_back(LegendEntry{series.name, LineColor(options, i), LineDash(options, i), options.lineWidth,
                                         options.drawStyle != DrawStyle::Points && !singlePoints[i],
                                         marker ? std::optional<LONG>(MarkerStyle(options, i)) : std::nullopt});
  }
  // The graph's own font, background and text colour, which a loaded graph may have changed.
  ComPtr<IFontDisp> disp;
  Check(graph->get_Font(&disp), "LineGraph.Font");
  if (disp && SUCCEEDED(disp->QueryInterface(IID_IFont, reinterpret_cast<void**>(&legend.font))))
    Check(legend.font->get_hFont(&legend.look.font), "Font.hFont");
  OLE_COLOR color = 0;
  Check(graph->get_BackColor(&color), "LineGraph.BackColor");
  legend.look.background = color;
  Check(graph->get_TextColor(&color), "LineGraph.TextColor");
  legend.look.text = color;
  MemoryDc measure;
  if (!measure.dc) throw RenderFailure{"cannot create a device context"};
  legend.size = MeasureLegend(measure.dc, legend.entries, legend.look);
  // Beside the graph, room for the row that stands for the lines left out when they cannot all fit.
  const std::vector<LegendEntry> fitted =
      FitLegend(measure.dc, legend.entries, legend.look, options.height - kLegendGap);
  legend.size.cx = std::max(legend.size.cx, MeasureLegend(measure.dc, fitted, legend.look).cx);
  return legend;
}

// An outside legend takes its room from the graph's width.
int GraphWidth(const Legend& legend, const PlotOptions& options) {
  if (legend.place != LegendPlace::Outside) return options.width;
  const int room = legend.size.cx + 2 * kLegendGap;
  if (options.width - room < options.width / 2 || options.width - room < 100) {
    char text[160];
    std::snprintf(text, sizeof text, "the legend needs %d pixels beside the plot; the picture is only %d wide", room,
                  options.width);
    throw RenderFailure{text};
  }
  return options.width - room;
}

struct Picture {
  HBITMAP bitmap = nullptr;
  explicit Picture(HBITMAP b) : bitmap(b) {}
  ~Picture() {
    if (bitmap) DeleteObject(bitmap);
  }
  Picture(Picture&& other) noexcept : bitmap(std::exchange(other.bitmap, nullptr)) {}
  Picture& operator=(const Picture&) = delete;
};

// The legend over the picture of the graph in `host`. An outside legend's strip takes the colour
// around the graph.
void DrawLegendOver(HDC dc, HWND host, int top, IGraphicsContainer* container, const Legend& legend,
                    const PlotOptions& options, COLORREF around) {
  if (legend.place == LegendPlace::None || legend.entries.empty()) return;
  RECT graph{};
  GetClientRect(host, &graph);
  if (graph.right < options.width) {
    const HBRUSH brush = CreateSolidBrush(around);
    const RECT strip{graph.right, 0, options.width, options.height};
    if (brush) FillRect(dc, &strip, brush);
    if (brush) DeleteObject(brush);
  }
  LONG hwnd = 0;
  Check(container->get_hwnd(&hwnd), "GraphicsContainer.hwnd");
  const HWND plot = UlongToHandle<HWND>(static_cast<std::uint32_t>(hwnd));
  RECT area{};
  if (!hwnd || !GetClientRect(plot, &area)) throw RenderFailure{"the graph has no plot window"};
  MapWindowPoints(plot, host, reinterpret_cast<POINT*>(&area), 2);
  OffsetRect(&area, 0, top);
  // Outside goes beyond the right axis too, and down to the picture's bottom.
  const bool outside = legend.place == LegendPlace::Outside;
  if (outside) area.right = graph.right;
  const int room = (outside ? options.height : area.bottom) - area.top - (outside ? 1 : 2) * kLegendGap;
  const std::vector<LegendEntry> entries = FitLegend(dc, legend.entries, legend.look, room);
  const SIZE size = MeasureLegend(dc, entries, legend.look);
  POINT at = PlaceLegend(area, size, legend.place);
  at.x = std::min(at.x, static_cast<LONG>(options.width - size.cx));  // a longer count of lines left out
  DrawLegend(dc, at, entries, legend.look);
}

// With --dpi the title is drawn to scale in a strip of `top` rows above the graph's window.
void DrawTitleStrip(HDC dc, IGraphBase* graph, int top, const PlotOptions& options) {
  if (top <= 0) return;
  OLE_COLOR back = 0;
  Check(graph->get_BackColor(&back), "LineGraph.BackColor");
  if (const HBRUSH brush = CreateSolidBrush(back)) {
    const RECT strip{0, 0, options.width, top};
    FillRect(dc, &strip, brush);
    DeleteObject(brush);
  }
  DrawScaledTitle(graph, dc, RECT{0, 0, options.width, top}, Scale(options));
}

// The window's pixels, `top` rows down in a bitmap of the whole picture, with the legend drawn on
// them.
Picture Capture(HWND host, int top, ILineGraph* graph, IGraphicsContainer* container, const Legend& legend,
                const PlotOptions& options) {
  MemoryDc memory;
  Picture picture(CreateCompatibleBitmap(memory.dc, options.width, options.height));
  if (!memory.dc || !picture.bitmap)
    throw RenderFailure{"cannot create a " + std::to_string(options.width) + "x" + std::to_string(options.height) +
                        " picture"};
  const HGDIOBJ old = SelectObject(memory.dc, picture.bitmap);
  const HDC window = GetDC(host);
  RECT area{};
  GetClientRect(host, &area);
  BitBlt(memory.dc, 0, top, area.right, area.bottom, window, 0, 0, SRCCOPY);
  const COLORREF around = GetPixel(window, area.right - 1, 0);
  ReleaseDC(host, window);
  DrawTitleStrip(memory.dc, graph, top, options);
  DrawLegendOver(memory.dc, host, top, container, legend, options, around);
  SelectObject(memory.dc, old);
  return picture;
}

// The graph and the legend as lines and text, for SVG or PDF.
void Record(HWND host, int top, ILineGraph* graph, IGraphicsContainer* container, const Legend& legend,
            const PlotOptions& options, const RecordingPicture& picture) {
  if (!picture.dc())
    throw RenderFailure{"cannot create a " + std::to_string(options.width) + "x" + std::to_string(options.height) +
                        " recording"};
  std::string error;
  if (!DrawGraphPicture(host, graph, picture.dc(), POINT{0, top}, options.width, options.height, &error))
    throw RenderFailure{error};
  OLE_COLOR back = 0;
  Check(graph->get_BackColor(&back), "LineGraph.BackColor");
  DrawTitleStrip(picture.dc(), graph, top, options);
  DrawLegendOver(picture.dc(), host, top, container, legend, options, back);
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
      value.bstrVal = ToBstr(ScaleLabel(options, a.which, tick, step, pixels / (v.max - v.min))).Detach();
      LONG index = 0;
      Check(labels->AddLabel(value, &index), "TickLabelList.AddLabel");
    }
    Check(a.axis->put_TickLabels(labels.get()), "Axis.TickLabels");
  }
}

// The whole pipeline; throws RenderFailure.
// The graph with its lines, extents and legend, not yet in a window.
void Build(PlotData& data, const PlotOptions& options, const FilledLines& filled, PlotGraph* made) {
  const View view = ViewOf(data, options);
  const std::vector<bool> singlePoints = SinglePoints(data);
  const Range &x = view.x, &y = view.y, &rightY = view.rightY;
  made->view = view;

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
  auto container =
      Part<IGraphicsContainer>(graph.get(), &IGraphBase::get_GraphicsContainer, "LineGraph.GraphicsContainer");
  if (loaded) {
    View saved;
    Check(container->GetLimits(&saved.x.min, &saved.x.max, &saved.y.min, &saved.y.max), "GraphicsContainer.GetLimits");
    made->savedLimits = saved;
  }
  ConfigureLook(graph.get(), data, options, loaded);
  made->screenLook = ScaleLook(graph.get(), Scale(options));
  SetSteps(graph.get(), data, options, view);

  ComPtr<ILineLayer> left, right;
  Check(graph->get_LineLayer(&left), "LineGraph.LineLayer");
  Check(graph->get_RightLineLayer(&right), "LineGraph.RightLineLayer");
  MadeLines leftLines, rightLines;
  // Only the row texts look at X again.
  XSource xSource;
  if (!data.xIsIndex) xSource = XSource{data.x.data(), data.tickTexts.empty()};
  AddLines(left.get(), &data, options, false, &xSource, filled, &leftLines);
  AddLines(right.get(), &data, options, true, &xSource, filled, &rightLines);
  xSource.ClearHidden();

  for (bool rightSide : {false, true})
    if (const char* name =
            AddMarkerLayer(container.get(), data, options, rightSide ? rightLines : leftLines, singlePoints, rightSide))
      made->markerLayers.push_back(name);
  // Tiny data ranges must not be widened by the default minimum zoom size.
  Check(container->put_MinZoomX((x.max - x.min) * 1e-6), "GraphicsContainer.MinZoomX");
  Check(container->put_MinZoomY((y.max - y.min) * 1e-6), "GraphicsContainer.MinZoomY");
  // A saved graph opened alone keeps its own view.
  if (!loaded || !data.series.empty()) Check(graph->SetExtents(x.min, x.max, y.min, y.max), "LineGraph.SetExtents");
  Check(container->SetRightYLimits(rightY.min, rightY.max), "GraphicsContainer.SetRightYLimits");

  made->legend = MakeLegend(graph.get(), data, options, singlePoints);
  made->graph = graph;
  made->persist = persist;
  made->container = container;
}

// The tick label lists, for the limits the graph shows now.
void LabelTicks(ILineGraph* graph, const PlotData& data, const PlotOptions& options) {
  if (!data.tickTexts.empty()) SetTickTexts(graph, data);
  SetScaleLabels(graph, options);
}

// The whole pipeline; throws RenderFailure.
void Render(PlotData& data, const PlotOptions& options, const FilledLines& filled) {
  PlotGraph made;
  Build(data, options, filled, &made);
  ILineGraph* graph = made.graph.get();
  IGraphicsContainer* container = made.container.get();
  const Legend& legend = made.legend;
  const int graphWidth = GraphWidth(legend, options);
  if (graphWidth != options.width) {
    // The grid steps follow the graph's own width.
    PlotOptions narrower = options;
    narrower.width = graphWidth;
    SetSteps(graph, data, narrower, made.view);
  }
  // The title window keeps the screen's line and font: larger pictures get the title drawn to
  // scale above the graph instead.
  VARIANT_BOOL titled = VARIANT_FALSE;
  Check(graph->get_TitleVisible(&titled), "LineGraph.TitleVisible");
  const int top = titled && options.dpi != 96 ? static_cast<int>(ScaledPixels(20, options.dpi)) : 0;
  if (top) Check(graph->put_TitleVisible(VARIANT_FALSE), "LineGraph.TitleVisible");
  HWND host = CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, graphWidth, options.height - top,
                              nullptr, nullptr, nullptr, nullptr);
  if (!host) throw RenderFailure{"cannot create the host window"};
  struct WindowGuard {
    HWND hwnd;
    ~WindowGuard() { DestroyWindow(hwnd); }
  } guard{host};
  Check(AtlAxAttachControl(graph, host, nullptr), "AtlAxAttachControl");
  LabelTicks(graph, data, options);
  Check(graph->Redraw(), "LineGraph.Redraw");
  UpdateWindow(host);
  MSG msg{};
  for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);

  const bool vector = OutputFormat(options.output) != PictureFormat::Png;
  std::optional<Picture> picture;
  std::optional<RecordingPicture> recording;
  if (vector)
    Record(host, top, graph, container, legend, options, recording.emplace(options.width, options.height));
  else
    picture.emplace(Capture(host, top, graph, container, legend, options));
  if (top) Check(graph->put_TitleVisible(VARIANT_TRUE), "LineGraph.TitleVisible");

  // The settings file is written first and renamed into place only once the picture is written.
  for (const std::string& name : made.markerLayers) RemoveLayer(container, name.c_str());
  if (options.dpi != 96) PutLook(graph, made.screenLook);
  std::string error;
  PendingFile settings;
  std::vector<char> bytes;
  if (!options.saveFile.empty() &&
      (!GraphFileBytes(made.persist.get(), &bytes, &error) || !settings.Write(options.saveFile, bytes, &error)))
    throw RenderFailure{error};
  if (vector ? !SaveVectorPicture(recording->dc(), options.output, OutputFormat(options.output), options.pageWidthPt,
                                  options.pageHeightPt, &error)
             : !WritePicture(picture->bitmap, options.output, &error))
    throw RenderFailure{error};
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

// Failures carry a message for the user out of the throwing pipeline.
template <class F>
bool Reported(std::string* error, F&& work) {
  // Caught by type, not through Guarded: a render failure carries a message for the user.
  try {
    work();
    return true;
  } catch (const RenderFailure& failure) {
    *error = failure.message;
  } catch (const std::bad_alloc&) {
    *error = "out of memory";
  }
  return false;
}

bool BuildPlotGraph(PlotData& data, const PlotOptions& options, const FilledLines& filled, PlotGraph* graph,
                    std::string* error) {
  return Reported(error, [&] { Build(data, options, filled, graph); });
}

bool FitTicks(const PlotGraph& graph, const PlotData& data, const PlotOptions& options, std::string* error) {
  return Reported(error, [&] {
    View view;
    Check(graph.container->GetLimits(&view.x.min, &view.x.max, &view.y.min, &view.y.max),
          "GraphicsContainer.GetLimits");
    Check(graph.container->GetRightYLimits(&view.rightY.min, &view.rightY.max), "GraphicsContainer.GetRightYLimits");
    SetSteps(graph.graph.get(), data, options, view);
    LabelTicks(graph.graph.get(), data, options);
  });
}

bool RenderPlot(PlotData&& data, const PlotOptions& options, std::string* error, const FilledLines& filled) {
  return Reported(error, [&] { Render(data, AtDpi(options), filled); });
}

}  // namespace kelmira::plot
