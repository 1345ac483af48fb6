// The composite control's picture when it is not active in place (a design view, a print): a
// grey box with a black outline and the words "ATL Composite Control" in the middle.
#include <kelmira/platform/control_base.h>

namespace kelmira {

HRESULT CompositeControlImpl::OnDraw(HDC hdc, const RECT& bounds) {
  if (InPlaceActive()) return S_OK;  // the dialog window paints itself
  HGDIOBJ oldPen = ::SelectObject(hdc, ::GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = ::SelectObject(hdc, ::GetStockObject(GRAY_BRUSH));
  ::Rectangle(hdc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  const COLORREF oldText = ::SetTextColor(hdc, ::GetSysColor(COLOR_WINDOWTEXT));
  const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
  RECT text = bounds;
  ::DrawTextA(hdc, "ATL Composite Control", -1, &text, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  ::SetBkMode(hdc, oldMode);
  ::SetTextColor(hdc, oldText);
  if (oldBrush) ::SelectObject(hdc, oldBrush);
  if (oldPen) ::SelectObject(hdc, oldPen);
  return S_OK;
}

}  // namespace kelmira
