#include "layers/background_layer.h"
#include "module/stored_property.h"

namespace kelmira::layers {

HRESULT BackgroundLayer::Redraw(DrawLayerInfo drawInfo) {
  HDC dc = UlongToHandle<HDC>(static_cast<std::uint32_t>(drawInfo.hDC));
  const RECT area{drawInfo.left, drawInfo.top, drawInfo.right, drawInfo.bottom};
  // An opaque empty text fills the rectangle with the background colour, which stays set.
  SetBkColor(dc, fillColor_);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, "", 0, nullptr);
  return S_OK;
}

HRESULT BackgroundLayer::get_UseBitmap(VARIANT_BOOL* pVal) { return GetStored(useBitmap_, pVal); }

HRESULT BackgroundLayer::put_UseBitmap(VARIANT_BOOL newVal) { return PutStored(useBitmap_, newVal); }

HRESULT BackgroundLayer::get_FillColor(OLE_COLOR* pVal) { return GetStored(fillColor_, pVal); }

HRESULT BackgroundLayer::put_FillColor(OLE_COLOR newVal) { return PutStored(fillColor_, newVal); }

}  // namespace kelmira::layers
