// The dispatch tests' type library, declared from dispatch_test_library.def as kelmira.h declares
// the module's, and the objects that implement it with DispatchImpl.
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/dispatch_impl.h>

#include <algorithm>
#include <sstream>
#include <string>

#define KM_DEF_FILE "support/dispatch_test_library.def"
#define KM_DEF_DECLARATIONS
#include <kelmira/platform/dispatch_def.inc>

namespace kelmira::test {

// The library's tables, registered with the platform on first use, and its ITypeLib.
const TypeLibraryInfo& TestLibrary();
ComPtr<ITypeLib> TestTypeLib();
ComPtr<ITypeInfo> TestTypeInfo(REFGUID guid);

// A BSTR's text; the tests' texts are ASCII.
inline std::string Text(BSTR text) { return text ? std::string(text, text + SysStringLen(text)) : std::string(); }

// A new object of one of the classes below, with the library registered.
template <class T>
ComPtr<Object<T>> Make() {
  TestLibrary();
  ComPtr<Object<T>> object;
  Object<T>::Make(&object);
  return object;
}

class Peer : public DispatchImpl<ITestPeer> {
 public:
  using Interfaces = InterfaceTable<ITestPeer, Via<IDispatch, ITestPeer>>;
  HRESULT STDMETHODCALLTYPE get_Id(LONG* pVal) override { return *pVal = 0, S_OK; }
};

class Hidden : public DispatchImpl<ITestHidden> {
 public:
  using Interfaces = InterfaceTable<ITestHidden, Via<IDispatch, ITestHidden>>;
  HRESULT STDMETHODCALLTYPE Ping(LONG* pVal) override { return *pVal = 99, S_OK; }
};

// Members that change something write what they received to the log: "Scale 2 3 7;".
class Thing : public DispatchImpl<ITestThing> {
 public:
  using Interfaces = InterfaceTable<ITestThing, Via<ITestBase, ITestThing>, Via<IDispatch, ITestThing>>;

  HRESULT STDMETHODCALLTYPE get_Value(LONG* pVal) override { return *pVal = value, S_OK; }
  HRESULT STDMETHODCALLTYPE put_Value(LONG newVal) override { return Note("Value", value = newVal); }
  HRESULT STDMETHODCALLTYPE get_Peer(ITestPeer** ppPeer) override { return peer.CopyTo(ppPeer); }
  HRESULT STDMETHODCALLTYPE putref_Peer(ITestPeer* pPeer) override { return peer = pPeer, Note("Peer"); }
  HRESULT STDMETHODCALLTYPE get_Item(LONG index, double* pVal) override {
    return index < 0 || index >= 4 ? E_INVALIDARG : (*pVal = items[index], S_OK);
  }
  HRESULT STDMETHODCALLTYPE put_Item(LONG index, double newVal) override {
    return index < 0 || index >= 4 ? E_INVALIDARG : Note("Item", index, items[index] = newVal);
  }
  HRESULT STDMETHODCALLTYPE put_Label(BSTR newVal) override { return Note("Label", Text(newVal)); }
  HRESULT STDMETHODCALLTYPE Divide(double a, double b, double* pResult) override {
    return b == 0 ? DISP_E_DIVBYZERO : (*pResult = a / b, S_OK);
  }
  HRESULT STDMETHODCALLTYPE MinMax(double* pMin, double* pMax, VARIANT_BOOL* pbResult) override {
    *pMin = *std::min_element(std::begin(items), std::end(items));
    *pMax = *std::max_element(std::begin(items), std::end(items));
    return *pbResult = VARIANT_TRUE, S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scale(double factor, LONG steps, eTestShape shape) override {
    return Note("Scale", factor, steps, shape);
  }
  HRESULT STDMETHODCALLTYPE Fail(LONG code) override { return code; }
  HRESULT STDMETHODCALLTYPE Connect(ITestPeer* pPeer, VARIANT_BOOL* pbResult) override {
    connected = pPeer;
    return *pbResult = pPeer ? VARIANT_TRUE : VARIANT_FALSE, Note("Connect", pPeer ? "peer" : "none");
  }
  HRESULT STDMETHODCALLTYPE Place(TestPoint pt) override {
    return Note("Place", pt.x, pt.y, pt.weight, Text(pt.label));
  }
  HRESULT STDMETHODCALLTYPE get_Samples(float** ppData) override { return *ppData = samples, S_OK; }
  HRESULT STDMETHODCALLTYPE Describe(VARIANT v, BSTR* pText) override {
    VARIANT text{};
    const HRESULT hr = VariantChangeType(&text, &v, 0, VT_BSTR);
    return FAILED(hr) ? hr : (*pText = text.bstrVal, S_OK);
  }
  HRESULT STDMETHODCALLTYPE get_Shape(eTestShape* pVal) override { return *pVal = kShapeSquare, S_OK; }
  HRESULT STDMETHODCALLTYPE Probe(VARIANT vOptional, LONG* pType) override {
    return *pType = vOptional.vt == VT_ERROR ? -vOptional.scode : vOptional.vt, S_OK;
  }
  HRESULT STDMETHODCALLTYPE Bytes(BYTE** ppData) override { return *ppData = bytes, S_OK; }
  HRESULT STDMETHODCALLTYPE Greet(BSTR name, LONG count, BSTR* pText) override {
    std::u16string text;
    for (LONG i = 0; i < count; ++i) text += u"hello " + std::u16string(name ? name : u"") + u";";
    *pText = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *pText ? S_OK : E_OUTOFMEMORY;
  }

  LONG value = 0;
  ComPtr<ITestPeer> peer, connected;
  double items[4] = {1.0, -2.0, 8.5, 3.0};
  float samples[3] = {0.5f, 1.5f, 2.5f};
  BYTE bytes[2] = {7, 9};
  std::string log;

 private:
  template <class... A>
  HRESULT Note(const char* member, A... args) {
    std::ostringstream line(member, std::ios::ate);
    ((line << ' ' << args), ...);
    return log += line.str() + ';', S_OK;
  }
};

}  // namespace kelmira::test
