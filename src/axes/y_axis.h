// YAxis: the vertical scale left of a plot, or, LeftAligned, right of it, where it shows the
// container's right-Y limits when the container has layers drawn against them. It never raises
// OnLoadCustomLabels and never clears RangeChanged.
#pragma once

#include "axes/axis_control.h"

namespace kelmira::axes {

class YAxis : public AxisControl<YAxis, IYAxis> {
 public:
  static const CLSID& GetObjectCLSID() { return CLSID_YAxis; }
  static constexpr const char* kWindowClassName = "KelmiraYAxis";

  YAxis() {
    fields_.precision = 0;
    fields_.tickLength = 3;
    fields_.margin = 0;
  }

  BEGIN_PROP_MAP(YAxis)
    KELMIRA_AXIS_PROP_ENTRIES
    PROP_ENTRY("LeftAligned", 100, CLSID_NULL)
  END_PROP_MAP()

  HRESULT STDMETHODCALLTYPE get_LeftAligned(VARIANT_BOOL* p) override { return GetAligned(p); }
  HRESULT STDMETHODCALLTYPE put_LeftAligned(VARIANT_BOOL v) override { return PutAligned(v); }

  HRESULT OnDraw(HDC hdc, const RECT& bounds) override;
};

}  // namespace kelmira::axes
