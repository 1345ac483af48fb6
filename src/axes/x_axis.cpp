#include "axes/x_axis.h"

namespace kelmira::axes {
namespace {

constexpr DISPID kOnLoadCustomLabels = 3;

}  // namespace

HRESULT XAxis::OnDraw(HDC hdc, const RECT& bounds) {
  AxisScale scale;
  HRESULT hr = Resolve(AxisKind::X, &scale);
  if (FAILED(hr)) return hr;
  if (scale.dateMode) dates_ = ComputeDateFlags(scale.start, scale.end, scale.step);
  if (fields_.rangeChanged) {
    // A sink may put TickLabels or other properties; their RangeChanged is cleared with this one.
    FireEvent(ConnectionPointFor(DIID_IAxisEvents), kOnLoadCustomLabels,
              static_cast<IDispatch*>(static_cast<IXAxis*>(this)), scale.start, scale.step, scale.end);
    fields_.rangeChanged = false;
  }
  // Held for the drawing: a sink or a label list could otherwise drop the last references.
  const ComPtr<ITickLabelList> labels = fields_.labels;
  const ComPtr<IFontDisp> font = fields_.font;
  return DrawXAxis(hdc, bounds, scale, dates_, Look(dateFormat_), labels.get());
}

}  // namespace kelmira::axes
