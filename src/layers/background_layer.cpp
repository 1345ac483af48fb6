#include "layers/background_layer.h"

namespace kelmira::layers {

HRESULT BackgroundLayer::Redraw(DrawLayerInfo drawInfo) {
  HDC dc = UlongToHandle<HDC>(static_cast<std::uint32_t>(drawInfo.hDC));
  const RECT area{drawInfo.left, drawInfo.top, drawInfo.right, drawInfo.bottom};
  // An opaque empty text fills the rectangle with the background colour, which stays set.
  SetBkColor(dc, fillColor_);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, "", 0, nullptr);
  return S_OK;
}

HRESULT BackgroundLayer::get_UseBitmap(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = useBitmap_;
  return S_OK;
}

HRESULT BackgroundLayer::put_UseBitmap(VARIANT_BOOL newVal) {
  useBitmap_ = newVal;
  return S_OK;
}

HRESULT BackgroundLayer::get_FillColor(OLE_COLOR* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = fillColor_;
  return S_OK;
}

HRESULT BackgroundLayer::put_FillColor(OLE_COLOR newVal) {
  fillColor_ = newVal;
  return S_OK;
}

}  // namespace kelmira::layers
