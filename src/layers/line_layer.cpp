// LineLayer: the list of lines and its redraw.
#include "layers/line_layer.h"
#include "common/stored_property.h"

#include "layers/line.h"
#include "layers/line_attachment.h"
#include "common/gdi_guards.h"
#include "common/name_compare.h"
#include "common/pixel_mapping.h"
#include "common/variant_index.h"
#include "layers/line_points.h"
#include "layers/line_render.h"

#include <cstdint>
#include <optional>

namespace kelmira::layers {
namespace {

// The data drawing reads: our own lines are asked for what is attached, so that drawing never
// creates data; a host's line answers through get_Data.
ComPtr<ILineData> DataToDraw(ILine* line) {
  ComPtr<ILineData> data;
  ComPtr<ILineAttachment> attachment;
  if (SUCCEEDED(line->QueryInterface(IID_ILineAttachment, reinterpret_cast<void**>(&attachment))) && attachment) {
    if (FAILED(attachment->GetAttachedData(&data))) return nullptr;
    return data;
  }
  if (FAILED(line->get_Data(&data))) return nullptr;
  return data;
}

}  // namespace

HRESULT LineLayer::FindLine(const VARIANT& index, std::optional<std::size_t>* position) const {
  return common::FindByVariantIndex(
      index, lines_.size(),
      [this](std::size_t i, const OLECHAR* name) {
        // A line of a host may call back into its layer: hold it, and an item that has gone matches nothing.
        if (i >= lines_.size()) return false;
        ComPtr<ILine> line = lines_[i];
        Bstr lineName;
        return SUCCEEDED(line->get_Name(&lineName)) && common::NamesEqualIgnoringCase(lineName.get(), name);
      },
      position);
}

LineLayer::~LineLayer() { ReleaseAllLines(); }

void LineLayer::ReleaseAllLines() {
  // The list is empty before the first line goes, in case a line's release calls back.
  std::vector<ComPtr<ILine>> released;
  released.swap(lines_);
  for (ComPtr<ILine>& line : released) line.Reset();
}

HRESULT LineLayer::Redraw(DrawLayerInfo drawInfo) {
  const HDC dc = common::HdcOf(drawInfo);
  const common::PixelMapping mapping = common::PixelMapping::From(drawInfo);
  const std::size_t lineCount = lines_.size();
  // What was drawn before a failure stays. Only running out of memory is reported, so that the
  // container draws the layer again once memory is back.
  bool complete = true;
  const HRESULT hr = Guarded([&] {
    // A host's line could change the list while it is drawn: recheck the size for every line.
    for (std::size_t k = 0; k < lineCount && k < lines_.size(); ++k) {
      ComPtr<ILine> line = lines_[k];
      if (!DrawLine(dc, line.get(), mapping, k, lineCount)) complete = false;
    }
  });
  return hr == E_OUTOFMEMORY || !complete ? E_OUTOFMEMORY : S_OK;
}

bool LineLayer::DrawLine(HDC dc, ILine* line, const common::PixelMapping& mapping, std::size_t position,
                         std::size_t lineCount) {
  VARIANT_BOOL visible = VARIANT_FALSE;
  if (FAILED(line->get_Visible(&visible)) || !visible) return true;
  LONG style = 0, width = 0, pointStyle = 2;
  OLE_COLOR color = 0;
  if (FAILED(line->get_Style(&style)) || FAILED(line->get_Width(&width)) || FAILED(line->get_Color(&color)))
    return true;
  const bool markers = style_ == 1;
  if (markers && FAILED(line->get_PointStyle(&pointStyle))) return true;

  const int penStyle = (style >= 0 && style <= 2) ? static_cast<int>(style) : PS_SOLID;
  const common::UniqueGdiObject<HPEN> pen(CreatePen(penStyle, width, color));
  const common::UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(color));
  if (!pen || !brush) return false;
  const common::ScopedSelect penSelected(dc, pen.get());
  const common::ScopedSelect brushSelected(dc, brush.get());
  if (!penSelected.Selected() || !brushSelected.Selected()) return true;

  if (designMode_) {
    // Hidden lines keep their share: n lines divide the height into n + 1 equal parts.
    const double spacing = static_cast<double>(mapping.bottom - mapping.top) / static_cast<double>(lineCount + 1);
    const LONG y = common::TruncToPixel(spacing * static_cast<double>(position + 1));
    MoveToEx(dc, mapping.left, y, nullptr);
    LineTo(dc, mapping.right, y);
    return true;
  }

  ComPtr<ILineData> data = DataToDraw(line);
  if (!data) return true;
  LinePoints points;
  if (const HRESULT hr = ReadLinePoints(data.get(), offset_, &points); FAILED(hr)) return hr != E_OUTOFMEMORY;
  if (markers) {
    DrawMarkers(dc, points, mapping, pointStyle);
    return true;
  }
  // Widths 0 and 1 (and -1, drawn as 1) make one-pixel pens, the only ones with a pattern.
  const bool onePixel = width >= -1 && width <= 1;
  DrawPolyline(dc, points, mapping,
               !onePixel              ? LinePen::Wide
               : penStyle == PS_SOLID ? LinePen::OnePixelSolid
                                      : LinePen::Patterned);
  return true;
}

HRESULT LineLayer::get_UseBitmap(VARIANT_BOOL* pVal) { return common::GetStored(useBitmap_, pVal); }

HRESULT LineLayer::put_UseBitmap(VARIANT_BOOL newVal) { return common::PutStored(useBitmap_, newVal); }

HRESULT LineLayer::AddLine(BSTR szName, OLE_COLOR Color, LONG Style, ILine** ppResult) {
  if (!ppResult) return E_POINTER;
  *ppResult = nullptr;
  if (lines_.size() >= static_cast<std::size_t>(kMaxLines)) return E_OUTOFMEMORY;
  return Guarded([&] {
    ComPtr<Object<Line>> made;
    HRESULT hr = Object<Line>::Make(&made);
    if (FAILED(hr)) return hr;
    // Stored as given: only put_Style limits the value.
    made->SetStyleUnchecked(Style);
    made->put_Color(Color);
    made->put_Visible(VARIANT_TRUE);
    hr = made->put_Name(szName);
    if (FAILED(hr)) return hr;
    ComPtr<ILine> line(static_cast<ILine*>(made.get()));
    lines_.push_back(line);
    return line.CopyTo(ppResult);
  });
}

HRESULT LineLayer::RemoveLine(VARIANT vIndex) {
  std::optional<std::size_t> position;
  HRESULT hr = FindLine(vIndex, &position);
  if (FAILED(hr)) return hr;
  if (!position || *position >= lines_.size()) return S_OK;
  // Out of the list first, released last.
  ComPtr<ILine> removed = std::move(lines_[*position]);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*position));
  return S_OK;
}

HRESULT LineLayer::get_Count(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = static_cast<LONG>(lines_.size());
  return S_OK;
}

HRESULT LineLayer::get_Offset(LONG* pVal) { return common::GetStored(offset_, pVal); }

HRESULT LineLayer::put_Offset(LONG newVal) { return common::PutStored(offset_, newVal); }

HRESULT LineLayer::RemoveAllLines() {
  ReleaseAllLines();
  return S_OK;
}

// Kept widened to 32 bits.
HRESULT LineLayer::put_DesignMode(VARIANT_BOOL newVal) {
  designMode_ = newVal;
  return S_OK;
}

HRESULT LineLayer::get_Lines(VARIANT vIndex, ILine** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  std::optional<std::size_t> position;
  HRESULT hr = FindLine(vIndex, &position);
  if (FAILED(hr)) return hr;
  if (!position || *position >= lines_.size()) return S_OK;
  return lines_[*position].CopyTo(pVal);
}

HRESULT LineLayer::put_Lines(VARIANT vIndex, ILine* newVal) {
  if (!newVal) return E_POINTER;
  return Guarded([&] {
    Variant index;
    HRESULT hr = VariantCopyInd(&index, &vIndex);
    if (FAILED(hr)) return hr;
    std::optional<std::size_t> position;
    hr = FindLine(index, &position);
    if (FAILED(hr)) return hr;
    // The new reference is taken before the old one goes.
    ComPtr<ILine> incoming(newVal);
    if (position && *position < lines_.size()) {
      std::swap(lines_[*position], incoming);
      return S_OK;
    }
    if (index.vt != VT_BSTR) return S_OK;
    if (lines_.size() >= static_cast<std::size_t>(kMaxLines)) return E_OUTOFMEMORY;
    lines_.push_back(incoming);
    return newVal->put_Name(index.bstrVal);
  });
}

HRESULT LineLayer::get_Style(LONG* pVal) { return common::GetStored(style_, pVal); }

HRESULT LineLayer::put_Style(LONG newVal) { return common::PutStored(style_, newVal); }

}  // namespace kelmira::layers
