// The 13 creatable classes, in registration order.
#include "module/class_table.h"

#include "container/graphics_container.h"
#include "data/line_data.h"
#include "data/matrix_data.h"
#include "layers/background_layer.h"
#include "layers/grid_layer.h"
#include "layers/line.h"
#include "layers/line_layer.h"
#include "layers/line_legend_layer.h"
#include "mouse/mouse_input_manager.h"

namespace kelmira::module {
namespace {

// Creation for a class whose implementation is not part of this build yet: the aggregation rules
// are answered exactly as the finished class will answer them.
template <bool Aggregatable>
HRESULT NotProvidedYet(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer && (!Aggregatable || !IsEqualIID(riid, IID_IUnknown))) return CLASS_E_NOAGGREGATION;
  return E_NOTIMPL;
}

constexpr ClassEntry kClasses[] = {
    {"GraphicsContainer", "GraphicsContainer", &CLSID_GraphicsContainer, true, true, 106, 101,
     &Object<container::GraphicsContainer>::Create},
    {"BackgroundLayer", "BackgroundLayer", &CLSID_BackgroundLayer, false, true, 107, 0,
     &Object<layers::BackgroundLayer>::Create},
    {"GridLayer", "GridLayer", &CLSID_GridLayer, false, true, 108, 0, &Object<layers::GridLayer>::Create},
    {"LineLayer", "LineLayer", &CLSID_LineLayer, false, true, 110, 0, &Object<layers::LineLayer>::Create},
    {"LineData", "LineData", &CLSID_LineData, false, true, 115, 0, &Object<data::LineData>::Create},
    {"MatrixData", "MatrixData", &CLSID_MatrixData, false, true, 121, 0, &Object<data::MatrixData>::Create},
    {"XAxis", "XAxis", &CLSID_XAxis, true, false, 125, 124, &NotProvidedYet<false>},
    {"YAxis", "YAxis", &CLSID_YAxis, true, false, 127, 126, &NotProvidedYet<false>},
    {"LineGraph", "LineGraph", &CLSID_LineGraph, true, true, 129, 128, &NotProvidedYet<true>},
    {"BaseGraphPropPage", "LineGraphPropPage", &CLSID_BaseGraphPropPage, false, true, 144, 0, &NotProvidedYet<true>},
    {"Line", "Line", &CLSID_Line, false, true, 147, 0, &Object<layers::Line>::Create},
    {"LineLegendLayer", "LineLegendLayer", &CLSID_LineLegendLayer, false, true, 150, 0,
     &Object<layers::LineLegendLayer>::Create},
    {"MouseInputManager", "MouseInputManager", &CLSID_MouseInputManager, false, true, 151, 0,
     &Object<mouse::MouseInputManager>::Create},
};

// One static factory per class; index-aligned with kClasses.
ClassFactory gFactories[] = {
    ClassFactory(kClasses[0].create),  ClassFactory(kClasses[1].create),  ClassFactory(kClasses[2].create),
    ClassFactory(kClasses[3].create),  ClassFactory(kClasses[4].create),  ClassFactory(kClasses[5].create),
    ClassFactory(kClasses[6].create),  ClassFactory(kClasses[7].create),  ClassFactory(kClasses[8].create),
    ClassFactory(kClasses[9].create),  ClassFactory(kClasses[10].create), ClassFactory(kClasses[11].create),
    ClassFactory(kClasses[12].create),
};
static_assert(std::size(gFactories) == std::size(kClasses));

}  // namespace

std::span<const ClassEntry> ClassTable() { return kClasses; }

const ClassEntry* FindClass(REFCLSID clsid) {
  for (const ClassEntry& c : kClasses)
    if (IsEqualCLSID(*c.clsid, clsid)) return &c;
  return nullptr;
}

IClassFactory* FactoryOf(const ClassEntry& entry) { return &gFactories[&entry - kClasses]; }

}  // namespace kelmira::module
