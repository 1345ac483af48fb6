#include "linegraph/line_graph.h"

#include "layers/line_layer.h"

#include <kelmira/platform/dialog_template.h>

namespace kelmira::linegraph {
namespace {

constexpr OLE_COLOR kNewLineColor = 0x0000FF00;

}  // namespace

const DLGTEMPLATE* LineGraph::GetDialogTemplate() {
  static const DialogTemplateBuilder dialog(WS_CHILD | DS_CONTROL, 0, 0, 0, 186, 94, "", 8, "MS Sans Serif");
  return dialog.Template();
}

HRESULT LineGraph::FinalConstruct() {
  HRESULT hr = GraphBase::FinalConstruct();
  if (SUCCEEDED(hr)) hr = CreatePart(CLSID_LineLayer, &lineLayer_);
  if (SUCCEEDED(hr)) hr = CreatePart(CLSID_LineLayer, &rightLineLayer_);
  if (SUCCEEDED(hr)) hr = AddNamedLayer(parts_.container.get(), u"Line", lineLayer_.get());
  if (SUCCEEDED(hr)) hr = AddNamedLayer(parts_.container.get(), u"RightLine", rightLineLayer_.get());
  if (SUCCEEDED(hr)) hr = parts_.container->SetLayerRightYAxis(LayerName(u"RightLine"), VARIANT_FALSE);
  return hr;
}

LineGraph::~LineGraph() {
  rightLineLayer_.Reset();
  lineLayer_.Reset();
}

HRESULT LineGraph::get_LineCount(LONG* p) { return lineLayer_ ? lineLayer_->get_Count(p) : E_POINTER; }

// Lines come off the end, the last first; new ones are unnamed, green and solid.
HRESULT LineGraph::put_LineCount(LONG n) {
  if (!lineLayer_) return E_POINTER;
  if (n <= 0) return lineLayer_->RemoveAllLines();
  // Refused before any line goes or comes: the layer could not hold them all.
  if (n > layers::LineLayer::kMaxLines) return E_OUTOFMEMORY;
  LONG count = 0;
  HRESULT hr = lineLayer_->get_Count(&count);
  while (SUCCEEDED(hr) && n < count) {
    --count;
    Variant position;
    position.vt = VT_I4;
    position.lVal = count;
    hr = lineLayer_->RemoveLine(position);
  }
  const Bstr unnamed(u"");
  for (; SUCCEEDED(hr) && count < n; ++count) {
    ComPtr<ILine> line;
    hr = lineLayer_->AddLine(unnamed.get(), kNewLineColor, 0, &line);
  }
  return FAILED(hr) ? hr : S_OK;
}

HRESULT LineGraph::get_Lines(VARIANT vIndex, ILine** p) {
  return lineLayer_ ? lineLayer_->get_Lines(vIndex, p) : E_POINTER;
}

HRESULT LineGraph::put_Lines(VARIANT vIndex, ILine* line) {
  return lineLayer_ ? lineLayer_->put_Lines(vIndex, line) : E_POINTER;
}

HRESULT LineGraph::AddLine(BSTR name, OLE_COLOR color, LONG style, ILine** result) {
  return lineLayer_ ? lineLayer_->AddLine(name, color, style, result) : E_POINTER;
}

HRESULT LineGraph::RemoveLine(VARIANT vIndex) {
  if (!lineLayer_) return E_POINTER;
  Variant copy;
  const HRESULT hr = VariantCopy(&copy, &vIndex);
  return FAILED(hr) ? hr : lineLayer_->RemoveLine(copy);
}

HRESULT LineGraph::RemoveAllLines() { return lineLayer_ ? lineLayer_->RemoveAllLines() : E_POINTER; }

HRESULT LineGraph::get_UseRightYAxis(VARIANT_BOOL* p) {
  if (!p) return E_POINTER;
  if (!parts_.container) return E_POINTER;
  VARIANT_BOOL flag = VARIANT_FALSE;
  parts_.container->GetLayerRightYAxis(LayerName(u"RightLine"), &flag);
  *p = flag;
  return S_OK;
}

HRESULT LineGraph::put_UseRightYAxis(VARIANT_BOOL v) {
  return parts_.container ? parts_.container->SetLayerRightYAxis(LayerName(u"RightLine"), v) : E_POINTER;
}

}  // namespace kelmira::linegraph
