// The 13 creatable classes, in registration order.
#include "module/class_table.h"

#include "axes/x_axis.h"
#include "axes/y_axis.h"
#include "container/graphics_container.h"
#include "data/line_data.h"
#include "data/matrix_data.h"
#include "layers/background_layer.h"
#include "layers/grid_layer.h"
#include "layers/line.h"
#include "layers/line_layer.h"
#include "layers/line_legend_layer.h"
#include "linegraph/line_graph.h"
#include "mouse/mouse_input_manager.h"
#include "proppages/graph_prop_page.h"

namespace kelmira::module {
namespace {

// Resource numbers of the registration scripts and toolbox bitmaps.
constexpr int kScriptGraphicsContainer = 106, kBitmapGraphicsContainer = 101;
constexpr int kScriptBackgroundLayer = 107;
constexpr int kScriptGridLayer = 108;
constexpr int kScriptLineLayer = 110;
constexpr int kScriptLineData = 115;
constexpr int kScriptMatrixData = 121;
constexpr int kScriptXAxis = 125, kBitmapXAxis = 124;
constexpr int kScriptYAxis = 127, kBitmapYAxis = 126;
constexpr int kScriptLineGraph = 129, kBitmapLineGraph = 128;
constexpr int kScriptPropertyPage = 144;
constexpr int kScriptLine = 147;
constexpr int kScriptLineLegendLayer = 150;
constexpr int kScriptMouseInputManager = 151;

// Constant-initialised: the module's load hook reads it before any dynamic initialiser runs.
constinit const ClassEntry kClasses[] = {
    {.name = "GraphicsContainer",
     .progName = "GraphicsContainer",
     .clsid = &CLSID_GraphicsContainer,
     .kind = ClassKind::Control,
     .registryScript = kScriptGraphicsContainer,
     .toolboxBitmap = kBitmapGraphicsContainer,
     .factory = ClassFactory(&Object<container::GraphicsContainer>::Create)},
    {.name = "BackgroundLayer",
     .progName = "BackgroundLayer",
     .clsid = &CLSID_BackgroundLayer,
     .registryScript = kScriptBackgroundLayer,
     .factory = ClassFactory(&Object<layers::BackgroundLayer>::Create)},
    {.name = "GridLayer",
     .progName = "GridLayer",
     .clsid = &CLSID_GridLayer,
     .registryScript = kScriptGridLayer,
     .factory = ClassFactory(&Object<layers::GridLayer>::Create)},
    {.name = "LineLayer",
     .progName = "LineLayer",
     .clsid = &CLSID_LineLayer,
     .registryScript = kScriptLineLayer,
     .factory = ClassFactory(&Object<layers::LineLayer>::Create)},
    {.name = "LineData",
     .progName = "LineData",
     .clsid = &CLSID_LineData,
     .registryScript = kScriptLineData,
     .factory = ClassFactory(&Object<data::LineData>::Create)},
    {.name = "MatrixData",
     .progName = "MatrixData",
     .clsid = &CLSID_MatrixData,
     .registryScript = kScriptMatrixData,
     .factory = ClassFactory(&Object<data::MatrixData>::Create)},
    {.name = "XAxis",
     .progName = "XAxis",
     .clsid = &CLSID_XAxis,
     .kind = ClassKind::Control,
     .registryScript = kScriptXAxis,
     .toolboxBitmap = kBitmapXAxis,
     .factory = ClassFactory(&Object<axes::XAxis>::Create)},
    {.name = "YAxis",
     .progName = "YAxis",
     .clsid = &CLSID_YAxis,
     .kind = ClassKind::Control,
     .registryScript = kScriptYAxis,
     .toolboxBitmap = kBitmapYAxis,
     .factory = ClassFactory(&Object<axes::YAxis>::Create)},
    {.name = "LineGraph",
     .progName = "LineGraph",
     .clsid = &CLSID_LineGraph,
     .kind = ClassKind::Control,
     .registryScript = kScriptLineGraph,
     .toolboxBitmap = kBitmapLineGraph,
     .factory = ClassFactory(&Object<linegraph::LineGraph>::Create)},
    {.name = "BaseGraphPropPage",
     .progName = "LineGraphPropPage",
     .clsid = &CLSID_BaseGraphPropPage,
     .registration = Registration::PropertyPage,
     .registryScript = kScriptPropertyPage,
     .factory = ClassFactory(&Object<proppages::BaseGraphPropPage>::Create)},
    {.name = "Line",
     .progName = "Line",
     .clsid = &CLSID_Line,
     .registryScript = kScriptLine,
     .factory = ClassFactory(&Object<layers::Line>::Create)},
    {.name = "LineLegendLayer",
     .progName = "LineLegendLayer",
     .clsid = &CLSID_LineLegendLayer,
     .registration = Registration::ProgIdDescribed,
     .registryScript = kScriptLineLegendLayer,
     .factory = ClassFactory(&Object<layers::LineLegendLayer>::Create)},
    {.name = "MouseInputManager",
     .progName = "MouseInputManager",
     .clsid = &CLSID_MouseInputManager,
     .registration = Registration::ProgIdDescribed,
     .registryScript = kScriptMouseInputManager,
     .factory = ClassFactory(&Object<mouse::MouseInputManager>::Create)},
};

}  // namespace

std::span<const ClassEntry> ClassTable() { return kClasses; }

const ClassEntry* FindClass(REFCLSID clsid) {
  for (const ClassEntry& c : kClasses)
    if (IsEqualCLSID(*c.clsid, clsid)) return &c;
  return nullptr;
}

}  // namespace kelmira::module
