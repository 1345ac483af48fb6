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
  // vt is VT_DISPATCH or VT_UNKNOWN.
  Args& Object(IUnknown* object, VARTYPE vt) {
    if (object) object->AddRef();
    return Add(vt).punkVal = object, *this;
  }
  Args& Ref(VARTYPE vt, void* target) { return Add(VT_BYREF | vt).byref = target, *this; }
  Args& Copy(const VARIANT& v) { return VariantCopy(&Add(VT_EMPTY), &v), *this; }
  // The argument added last becomes named.
  Args& Named(DISPID id) { return args_.back().named = true, args_.back().id = id, *this; }
  // As Named(DISPID_PROPERTYPUT): the value of a put.
  Args& AsPut() { return Named(DISPID_PROPERTYPUT); }

  DISPPARAMS* Params() {
    rgvarg_.clear();
    ids_.clear();
    for (const Arg& a : args_)
      if (a.named) rgvarg_.push_back(a.value), ids_.push_back(a.id);
    for (auto a = args_.rbegin(); a != args_.rend(); ++a)
      if (!a->named) rgvarg_.push_back(a->value);
    params_ = {rgvarg_.empty() ? nullptr : rgvarg_.data(), ids_.empty() ? nullptr : ids_.data(),
               static_cast<UINT>(rgvarg_.size()), static_cast<UINT>(ids_.size())};
    return &params_;
  }

 private:
  struct Arg {
    Variant value;
    bool named = false;
    DISPID id = 0;
  };
  Variant& Add(VARTYPE vt) {
    args_.emplace_back().value.vt = vt;
    return args_.back().value;
  }
  std::vector<Arg> args_;
  std::vector<VARIANT> rgvarg_;
  std::vector<DISPID> ids_;
  DISPPARAMS params_{};
};

}  // namespace kelmira::test
