// Both data classes as components: creation by ProgID, aggregation, and late binding.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

#include <unistd.h>

using kelmira::ComPtr;
using kelmira::Variant;

namespace {

// An outer object that aggregates one inner object and answers IUnknown itself.
class Outer final : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown)) {
      *ppv = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }

  ComPtr<IUnknown> inner;
  std::atomic<ULONG> refs{1};
};

template <class I>
void ExpectAggregates(REFCLSID clsid, REFIID iid) {
  Outer outer;
  ASSERT_EQ(CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&outer.inner)),
            S_OK);
  I* viaOuter = nullptr;
  ASSERT_EQ(outer.QueryInterface(iid, reinterpret_cast<void**>(&viaOuter)), S_OK);
  EXPECT_EQ(outer.refs, 2u);  // the inner interface counts on the outer object
  IUnknown* identity = nullptr;
  ASSERT_EQ(viaOuter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  identity->Release();
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(viaOuter->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  dispatch->Release();
  viaOuter->Release();
  EXPECT_EQ(outer.refs, 1u);
  // An aggregated object refuses any interface but IUnknown at creation.
  void* p = nullptr;
  EXPECT_EQ(CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, iid, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(p, nullptr);
}

DISPID IdOf(IDispatch* d, const char16_t* name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  return id;
}

// Invokes by name; args in parameter order (reversed here into rgvarg).
HRESULT InvokeByName(IDispatch* d, const char16_t* name, WORD flags, std::initializer_list<VARIANT> args,
                     VARIANT* result) {
  VARIANT rgvarg[4];
  UINT n = 0;
  for (const VARIANT& a : args) rgvarg[args.size() - 1 - n++] = a;
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{rgvarg, nullptr, n, 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  return d->Invoke(IdOf(d, name), IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

VARIANT I4(LONG v) {
  VARIANT x;
  VariantInit(&x);
  x.vt = VT_I4;
  x.lVal = v;
  return x;
}
VARIANT R8(double v) {
  VARIANT x;
  VariantInit(&x);
  x.vt = VT_R8;
  x.dblVal = v;
  return x;
}
VARIANT Ref(VARTYPE vt, void* p) {
  VARIANT x;
  VariantInit(&x);
  x.vt = static_cast<VARTYPE>(VT_BYREF | vt);
  x.byref = p;
  return x;
}

}  // namespace

TEST(DataComTest, CreatableByProgId) {
  // Register into a file of our own when no test harness named one.
  std::string scratch;
  if (!std::getenv("KELMIRA_REGISTRY")) {
    scratch = "/tmp/kelmira-data-test-" + std::to_string(getpid()) + ".registry";
    setenv("KELMIRA_REGISTRY", scratch.c_str(), 1);
    KelmiraRegistryReload();
  }
  ASSERT_EQ(DllRegisterServer(), S_OK);
  for (auto [progId, expected, iid] : {std::tuple{u"Kelmira.LineData", &CLSID_LineData, &IID_ILineData},
                                       {u"Kelmira.LineData.1", &CLSID_LineData, &IID_ILineData},
                                       {u"Kelmira.MatrixData", &CLSID_MatrixData, &IID_IMatrixData}}) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    EXPECT_EQ(clsid, *expected);
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, *iid, reinterpret_cast<void**>(&object)), S_OK);
    EXPECT_TRUE(object);
  }
  EXPECT_EQ(DllUnregisterServer(), S_OK);
  if (!scratch.empty()) {
    std::remove(scratch.c_str());
    unsetenv("KELMIRA_REGISTRY");
    KelmiraRegistryReload();
  }
}

TEST(DataComTest, BothClassesAggregate) {
  ExpectAggregates<ILineData>(CLSID_LineData, IID_ILineData);
  ExpectAggregates<IMatrixData>(CLSID_MatrixData, IID_IMatrixData);

  // The aggregated object works like a plain one, and dies with its inner reference.
  Outer outer;
  ASSERT_EQ(CoCreateInstance(CLSID_LineData, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&outer.inner)),
            S_OK);
  ILineData* data = nullptr;
  ASSERT_EQ(outer.QueryInterface(IID_ILineData, reinterpret_cast<void**>(&data)), S_OK);
  EXPECT_EQ(data->put_Size(2), S_OK);
  EXPECT_EQ(data->put_Data(1, 3.0), S_OK);
  double v = 0;
  EXPECT_EQ(data->get_Data(1, &v), S_OK);
  EXPECT_EQ(v, 3.0);
  data->Release();
  outer.inner.Reset();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(DataComTest, LineDataByName) {
  ComPtr<IDispatch> d;
  ASSERT_EQ(CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&d)),
            S_OK);
  Variant result;
  EXPECT_EQ(InvokeByName(d.get(), u"size", DISPATCH_PROPERTYPUT, {I4(3)}, nullptr), S_OK);
  EXPECT_EQ(InvokeByName(d.get(), u"Size", DISPATCH_PROPERTYGET, {}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 3);

  EXPECT_EQ(InvokeByName(d.get(), u"Data", DISPATCH_PROPERTYPUT, {I4(1), R8(0.1)}, nullptr), S_OK);
  result.Clear();
  EXPECT_EQ(InvokeByName(d.get(), u"DataY", DISPATCH_PROPERTYGET, {I4(1)}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_R8);
  EXPECT_EQ(result.dblVal, static_cast<double>(0.1f));
  EXPECT_EQ(InvokeByName(d.get(), u"Data", DISPATCH_PROPERTYPUT, {I4(0), R8(-4.0)}, nullptr), S_OK);

  // A refused index comes back as the member's own error.
  result.Clear();
  EXPECT_EQ(InvokeByName(d.get(), u"Data", DISPATCH_PROPERTYGET, {I4(3)}, &result), E_INVALIDARG);

  double lo = 0, hi = 0;
  result.Clear();
  EXPECT_EQ(InvokeByName(d.get(), u"GetMinMaxY", DISPATCH_METHOD, {Ref(VT_R8, &lo), Ref(VT_R8, &hi)}, &result),
            S_OK);
  EXPECT_EQ(result.vt, VT_BOOL);
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);
  EXPECT_EQ(lo, -4.0);
  EXPECT_EQ(hi, static_cast<double>(0.1f));
}

TEST(DataComTest, MatrixDataByName) {
  ComPtr<IDispatch> d;
  ASSERT_EQ(CoCreateInstance(CLSID_MatrixData, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&d)),
            S_OK);
  Variant result;
  EXPECT_EQ(InvokeByName(d.get(), u"SetSize", DISPATCH_METHOD, {I4(2), I4(3)}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_BOOL);
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);
  result.Clear();
  EXPECT_EQ(InvokeByName(d.get(), u"SetSize", DISPATCH_METHOD, {I4(-2), I4(3)}, &result), S_OK);
  EXPECT_EQ(result.boolVal, VARIANT_FALSE);
  result.Clear();
  EXPECT_EQ(InvokeByName(d.get(), u"Columns", DISPATCH_PROPERTYGET, {}, &result), S_OK);
  EXPECT_EQ(result.lVal, 3);
  EXPECT_EQ(InvokeByName(d.get(), u"Data", DISPATCH_PROPERTYPUT, {I4(1), I4(2), R8(0.1)}, nullptr), S_OK);
  result.Clear();
  EXPECT_EQ(InvokeByName(d.get(), u"Data", DISPATCH_PROPERTYGET, {I4(1), I4(2)}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_R4);
  EXPECT_EQ(result.fltVal, 0.1f);
}
