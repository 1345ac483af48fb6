// The dispatch tests' own type library: declarations from test_interface.def, the objects that
// implement it with DispatchImpl, and helpers to build Invoke calls.
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/dispatch_impl.h>

#include <string>
#include <vector>

#define KM_DEF_FILE "platform_dispatch/test_interface.def"
#define KM_DEF_DECLARATIONS
#include <kelmira/platform/dispatch_def.inc>

// The test library's tables, registered with the platform on first use.
const kelmira::TypeLibraryInfo& TestLibrary();

class Peer : public kelmira::DispatchImpl<ITestPeer> {
 public:
  using Interfaces = kelmira::InterfaceTable<ITestPeer, kelmira::Via<IDispatch, ITestPeer>>;
  HRESULT STDMETHODCALLTYPE get_Id(LONG* pVal) override {
    *pVal = id;
    return S_OK;
  }
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
  HRESULT STDMETHODCALLTYPE Ping(LONG* pVal) override {
    *pVal = 99;
    return S_OK;
  }
};

// Records what each member received.
class Thing : public kelmira::DispatchImpl<ITestThing> {
 public:
  using Interfaces = kelmira::InterfaceTable<ITestThing, kelmira::Via<ITestBase, ITestThing>,
                                             kelmira::Via<IDispatch, ITestThing>>;

  HRESULT STDMETHODCALLTYPE get_Value(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Value(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_Peer(ITestPeer** ppPeer) override;
  HRESULT STDMETHODCALLTYPE putref_Peer(ITestPeer* pPeer) override;
  HRESULT STDMETHODCALLTYPE get_Item(LONG index, double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Item(LONG index, double newVal) override;
  HRESULT STDMETHODCALLTYPE put_Label(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE Divide(double a, double b, double* pResult) override;
  HRESULT STDMETHODCALLTYPE MinMax(double* pMin, double* pMax, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE Scale(double factor, LONG steps, eTestShape shape) override;
  HRESULT STDMETHODCALLTYPE Fail(LONG code) override;
  HRESULT STDMETHODCALLTYPE Connect(ITestPeer* pPeer, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE Place(TestPoint pt) override;
  HRESULT STDMETHODCALLTYPE get_Samples(float** ppData) override;
  HRESULT STDMETHODCALLTYPE Describe(VARIANT v, BSTR* pText) override;
  HRESULT STDMETHODCALLTYPE get_Shape(eTestShape* pVal) override;
  HRESULT STDMETHODCALLTYPE Probe(VARIANT vOptional, LONG* pType) override;
  HRESULT STDMETHODCALLTYPE Bytes(BYTE** ppData) override;
  HRESULT STDMETHODCALLTYPE Greet(BSTR name, LONG count, BSTR* pText) override;

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

// An Invoke call's arguments, written in parameter order; rgvarg is built reversed.
class Args {
 public:
  Args() = default;
  Args(const Args&) = delete;
  Args& operator=(const Args&) = delete;
  ~Args();

  Args& I4(LONG v);
  Args& R8(double v);
  Args& Str(const char16_t* text);
  Args& Missing();
  Args& Empty();
  Args& Object(IUnknown* object, VARTYPE vt);  // VT_DISPATCH or VT_UNKNOWN, AddRef'd
  Args& Ref(VARTYPE vt, void* target);         // VT_BYREF | vt
  Args& Raw(const VARIANT& v);                 // copied as is, not freed
  // The argument added last becomes named.
  Args& Named(DISPID id);

  DISPPARAMS* Params();

 private:
  Args& Add(const VARIANT& v, bool owned);
  struct Arg {
    VARIANT value;
    bool owned;
    bool named;
    DISPID id;
  };
  std::vector<Arg> args_;
  std::vector<VARIANT> rgvarg_;
  std::vector<DISPID> names_;
  DISPPARAMS params_{};
};

struct CallResult {
  HRESULT hr = S_OK;
  kelmira::Variant result;
  UINT argErr = 0xFFFF;
  EXCEPINFO excep{};
  ~CallResult();
};

// Invoke through IDispatch with IID_NULL and LOCALE_USER_DEFAULT.
void Call(IDispatch* target, DISPID id, WORD flags, Args& args, CallResult& out, bool withExcepInfo = false);
DISPID IdOf(IDispatch* target, const char16_t* name);

// A new Thing / Peer / Stranger through Object<T>::Make.
kelmira::ComPtr<kelmira::Object<Thing>> MakeThing();
kelmira::ComPtr<kelmira::Object<Peer>> MakePeer(LONG id);
kelmira::ComPtr<kelmira::Object<Stranger>> MakeStranger();

std::u16string Text(BSTR text);
ULONG RefCount(IUnknown* object);
