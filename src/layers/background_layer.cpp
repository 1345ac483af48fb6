#include "layers/background_layer.h"
#include "common/pixel_mapping.h"
#include "common/stored_property.h"

namespace kelmira::layers {

HRESULT BackgroundLayer::Redraw(DrawLayerInfo drawInfo) {
  const HDC dc = common::HdcOf(drawInfo);
  const RECT area{drawInfo.left, drawInfo.top, drawInfo.right, drawInfo.bottom};
  // An opaque empty text fills the rectangle with the background colour, which stays set.
  SetBkColor(dc, fillColor_);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, "", 0, nullptr);
  return S_OK;
}

HRESULT BackgroundLayer::get_UseBitmap(VARIANT_BOOL* pVal) { return common::GetStored(useBitmap_, pVal); }

HRESULT BackgroundLayer::put_UseBitmap(VARIANT_BOOL newVal) { return common::PutStored(useBitmap_, newVal); }

HRESULT BackgroundLayer::get_FillColor(OLE_COLOR* pVal) { return common::GetStored(fillColor_, pVal); }

HRESULT BackgroundLayer::put_FillColor(OLE_COLOR newVal) { return common::PutStored(fillColor_, newVal); }

}  // namespace kelmira::layers
