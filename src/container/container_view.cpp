// The view members of IGraphicsContainer: limits, extents, right-Y limits, minimum zoom sizes and
// the conversions between screen points and logical coordinates.
#include "container/graphics_container.h"
#include "common/stored_property.h"

namespace kelmira::container {

void GraphicsContainer::ApplyLimits(const Limits& requested, const Limits& extents) {
  extents_ = extents;
  limits_ = ValidateLimits(requested, extents, minZoomX_, minZoomY_);
  FireOnViewChanged();
}

HRESULT GraphicsContainer::SetLimits(double XMin, double xmax, double YMin, double ymax) {
  ApplyLimits(Limits{XMin, xmax, YMin, ymax}, extents_);
  return S_OK;
}

HRESULT GraphicsContainer::GetLimits(double* XMin, double* xmax, double* YMin, double* ymax) {
  if (!XMin || !xmax || !YMin || !ymax) return E_POINTER;
  *XMin = limits_.xMin;
  *xmax = limits_.xMax;
  *YMin = limits_.yMin;
  *ymax = limits_.yMax;
  return S_OK;
}

HRESULT GraphicsContainer::SetExtents(double XMin, double xmax, double YMin, double ymax) {
  // Stored unchecked, then the view becomes the whole extents.
  const Limits extents{XMin, xmax, YMin, ymax};
  ApplyLimits(extents, extents);
  return S_OK;
}

HRESULT GraphicsContainer::GetExtents(double* XMin, double* xmax, double* YMin, double* ymax) {
  if (!XMin || !xmax || !YMin || !ymax) return E_POINTER;
  *XMin = extents_.xMin;
  *xmax = extents_.xMax;
  *YMin = extents_.yMin;
  *ymax = extents_.yMax;
  return S_OK;
}

HRESULT GraphicsContainer::SetRightYLimits(double YMin, double ymax) {
  rightYMin_ = YMin;
  rightYMax_ = YMin < ymax ? ymax : YMin + 1.0;
  return S_OK;
}

HRESULT GraphicsContainer::GetRightYLimits(double* YMin, double* ymax) {
  if (!YMin || !ymax) return E_POINTER;
  *YMin = rightYMin_;
  *ymax = rightYMax_;
  return S_OK;
}

HRESULT GraphicsContainer::get_MinZoomX(double* pVal) { return common::GetStored(minZoomX_, pVal); }

HRESULT GraphicsContainer::put_MinZoomX(double newVal) { return common::PutStored(minZoomX_, newVal); }

HRESULT GraphicsContainer::get_MinZoomY(double* pVal) { return common::GetStored(minZoomY_, pVal); }

HRESULT GraphicsContainer::put_MinZoomY(double newVal) { return common::PutStored(minZoomY_, newVal); }

HRESULT GraphicsContainer::get_AllowYZoom(VARIANT_BOOL* pVal) { return common::GetStored(allowYZoom_, pVal); }

HRESULT GraphicsContainer::put_AllowYZoom(VARIANT_BOOL newVal) { return common::PutStored(allowYZoom_, newVal); }

HRESULT GraphicsContainer::get_AutoZoom(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = static_cast<VARIANT_BOOL>(routing_ ? routing_->GetAutoZoom() : 0);
  return S_OK;
}

HRESULT GraphicsContainer::put_AutoZoom(VARIANT_BOOL newVal) {
  if (routing_) routing_->SetAutoZoom(newVal);
  return S_OK;
}

HRESULT GraphicsContainer::get_hwnd(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = static_cast<LONG>(HandleToUlong(ControlWindow()));
  return S_OK;
}

std::optional<common::PixelMapping> GraphicsContainer::ScreenMapping() const {
  HWND hwnd = ControlWindow();
  RECT client{};
  if (!hwnd || !IsWindow(hwnd) || !GetClientRect(hwnd, &client)) return std::nullopt;
  POINT topLeft{client.left, client.top};
  POINT bottomRight{client.right, client.bottom};
  ClientToScreen(hwnd, &topLeft);
  ClientToScreen(hwnd, &bottomRight);
  const RECT screen{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  return common::PixelMapping::Of(screen, limits_.xMin, limits_.xMax, limits_.yMin, limits_.yMax);
}

HRESULT GraphicsContainer::ScreenToLogical(LONG lx, LONG ly, double* px, double* py, VARIANT_BOOL* pbResult) {
  if (!px || !py || !pbResult) return E_POINTER;
  const std::optional<common::PixelMapping> mapping = ScreenMapping();
  if (!mapping) {
    *pbResult = VARIANT_FALSE;
    return S_OK;
  }
  *px = mapping->LogicalX(lx);
  *py = mapping->LogicalY(ly);
  *pbResult = VARIANT_TRUE;
  return S_OK;
}

HRESULT GraphicsContainer::LogicalToScreen(double x, double y, LONG* px, LONG* py, VARIANT_BOOL* pbResult) {
  if (!px || !py || !pbResult) return E_POINTER;
  const std::optional<common::PixelMapping> mapping = ScreenMapping();
  if (!mapping) {
    *pbResult = VARIANT_FALSE;
    return S_OK;
  }
  *px = mapping->X(x);
  *py = mapping->Y(y);
  *pbResult = VARIANT_TRUE;
  return S_OK;
}

}  // namespace kelmira::container
