// Both data classes as components: creation by ProgID, aggregation, and calls by name.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

using kelmira::ComPtr;

namespace {

// Aggregates one inner object and answers IUnknown itself; counts its references.
struct Outer final : IUnknown {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!IsEqualIID(riid, IID_IUnknown)) return inner->QueryInterface(riid, ppv);
    *ppv = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  ComPtr<IUnknown> inner;
  ULONG refs = 1;
};

VARIANT Num(double v) {
  VARIANT x{};
  x.vt = VT_R8;
  x.dblVal = v;
  return x;
}

// Calls a member by name; args in parameter order. Puts pass the last as the named value.
HRESULT Call(IDispatch* d, const char16_t* name, WORD flags, std::initializer_list<VARIANT> args,
             kelmira::Variant* result = nullptr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN, putId = DISPID_PROPERTYPUT;
  if (HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); FAILED(hr)) return hr;
  VARIANT reversed[4];
  UINT n = 0;
  for (const VARIANT& a : args) reversed[args.size() - 1 - n++] = a;
  const bool put = flags == DISPATCH_PROPERTYPUT;
  DISPPARAMS params{reversed, put ? &putId : nullptr, n, put ? 1u : 0u};
  if (result) result->Clear();
  return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

}  // namespace

TEST(DataComTest, CreatableByProgId) {
  if (!std::getenv("KELMIRA_REGISTRY")) {  // run outside ctest: keep the user's registry clean
    setenv("KELMIRA_REGISTRY", ("/tmp/kelmira-data-test-" + std::to_string(getpid())).c_str(), 1);
    KelmiraRegistryReload();
  }
  ASSERT_EQ(DllRegisterServer(), S_OK);
  for (auto progId : {u"Kelmira.LineData", u"Kelmira.LineData.1", u"Kelmira.MatrixData"}) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    EXPECT_EQ(clsid, progId[8] == 'L' ? CLSID_LineData : CLSID_MatrixData);
    ComPtr<IDispatch> object;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object)),
              S_OK);
  }
  EXPECT_EQ(DllUnregisterServer(), S_OK);
  if (std::string(KelmiraRegistryPath()).starts_with("/tmp/kelmira-data-test-")) std::remove(KelmiraRegistryPath());
}

TEST(DataComTest, BothClassesAggregate) {
  for (auto [clsid, iid] : {std::pair{&CLSID_LineData, &IID_ILineData}, {&CLSID_MatrixData, &IID_IMatrixData}}) {
    Outer outer;
    void* p = nullptr;
    EXPECT_EQ(CoCreateInstance(*clsid, &outer, CLSCTX_INPROC_SERVER, *iid, &p), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(CoCreateInstance(*clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer.inner)), S_OK);
    ComPtr<IDispatch> viaOuter;
    ASSERT_EQ(outer.QueryInterface(*iid, reinterpret_cast<void**>(&viaOuter)), S_OK);
    EXPECT_EQ(outer.refs, 2u);  // the inner object's interfaces count on the outer one
    ComPtr<IUnknown> identity;
    ASSERT_EQ(viaOuter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity.get(), &outer);
    // The aggregated object answers like a plain one.
    kelmira::Variant result;
    EXPECT_EQ(Call(viaOuter.get(), u"GetDataPtr", DISPATCH_METHOD, {}, &result), S_OK);
    viaOuter.Reset();
    identity.Reset();
    EXPECT_EQ(outer.refs, 1u);
    outer.inner.Reset();
  }
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(DataComTest, MembersByName) {
  ComPtr<IDispatch> line, matrix;
  ASSERT_EQ(CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&line)), S_OK);
  ASSERT_EQ(CoCreateInstance(CLSID_MatrixData, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&matrix)), S_OK);
  kelmira::Variant r;
  EXPECT_EQ(Call(line.get(), u"size", DISPATCH_PROPERTYPUT, {Num(3)}), S_OK);
  EXPECT_EQ(Call(line.get(), u"Data", DISPATCH_PROPERTYPUT, {Num(1), Num(0.1)}), S_OK);
  EXPECT_EQ(Call(line.get(), u"DataY", DISPATCH_PROPERTYGET, {Num(1)}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_R8);
  EXPECT_EQ(r.dblVal, static_cast<double>(0.1f));
  EXPECT_EQ(Call(line.get(), u"Data", DISPATCH_PROPERTYGET, {Num(3)}, &r), E_INVALIDARG);
  double lo = 0, hi = 0;
  VARIANT refLo{}, refHi{};
  refLo.vt = refHi.vt = VT_BYREF | VT_R8;
  refLo.byref = &lo;
  refHi.byref = &hi;
  EXPECT_EQ(Call(line.get(), u"GetMinMaxY", DISPATCH_METHOD, {refLo, refHi}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_BOOL);
  EXPECT_EQ(r.boolVal, VARIANT_TRUE);
  EXPECT_EQ(hi, static_cast<double>(0.1f));

  EXPECT_EQ(Call(matrix.get(), u"SetSize", DISPATCH_METHOD, {Num(-2), Num(3)}, &r), S_OK);
  EXPECT_EQ(r.boolVal, VARIANT_FALSE);
  EXPECT_EQ(Call(matrix.get(), u"SetSize", DISPATCH_METHOD, {Num(2), Num(3)}, &r), S_OK);
  EXPECT_EQ(r.boolVal, VARIANT_TRUE);
  EXPECT_EQ(Call(matrix.get(), u"Data", DISPATCH_PROPERTYPUT, {Num(1), Num(2), Num(0.1)}), S_OK);
  EXPECT_EQ(Call(matrix.get(), u"Data", DISPATCH_PROPERTYGET, {Num(1), Num(2)}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_R4);
  EXPECT_EQ(r.fltVal, 0.1f);
}
