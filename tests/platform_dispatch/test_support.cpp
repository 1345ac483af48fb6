// The test objects and the Invoke helpers.
#include "platform_dispatch/test_interface.h"

#include <algorithm>

using kelmira::ComPtr;

HRESULT Thing::get_Value(LONG* pVal) {
  *pVal = value;
  return S_OK;
}
HRESULT Thing::put_Value(LONG newVal) {
  value = newVal;
  return S_OK;
}
HRESULT Thing::get_Peer(ITestPeer** ppPeer) { return peer.CopyTo(ppPeer); }
HRESULT Thing::putref_Peer(ITestPeer* pPeer) {
  ++putrefCalls;
  peer = pPeer;
  return S_OK;
}
HRESULT Thing::get_Item(LONG index, double* pVal) {
  if (index < 0 || index >= 4) return E_INVALIDARG;
  *pVal = items[index];
  return S_OK;
}
HRESULT Thing::put_Item(LONG index, double newVal) {
  if (index < 0 || index >= 4) return E_INVALIDARG;
  items[index] = newVal;
  return S_OK;
}
HRESULT Thing::put_Label(BSTR newVal) {
  label = newVal ? newVal : u"";
  return S_OK;
}
HRESULT Thing::Divide(double a, double b, double* pResult) {
  if (b == 0) return DISP_E_DIVBYZERO;
  *pResult = a / b;
  return S_OK;
}
HRESULT Thing::MinMax(double* pMin, double* pMax, VARIANT_BOOL* pbResult) {
  *pMin = *std::min_element(std::begin(items), std::end(items));
  *pMax = *std::max_element(std::begin(items), std::end(items));
  *pbResult = VARIANT_TRUE;
  return S_OK;
}
HRESULT Thing::Scale(double factor, LONG steps, eTestShape shape_) {
  scaleFactor = factor;
  scaleSteps = steps;
  scaleShape = shape_;
  return S_OK;
}
HRESULT Thing::Fail(LONG code) { return code; }
HRESULT Thing::Connect(ITestPeer* pPeer, VARIANT_BOOL* pbResult) {
  connected = pPeer;
  *pbResult = pPeer ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
HRESULT Thing::Place(TestPoint pt) {
  point = pt;
  pointLabel = pt.label ? pt.label : u"";
  point.label = nullptr;  // borrowed for the call only
  return S_OK;
}
HRESULT Thing::get_Samples(float** ppData) {
  *ppData = samples;
  return S_OK;
}
HRESULT Thing::Describe(VARIANT v, BSTR* pText) {
  kelmira::Variant text;
  HRESULT hr = VariantChangeType(&text, &v, 0, VT_BSTR);
  if (FAILED(hr)) return hr;
  *pText = std::exchange(text.bstrVal, nullptr);
  text.vt = VT_EMPTY;
  return S_OK;
}
HRESULT Thing::get_Shape(eTestShape* pVal) {
  *pVal = shape;
  return S_OK;
}
HRESULT Thing::Probe(VARIANT vOptional, LONG* pType) {
  *pType = vOptional.vt == VT_ERROR ? -vOptional.scode : vOptional.vt;
  return S_OK;
}
HRESULT Thing::Bytes(BYTE** ppData) {
  *ppData = bytes;
  return S_OK;
}
HRESULT Thing::Greet(BSTR name, LONG count, BSTR* pText) {
  std::u16string text;
  for (LONG i = 0; i < count; ++i) text += u"hello " + std::u16string(name ? name : u"") + u";";
  *pText = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *pText ? S_OK : E_OUTOFMEMORY;
}

Args::~Args() {
  for (Arg& a : args_)
    if (a.owned) VariantClear(&a.value);
}

Args& Args::Add(const VARIANT& v, bool owned) {
  args_.push_back({v, owned, false, 0});
  return *this;
}

Args& Args::I4(LONG v) {
  VARIANT x{};
  x.vt = VT_I4;
  x.lVal = v;
  return Add(x, true);
}

Args& Args::R8(double v) {
  VARIANT x{};
  x.vt = VT_R8;
  x.dblVal = v;
  return Add(x, true);
}

Args& Args::Str(const char16_t* text) {
  VARIANT x{};
  x.vt = VT_BSTR;
  x.bstrVal = SysAllocString(text);
  return Add(x, true);
}

Args& Args::Missing() {
  VARIANT x{};
  x.vt = VT_ERROR;
  x.scode = DISP_E_PARAMNOTFOUND;
  return Add(x, true);
}

Args& Args::Empty() { return Add(VARIANT{}, true); }

Args& Args::Object(IUnknown* object, VARTYPE vt) {
  VARIANT x{};
  x.vt = vt;
  x.punkVal = object;
  if (object) object->AddRef();
  return Add(x, true);
}

Args& Args::Ref(VARTYPE vt, void* target) {
  VARIANT x{};
  x.vt = VT_BYREF | vt;
  x.byref = target;
  return Add(x, false);
}

Args& Args::Raw(const VARIANT& v) { return Add(v, false); }

Args& Args::Named(DISPID id) {
  args_.back().named = true;
  args_.back().id = id;
  return *this;
}

DISPPARAMS* Args::Params() {
  rgvarg_.clear();
  names_.clear();
  for (const Arg& a : args_)
    if (a.named) {
      rgvarg_.push_back(a.value);
      names_.push_back(a.id);
    }
  for (auto it = args_.rbegin(); it != args_.rend(); ++it)
    if (!it->named) rgvarg_.push_back(it->value);
  params_.rgvarg = rgvarg_.empty() ? nullptr : rgvarg_.data();
  params_.cArgs = static_cast<UINT>(rgvarg_.size());
  params_.rgdispidNamedArgs = names_.empty() ? nullptr : names_.data();
  params_.cNamedArgs = static_cast<UINT>(names_.size());
  return &params_;
}

CallResult::~CallResult() {
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
}

void Call(IDispatch* target, DISPID id, WORD flags, Args& args, CallResult& out, bool withExcepInfo) {
  out.hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, args.Params(), &out.result,
                          withExcepInfo ? &out.excep : nullptr, &out.argErr);
}

DISPID IdOf(IDispatch* target, const char16_t* name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

template <class T>
static ComPtr<kelmira::Object<T>> Make() {
  TestLibrary();
  ComPtr<kelmira::Object<T>> object;
  kelmira::Object<T>::Make(&object);
  return object;
}

ComPtr<kelmira::Object<Thing>> MakeThing() { return Make<Thing>(); }
ComPtr<kelmira::Object<Peer>> MakePeer(LONG id) {
  auto peer = Make<Peer>();
  peer->id = id;
  return peer;
}
ComPtr<kelmira::Object<Stranger>> MakeStranger() { return Make<Stranger>(); }

std::u16string Text(BSTR text) { return text ? std::u16string(text, SysStringLen(text)) : std::u16string(); }

ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}
