// The view members of IGraphicsContainer: limits, extents, right-Y limits, minimum zoom sizes and
// the conversions between screen points and logical coordinates.
#include "container/graphics_container.h"
#include "module/stored_property.h"

#include <cmath>

namespace kelmira::container {

HRESULT GraphicsContainer::ApplyLimits(const Limits& requested, const Limits& extents) {
  if (!IsFinite(requested)) return E_INVALIDARG;
  const Limits validated = ValidateLimits(requested, extents, minZoomX_, minZoomY_);
  if (!IsFinite(validated)) return E_INVALIDARG;
  extents_ = extents;
  limits_ = validated;
  FireOnViewChanged();
  return S_OK;
}

HRESULT GraphicsContainer::SetLimits(double XMin, double xmax, double YMin, double ymax) {
  return ApplyLimits(Limits{XMin, xmax, YMin, ymax}, extents_);
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
  // Stored unchecked, then the view becomes the whole extents; both change together or not at all.
  const Limits extents{XMin, xmax, YMin, ymax};
  return ApplyLimits(extents, extents);
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
  if (!std::isfinite(YMin) || !std::isfinite(ymax)) return E_INVALIDARG;
  const double top = YMin < ymax ? ymax : YMin + 1.0;
  if (!std::isfinite(top)) return E_INVALIDARG;
  rightYMin_ = YMin;
  rightYMax_ = top;
  return S_OK;
}

HRESULT GraphicsContainer::GetRightYLimits(double* YMin, double* ymax) {
  if (!YMin || !ymax) return E_POINTER;
  *YMin = rightYMin_;
  *ymax = rightYMax_;
  return S_OK;
}

HRESULT GraphicsContainer::get_MinZoomX(double* pVal) { return GetStored(minZoomX_, pVal); }

HRESULT GraphicsContainer::put_MinZoomX(double newVal) { return PutStored(minZoomX_, newVal); }

HRESULT GraphicsContainer::get_MinZoomY(double* pVal) { return GetStored(minZoomY_, pVal); }

HRESULT GraphicsContainer::put_MinZoomY(double newVal) { return PutStored(minZoomY_, newVal); }

HRESULT GraphicsContainer::get_AllowYZoom(VARIANT_BOOL* pVal) { return GetStored(allowYZoom_, pVal); }

HRESULT GraphicsContainer::put_AllowYZoom(VARIANT_BOOL newVal) { return PutStored(allowYZoom_, newVal); }

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

bool GraphicsContainer::ScreenClientRect(RECT& rect) const {
  HWND hwnd = ControlWindow();
  if (!hwnd || !IsWindow(hwnd)) return false;
  RECT client{};
  if (!GetClientRect(hwnd, &client)) return false;
  POINT topLeft{client.left, client.top};
  POINT bottomRight{client.right, client.bottom};
  ClientToScreen(hwnd, &topLeft);
  ClientToScreen(hwnd, &bottomRight);
  rect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  return true;
}

bool GraphicsContainer::ScreenPointToLogical(LONG sx, LONG sy, double& x, double& y) const {
  RECT r{};
  if (!ScreenClientRect(r)) return false;
  const double xScale = AxisScale(r.right - r.left, limits_.xMin, limits_.xMax);
  const double yScale = AxisScale(r.bottom - r.top, limits_.yMin, limits_.yMax);
  x = LogicalFromOffset(static_cast<double>(sx) - r.left, xScale, limits_.xMin);
  y = LogicalFromOffset(static_cast<double>(r.bottom) - sy - 1, yScale, limits_.yMin);
  return true;
}

HRESULT GraphicsContainer::ScreenToLogical(LONG lx, LONG ly, double* px, double* py, VARIANT_BOOL* pbResult) {
  if (!px || !py || !pbResult) return E_POINTER;
  double x = 0.0;
  double y = 0.0;
  if (!ScreenPointToLogical(lx, ly, x, y)) {
    *pbResult = VARIANT_FALSE;
    return S_OK;
  }
  *px = x;
  *py = y;
  *pbResult = VARIANT_TRUE;
  return S_OK;
}

HRESULT GraphicsContainer::LogicalToScreen(double x, double y, LONG* px, LONG* py, VARIANT_BOOL* pbResult) {
  if (!px || !py || !pbResult) return E_POINTER;
  if (std::isnan(x) || std::isnan(y)) return E_INVALIDARG;
  RECT r{};
  if (!ScreenClientRect(r)) {
    *pbResult = VARIANT_FALSE;
    return S_OK;
  }
  const double xScale = AxisScale(r.right - r.left, limits_.xMin, limits_.xMax);
  const double yScale = AxisScale(r.bottom - r.top, limits_.yMin, limits_.yMax);
  *px = TruncateToPixel((x - limits_.xMin) * xScale + r.left);
  *py = TruncateToPixel((static_cast<double>(r.bottom) - 1) - (y - limits_.yMin) * yScale);
  *pbResult = VARIANT_TRUE;
  return S_OK;
}

}  // namespace kelmira::container
