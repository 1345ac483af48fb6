// XAxis: the horizontal scale under (or, BottomAligned, over) a plot, with numeric, date or host
// labels. It raises OnLoadCustomLabels inside the first drawing after its range changed, before
// anything is drawn, so that a host can hand it label texts for that very drawing.
#pragma once

#include "axes/axis_control.h"

namespace kelmira::axes {

class XAxis : public AxisControl<XAxis, IXAxis> {
 public:
  static const CLSID& GetObjectCLSID() { return CLSID_XAxis; }
  static constexpr const char* kWindowClassName = "KelmiraXAxis";

  BEGIN_PROP_MAP(XAxis)
    KELMIRA_AXIS_PROP_ENTRIES
    PROP_ENTRY("BottomAligned", 100, CLSID_NULL)
  END_PROP_MAP()

  HRESULT STDMETHODCALLTYPE get_BottomAligned(VARIANT_BOOL* p) override { return GetAligned(p); }
  HRESULT STDMETHODCALLTYPE put_BottomAligned(VARIANT_BOOL v) override { return PutAligned(v); }
  HRESULT STDMETHODCALLTYPE get_DateLabelFormat(LONG* p) override { return common::GetStored(dateFormat_, p); }
  HRESULT STDMETHODCALLTYPE put_DateLabelFormat(LONG v) override { return PutA(dateFormat_, v); }

  HRESULT OnDraw(HDC hdc, const RECT& bounds) override;

 private:
  LONG dateFormat_ = 0;
  DateFlags dates_;  // kept from the last drawing in date mode
};

}  // namespace kelmira::axes
