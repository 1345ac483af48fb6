// The dispatch tests' own type library: declarations from test_interface.def, the objects that
// implement it with DispatchImpl, and helpers to build Invoke calls.
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/dispatch_impl.h>

#include <algorithm>
#include <string>
#include <vector>

#define KM_DEF_FILE "platform_dispatch/test_interface.def"
#define KM_DEF_DECLARATIONS
#include <kelmira/platform/dispatch_def.inc>

// The test library's tables, registered with the platform on first use.
const kelmira::TypeLibraryInfo& TestLibrary();

inline std::u16string Text(BSTR text) { return text ? std::u16string(text, SysStringLen(text)) : std::u16string(); }

class Peer : public kelmira::DispatchImpl<ITestPeer> {
 public:
  using Interfaces = kelmira::InterfaceTable<ITestPeer, kelmira::Via<IDispatch, ITestPeer>>;
  HRESULT STDMETHODCALLTYPE get_Id(LONG* pVal) override { return *pVal = id, S_OK; }
  LONG id = 0;
};

class Stranger : public kelmira::DispatchImpl<ITestStranger> {
 public:
  using Interfaces = kelmira::InterfaceTable<ITestStranger, kelmira::Via<IDispatch, ITestStranger>>;
  HRESULT STDMETHODCALLTYPE Nothing() override { return S_OK; }
};

class Hidden : public kelmira::DispatchImpl<ITestHidden> {
 public:
  using Interfaces = kelmira::InterfaceTable<ITestHidden, kelmira::Via<IDispatch, ITestHidden>>;
  HRESULT STDMETHODCALLTYPE Ping(LONG* pVal) override { return *pVal = 99, S_OK; }
};

// Records what each member received.
class Thing : public kelmira::DispatchImpl<ITestThing> {
 public:
  using Interfaces =
      kelmira::InterfaceTable<ITestThing, kelmira::Via<ITestBase, ITestThing>, kelmira::Via<IDispatch, ITestThing>>;

  HRESULT STDMETHODCALLTYPE get_Value(LONG* pVal) override { return *pVal = value, S_OK; }
  HRESULT STDMETHODCALLTYPE put_Value(LONG newVal) override { return value = newVal, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Peer(ITestPeer** ppPeer) override { return peer.CopyTo(ppPeer); }
  HRESULT STDMETHODCALLTYPE putref_Peer(ITestPeer* pPeer) override { return ++putrefCalls, peer = pPeer, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Item(LONG index, double* pVal) override {
    return index < 0 || index >= 4 ? E_INVALIDARG : (*pVal = items[index], S_OK);
  }
  HRESULT STDMETHODCALLTYPE put_Item(LONG index, double newVal) override {
    return index < 0 || index >= 4 ? E_INVALIDARG : (items[index] = newVal, S_OK);
  }
  HRESULT STDMETHODCALLTYPE put_Label(BSTR newVal) override { return label = Text(newVal), S_OK; }
  HRESULT STDMETHODCALLTYPE Divide(double a, double b, double* pResult) override {
    return b == 0 ? DISP_E_DIVBYZERO : (*pResult = a / b, S_OK);
  }
  HRESULT STDMETHODCALLTYPE MinMax(double* pMin, double* pMax, VARIANT_BOOL* pbResult) override {
    *pMin = *std::min_element(std::begin(items), std::end(items));
    *pMax = *std::max_element(std::begin(items), std::end(items));
    return *pbResult = VARIANT_TRUE, S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scale(double factor, LONG steps, eTestShape shape_) override {
    scaleFactor = factor, scaleSteps = steps, scaleShape = shape_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Fail(LONG code) override { return code; }
  HRESULT STDMETHODCALLTYPE Connect(ITestPeer* pPeer, VARIANT_BOOL* pbResult) override {
    connected = pPeer;
    return *pbResult = pPeer ? VARIANT_TRUE : VARIANT_FALSE, S_OK;
  }
  HRESULT STDMETHODCALLTYPE Place(TestPoint pt) override {
    point = pt, pointLabel = Text(pt.label);
    return point.label = nullptr, S_OK;  // borrowed for the call only
  }
  HRESULT STDMETHODCALLTYPE get_Samples(float** ppData) override { return *ppData = samples, S_OK; }
  HRESULT STDMETHODCALLTYPE Describe(VARIANT v, BSTR* pText) override {
    VARIANT text{};
    const HRESULT hr = VariantChangeType(&text, &v, 0, VT_BSTR);
    return FAILED(hr) ? hr : (*pText = text.bstrVal, S_OK);
  }
  HRESULT STDMETHODCALLTYPE get_Shape(eTestShape* pVal) override { return *pVal = shape, S_OK; }
  HRESULT STDMETHODCALLTYPE Probe(VARIANT vOptional, LONG* pType) override {
    return *pType = vOptional.vt == VT_ERROR ? -vOptional.scode : vOptional.vt, S_OK;
  }
  HRESULT STDMETHODCALLTYPE Bytes(BYTE** ppData) override { return *ppData = bytes, S_OK; }
  HRESULT STDMETHODCALLTYPE Greet(BSTR name, LONG count, BSTR* pText) override {
    std::u16string text;
    for (LONG i = 0; i < count; ++i) text += u"hello " + Text(name) + u";";
    *pText = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *pText ? S_OK : E_OUTOFMEMORY;
  }

  LONG value = 0;
  kelmira::ComPtr<ITestPeer> peer;
  kelmira::ComPtr<ITestPeer> connected;
  int putrefCalls = 0;
  double items[4] = {1.0, -2.0, 8.5, 3.0};
  std::u16string label;
  double scaleFactor = 0;
  LONG scaleSteps = 0;
  eTestShape scaleShape = kShapeNone;
  TestPoint point{};
  std::u16string pointLabel;
  float samples[3] = {0.5f, 1.5f, 2.5f};
  BYTE bytes[2] = {7, 9};
  eTestShape shape = kShapeSquare;
};

// An Invoke call's arguments, written in parameter order; rgvarg is built reversed. Owned
// values are cleared with the Args.
class Args {
 public:
  Args() = default;
  Args(const Args&) = delete;
  Args& operator=(const Args&) = delete;
  ~Args() {
    for (Arg& a : args_)
      if (a.owned) VariantClear(&a.value);
  }

  Args& I4(LONG v) {
    return Add(VT_I4, [&](VARIANT& x) { x.lVal = v; });
  }
  Args& R8(double v) {
    return Add(VT_R8, [&](VARIANT& x) { x.dblVal = v; });
  }
  Args& Str(const char16_t* text) {
    return Add(VT_BSTR, [&](VARIANT& x) { x.bstrVal = SysAllocString(text); });
  }
  Args& Missing() {
    return Add(VT_ERROR, [](VARIANT& x) { x.scode = DISP_E_PARAMNOTFOUND; });
  }
  Args& Empty() {
    return Add(VT_EMPTY, [](VARIANT&) {});
  }
  // VT_DISPATCH or VT_UNKNOWN, AddRef'd.
  Args& Object(IUnknown* object, VARTYPE vt) {
    if (object) object->AddRef();
    return Add(vt, [&](VARIANT& x) { x.punkVal = object; });
  }
  Args& Ref(VARTYPE vt, void* target) {
    return Add(
        VT_BYREF | vt, [&](VARIANT& x) { x.byref = target; }, false);
  }
  Args& Raw(const VARIANT& v) { return args_.push_back({v, false}), *this; }  // not freed
  // The argument added last becomes named.
  Args& Named(DISPID id) { return args_.back().named = true, args_.back().id = id, *this; }

  DISPPARAMS* Params() {
    rgvarg_.clear();
    names_.clear();
    for (const Arg& a : args_)
      if (a.named) rgvarg_.push_back(a.value), names_.push_back(a.id);
    for (auto it = args_.rbegin(); it != args_.rend(); ++it)
      if (!it->named) rgvarg_.push_back(it->value);
    params_ = {rgvarg_.empty() ? nullptr : rgvarg_.data(), names_.empty() ? nullptr : names_.data(),
               static_cast<UINT>(rgvarg_.size()), static_cast<UINT>(names_.size())};
    return &params_;
  }

 private:
  template <class Set>
  Args& Add(VARTYPE vt, Set set, bool owned = true) {
    VARIANT x{};
    x.vt = vt;
    set(x);
    args_.push_back({x, owned});
    return *this;
  }
  struct Arg {
    VARIANT value;
    bool owned;
    bool named = false;
    DISPID id = 0;
  };
  std::vector<Arg> args_;
  std::vector<VARIANT> rgvarg_;
  std::vector<DISPID> names_;
  DISPPARAMS params_{};
};

// A new Thing / Peer / Stranger through Object<T>::Make.
template <class T>
kelmira::ComPtr<kelmira::Object<T>> Make() {
  TestLibrary();
  kelmira::ComPtr<kelmira::Object<T>> object;
  kelmira::Object<T>::Make(&object);
  return object;
}

inline ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}
