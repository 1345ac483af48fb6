#include "linegraph/graph_parts.h"

#include "common/default_font.h"

namespace kelmira::linegraph {
namespace {

constexpr DWORD kPartContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr OLE_COLOR kWhite = 0x00FFFFFF;

HRESULT ConnectAxis(IAxis* axis, IGridLayer* grid, IGraphicsContainer* container) {
  HRESULT hr = axis->put_Grid(grid);
  return SUCCEEDED(hr) ? axis->put_GraphicContainer(container) : hr;
}

HRESULT SetTitle(IAxis* axis, const OLECHAR* title) {
  const Bstr text(title);
  return axis->put_Title(text.get());
}

// The steps after the parts exist, in order; the first failure ends them.
HRESULT WireParts(const GraphParts& p, IFontDisp* font) {
  HRESULT hr = S_OK;
  for (IAxis* axis : {static_cast<IAxis*>(p.xAxis.get()), static_cast<IAxis*>(p.yAxis.get()),
                      static_cast<IAxis*>(p.rightYAxis.get())})
    if (SUCCEEDED(hr)) hr = axis->putref_Font(font);
  if (SUCCEEDED(hr)) hr = SetTitle(p.xAxis.get(), u"X Axis (linegr)");
  if (SUCCEEDED(hr)) hr = SetTitle(p.yAxis.get(), u"Y Axis (linegr)");
  if (SUCCEEDED(hr)) hr = SetTitle(p.rightYAxis.get(), u"Y Axis (linegr)");
  if (SUCCEEDED(hr)) hr = p.grid->put_XStep(10.0);
  if (SUCCEEDED(hr)) hr = p.grid->put_YStep(10.0);
  if (SUCCEEDED(hr)) hr = p.background->put_FillColor(kWhite);
  if (SUCCEEDED(hr)) hr = AddNamedLayer(p.container.get(), u"Background", p.background.get());
  if (SUCCEEDED(hr)) hr = AddNamedLayer(p.container.get(), u"Grid", p.grid.get());
  if (SUCCEEDED(hr)) hr = p.container->SetExtents(0, 100, 0, 100);
  if (SUCCEEDED(hr)) hr = p.container->SetLimits(0, 100, 0, 100);
  if (SUCCEEDED(hr)) hr = ConnectAxis(p.xAxis.get(), p.grid.get(), p.container.get());
  if (SUCCEEDED(hr)) hr = ConnectAxis(p.yAxis.get(), p.grid.get(), p.container.get());
  if (SUCCEEDED(hr)) hr = ConnectAxis(p.rightYAxis.get(), p.grid.get(), p.container.get());
  if (SUCCEEDED(hr)) hr = p.rightYAxis->put_LeftAligned(VARIANT_TRUE);
  return hr;
}

}  // namespace

HRESULT CreatePart(REFCLSID clsid, REFIID iid, void** part) {
  *part = nullptr;
  ComPtr<IUnknown> unknown;
  HRESULT hr = CoCreateInstance(clsid, nullptr, kPartContext, IID_IUnknown, reinterpret_cast<void**>(&unknown));
  if (SUCCEEDED(hr)) hr = OleRun(unknown.get());
  if (SUCCEEDED(hr)) hr = unknown->QueryInterface(iid, part);
  if (FAILED(hr)) *part = nullptr;
  return hr;
}

HRESULT BuildGraphParts(GraphParts* p, ComPtr<IFontDisp>& font) {
  HRESULT hr = CreatePart(CLSID_BackgroundLayer, &p->background);
  if (SUCCEEDED(hr)) hr = CreatePart(CLSID_GridLayer, &p->grid);
  if (SUCCEEDED(hr)) hr = CreatePart(CLSID_XAxis, &p->xAxis);
  if (SUCCEEDED(hr)) hr = CreatePart(CLSID_YAxis, &p->yAxis);
  if (SUCCEEDED(hr)) hr = CreatePart(CLSID_YAxis, &p->rightYAxis);
  if (SUCCEEDED(hr)) hr = CreatePart(CLSID_GraphicsContainer, &p->container);
  if (SUCCEEDED(hr)) hr = common::MakeDefaultFont(font);
  return SUCCEEDED(hr) ? WireParts(*p, font.get()) : hr;
}

HRESULT AddNamedLayer(IGraphicsContainer* container, const OLECHAR* name, IUnknown* layer) {
  ComPtr<IGraphicsLayer> graphics;
  HRESULT hr = layer->QueryInterface(IID_IGraphicsLayer, reinterpret_cast<void**>(&graphics));
  if (FAILED(hr)) return hr;
  const Bstr text(name);
  VARIANT_BOOL added = VARIANT_FALSE;
  hr = container->AddLayer(text.get(), graphics.get(), &added);
  return SUCCEEDED(hr) && !added ? E_FAIL : hr;
}

Variant LayerName(const OLECHAR* name) {
  Variant index;
  index.vt = VT_BSTR;
  index.bstrVal = SysAllocString(name);
  return index;
}

}  // namespace kelmira::linegraph
