#include "axes/y_axis.h"

namespace kelmira::axes {

HRESULT YAxis::OnDraw(HDC hdc, const RECT& bounds) {
  AxisScale scale;
  const HRESULT hr = Resolve(AxisKind::Y, &scale);
  if (FAILED(hr)) return hr;
  const ComPtr<ITickLabelList> labels = fields_.labels;
  const ComPtr<IFontDisp> font = fields_.font;
  return DrawYAxis(hdc, bounds, scale, Look(), labels.get());
}

}  // namespace kelmira::axes
