// LineGraph: the ready-made line graph. GraphBase gives it the container, axes, grid, title and
// layout; it adds two line layers, "Line" (the graph's own lines, which every line member works
// on) and "RightLine" (reached through RightLineLayer, and drawn against the container's right-Y
// limits while UseRightYAxis is on).
//
// Its window is a dialog of 186 x 94 dialog units in "MS Sans Serif" 8 pt with no items of its
// own; the natural extent is that size in HIMETRIC. Aggregation is allowed and runs the same
// construction.
//
// LineCount put beyond the layer's line limit gives E_OUTOFMEMORY before any line is added or
// removed.
#pragma once

#include "linegraph/graph_base.h"

namespace kelmira::linegraph {

class LineGraph : public GraphBase<LineGraph, ILineGraph> {
 public:
  static const CLSID& GetObjectCLSID() { return CLSID_LineGraph; }
  static constexpr const char* kWindowClassName = "KelmiraLineGraph";
  static const DLGTEMPLATE* GetDialogTemplate();

  BEGIN_PROP_MAP(LineGraph)
    PROP_DATA_ENTRY("_cx", sizeExtent_.cx, VT_UI4)
    PROP_DATA_ENTRY("_cy", sizeExtent_.cy, VT_UI4)
    PROP_ENTRY("GridColor", 0x65, CLSID_StockColorPage)
    PROP_ENTRY("BackColor", 0x66, CLSID_StockColorPage)
    PROP_ENTRY("Title", 0x67, CLSID_NULL)
    PROP_ENTRY("TextColor", 0x68, CLSID_StockColorPage)
    PROP_ENTRY("TickLength", 0x6b, CLSID_NULL)
    PROP_ENTRY("TickColor", 0x8d, CLSID_NULL)
    PROP_ENTRY("GridStepX", 0x6c, CLSID_NULL)
    PROP_ENTRY("GridStepY", 0x6d, CLSID_NULL)
    PROP_ENTRY("TitleVisible", 0x6e, CLSID_NULL)
    PROP_ENTRY("XAxisVisible", 0x6f, CLSID_NULL)
    PROP_ENTRY("YAxisVisible", 0x70, CLSID_NULL)
    PROP_ENTRY("RightYAxisVisible", 0x75, CLSID_NULL)
    PROP_ENTRY("Font", 0x73, CLSID_StockFontPage)
    PROP_ENTRY("Border", 0x74, CLSID_NULL)
    PROP_ENTRY("GridLines", 0x8e, CLSID_NULL)
    PROP_ENTRY("GridStyle", 0x84, CLSID_NULL)
    PROP_ENTRY("GridStyle", 0x84, CLSID_NULL)  // twice, as graph streams have always held it
    PROP_ENTRY("XAxisSize", 0x8b, CLSID_NULL)
    PROP_ENTRY("YAxisSize", 0x8c, CLSID_NULL)
    PROP_PAGE(CLSID_BaseGraphPropPage)
  END_PROP_MAP()

  HRESULT FinalConstruct();
  ~LineGraph();

  // ---- ILineGraph: every line member works on the layer "Line".
  HRESULT STDMETHODCALLTYPE get_LineLayer(ILineLayer** p) override { return GetPart(lineLayer_, p); }
  HRESULT STDMETHODCALLTYPE get_LineCount(LONG* p) override;
  HRESULT STDMETHODCALLTYPE put_LineCount(LONG n) override;
  HRESULT STDMETHODCALLTYPE get_Lines(VARIANT vIndex, ILine** p) override;
  HRESULT STDMETHODCALLTYPE put_Lines(VARIANT vIndex, ILine* line) override;
  HRESULT STDMETHODCALLTYPE AddLine(BSTR name, OLE_COLOR color, LONG style, ILine** result) override;
  HRESULT STDMETHODCALLTYPE RemoveLine(VARIANT vIndex) override;
  HRESULT STDMETHODCALLTYPE RemoveAllLines() override;
  HRESULT STDMETHODCALLTYPE get_RightLineLayer(ILineLayer** p) override { return GetPart(rightLineLayer_, p); }
  HRESULT STDMETHODCALLTYPE get_UseRightYAxis(VARIANT_BOOL* p) override;
  HRESULT STDMETHODCALLTYPE put_UseRightYAxis(VARIANT_BOOL v) override;

 private:
  ComPtr<ILineLayer> lineLayer_;
  ComPtr<ILineLayer> rightLineLayer_;
};

}  // namespace kelmira::linegraph
