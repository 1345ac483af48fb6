// The arguments of an IDispatch::Invoke call, written in parameter order.
#pragma once

#include <kelmira/platform.h>

#include <vector>

namespace kelmira::test {

// Params() lays them out as Invoke takes them: the named ones first, then the positional ones
// last to first. Copyable, so that a table row can hold one; the values are freed with it.
class Args {
 public:
  Args& I4(LONG v) { return Add(VT_I4).lVal = v, *this; }
  Args& R8(double v) { return Add(VT_R8).dblVal = v, *this; }
  Args& Str(const char16_t* text) { return Add(VT_BSTR).bstrVal = SysAllocString(text), *this; }
  Args& Missing() { return Add(VT_ERROR).scode = DISP_E_PARAMNOTFOUND, *this; }
  Args& Empty() { return Add(VT_EMPTY), *this; }
  // vt is VT_DISPATCH or VT_UNKNOWN; the object may be null.
  Args& Object(IUnknown* object, VARTYPE vt) { return object && object->AddRef(), Add(vt).punkVal = object, *this; }
  Args& Ref(VARTYPE vt, void* target) { return Add(VT_BYREF | vt).byref = target, *this; }
  Args& Copy(const VARIANT& v) { return VariantCopy(&Add(VT_EMPTY), &v), *this; }
  // The argument added last becomes named; As Named(DISPID_PROPERTYPUT) is the value of a put.
  Args& Named(DISPID id) { return names_.back() = id, *this; }
  Args& AsPut() { return Named(DISPID_PROPERTYPUT); }

  DISPPARAMS* Params() {
    rgvarg_.clear(), ids_.clear();
    for (std::size_t i = 0; i < values_.size(); ++i)
      if (names_[i] != DISPID_UNKNOWN) rgvarg_.push_back(values_[i]), ids_.push_back(names_[i]);
    for (std::size_t i = values_.size(); i-- > 0;)
      if (names_[i] == DISPID_UNKNOWN) rgvarg_.push_back(values_[i]);
    params_ = {rgvarg_.data(), ids_.data(), static_cast<UINT>(rgvarg_.size()), static_cast<UINT>(ids_.size())};
    return &params_;
  }

 private:
  Variant& Add(VARTYPE vt) {
    names_.push_back(DISPID_UNKNOWN);  // positional
    return values_.emplace_back().vt = vt, values_.back();
  }
  std::vector<Variant> values_;
  std::vector<DISPID> names_;
  std::vector<VARIANT> rgvarg_;
  std::vector<DISPID> ids_;
  DISPPARAMS params_{};
};

}  // namespace kelmira::test
