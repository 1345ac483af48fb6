// Painting: the composite picture kept between paints, the layers drawn into it bottom to top,
// and the requests for a new picture.
#include "container/graphics_container.h"

namespace kelmira::container {
namespace {

constexpr COLORREF kUncoveredColor = RGB(255, 0, 0);  // whatever no layer covers shows red
constexpr COLORREF kLayerClearColor = RGB(0, 0, 0);   // a layer's own bitmap starts black

// Fills the rectangle with the background colour by an empty opaque text output.
void FillOpaque(HDC dc, COLORREF color, const RECT& rect) {
  SetBkColor(dc, color);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
}

}  // namespace

HRESULT GraphicsContainer::Redraw() {
  fullRedraw_ = true;
  FireViewChange();
  return S_OK;
}

HRESULT GraphicsContainer::RedrawLayer(VARIANT vIndex) {
  fullRedraw_ = true;
  HWND hwnd = ControlWindow();
  if (!hwnd || !IsWindow(hwnd)) return S_OK;
  LONG position = LayerStack::kNotFound;
  HRESULT hr = layers_.FindLayer(vIndex, &position);
  if (FAILED(hr)) return hr;
  if (position != LayerStack::kNotFound && layers_.At(position).visible) layers_.At(position).bitmap.Delete();
  FireViewChange();
  return S_OK;
}

void GraphicsContainer::DropPictures() {
  composite_.Delete();
  layers_.DeleteCachedBitmaps();
}

HRESULT GraphicsContainer::OnDraw(HDC hdc, const RECT& bounds) {
  const LONG width = bounds.right - bounds.left;
  const LONG height = bounds.bottom - bounds.top;
  if (width < 0 || height < 0) return E_INVALIDARG;
  common::UniqueMemoryDc composite(hdc);
  if (!composite.get()) return E_OUTOFMEMORY;

  // Without Redraw or a new size the kept picture is copied and no layer is called.
  const bool keptPictureFits = width == composedWidth_ && height == composedHeight_ && !fullRedraw_ && composite_;
  bool complete = true;
  if (!keptPictureFits) {
    DropPictures();
    composite_.Reset(CreateCompatibleBitmap(hdc, width, height));
    if (!composite_) return E_OUTOFMEMORY;
    common::ScopedSelect picture(composite.get(), composite_.get());
    const RECT work{0, 0, width, height};
    FillOpaque(composite.get(), kUncoveredColor, work);
    complete = DrawLayers(composite.get(), width, height);
  }

  {
    common::ScopedSelect picture(composite.get(), composite_.get());
    RECT clip{};
    GetClipBox(hdc, &clip);
    BitBlt(hdc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, composite.get(),
           clip.left - bounds.left, clip.top - bounds.top, SRCCOPY);
  }
  composedWidth_ = width;
  composedHeight_ = height;
  // A picture that memory ran short for is shown but not kept: the next paint draws it again.
  fullRedraw_ = !complete;

  // The rubber band is drawn on the window itself; a repaint would otherwise wipe it.
  if (routing_) routing_->RedrawBandIfDragging();
  return S_OK;
}

// Layers that use a bitmap draw on black in a context of their own and are OR-ed onto the
// composite; the others draw straight onto it. A layer may call back into the container while it
// draws, so the record is looked up again after every call out. False when memory ran out for a
// layer.
bool GraphicsContainer::DrawLayers(HDC composite, LONG width, LONG height) {
  common::UniqueMemoryDc layerDc(composite);
  if (!layerDc.get()) return false;
  bool complete = true;
  SetBkMode(layerDc.get(), TRANSPARENT);
  const RECT work{0, 0, width, height};
  const DrawLayerInfo leftInfo = MakeDrawInfo(limits_, width, height);
  const DrawLayerInfo rightInfo = MakeRightYDrawInfo(leftInfo, rightYMin_, rightYMax_);

  for (LONG i = 0; i < layers_.Count(); ++i) {
    if (!layers_.At(i).visible) continue;
    ComPtr<IGraphicsLayer> layer = layers_.At(i).layer;
    if (!layer) continue;
    VARIANT_BOOL useBitmap = VARIANT_FALSE;
    if (FAILED(layer->get_UseBitmap(&useBitmap)) || !layers_.Contains(i)) continue;
    LayerRecord& record = layers_.At(i);
    DrawLayerInfo info = record.rightYAxis ? rightInfo : leftInfo;

    if (!useBitmap) {
      record.bitmap.Delete();
      info.hDC = common::HdcField(composite);
      if (layer->Redraw(info) == E_OUTOFMEMORY) complete = false;
      continue;
    }
    if (!record.bitmap) record.bitmap.Reset(CreateCompatibleBitmap(composite, width, height));
    if (!record.bitmap) {
      complete = false;
      continue;
    }
    common::ScopedSelect own(layerDc.get(), record.bitmap.get());
    FillOpaque(layerDc.get(), kLayerClearColor, work);
    info.hDC = common::HdcField(layerDc.get());
    const HRESULT hr = layer->Redraw(info);
    if (SUCCEEDED(hr)) BitBlt(composite, 0, 0, width, height, layerDc.get(), 0, 0, SRCPAINT);
    if (hr == E_OUTOFMEMORY) complete = false;
  }
  return complete;
}

}  // namespace kelmira::container
