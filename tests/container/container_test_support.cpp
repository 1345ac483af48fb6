// The container tests' layer, sink and hosting.
#include "container/container_test_support.h"

#include <algorithm>

using kelmira::ComPtr;

HRESULT TestLayer::Redraw(DrawLayerInfo drawInfo) {
  draws.push_back(drawInfo);
  if (order) order->push_back(name);
  HDC dc = UlongToHandle<HDC>(static_cast<std::uint32_t>(drawInfo.hDC));
  RECT r = area;
  if (r.right <= r.left || r.bottom <= r.top) r = RECT{drawInfo.left, drawInfo.top, drawInfo.right, drawInfo.bottom};
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  return redrawResult;
}

HRESULT TestLayer::get_UseBitmap(VARIANT_BOOL* pVal) {
  ++useBitmapQueries;
  *pVal = useBitmap;
  return useBitmapResult;
}

HRESULT TestLayer::put_UseBitmap(VARIANT_BOOL newVal) {
  useBitmap = newVal;
  return S_OK;
}

ComPtr<kelmira::Object<TestLayer>> MakeLayer(COLORREF color) {
  ComPtr<kelmira::Object<TestLayer>> layer;
  kelmira::Object<TestLayer>::Make(&layer);
  layer->color = color;
  return layer;
}

HRESULT EventSink::GetTypeInfoCount(UINT* n) {
  *n = 0;
  return S_OK;
}
HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  std::vector<LONG> args;
  for (UINT i = params->cArgs; i-- > 0;) args.push_back(params->rgvarg[i].lVal);
  events.emplace_back(id, args);
  return S_OK;
}

std::vector<DISPID> EventSink::Ids() const {
  std::vector<DISPID> ids;
  for (const auto& e : events) ids.push_back(e.first);
  return ids;
}

int EventSink::CountOf(DISPID id) const {
  return static_cast<int>(std::count_if(events.begin(), events.end(), [id](const auto& e) { return e.first == id; }));
}

ComPtr<IGraphicsContainer> NewContainer() {
  ComPtr<IGraphicsContainer> container;
  CoCreateInstance(CLSID_GraphicsContainer, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphicsContainer,
                   reinterpret_cast<void**>(&container));
  return container;
}

ComPtr<kelmira::Object<EventSink>> Connect(IGraphicsContainer* container, DWORD* cookie) {
  ComPtr<kelmira::Object<EventSink>> sink;
  kelmira::Object<EventSink>::Make(&sink);
  DWORD unused = 0;
  AtlAdvise(container, static_cast<IDispatch*>(sink.get()), DIID_IGraphicsEvents, cookie ? cookie : &unused);
  return sink;
}

namespace {

const char* FrameClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &DefWindowProcA;
    wc.lpszClassName = "KelmiraContainerTestFrame";
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
  return "KelmiraContainerTestFrame";
}

}  // namespace

HostedContainer::HostedContainer(int width, int height) {
  frame = CreateWindowExA(0, FrameClass(), "frame", WS_OVERLAPPED | WS_VISIBLE | WS_CLIPCHILDREN, kFrameX, kFrameY,
                          400, 300, nullptr, nullptr, nullptr, nullptr);
  host = CreateWindowExA(0, ATLAXWIN_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, frame, nullptr, nullptr,
                         nullptr);
  container = NewContainer();
  if (!host || !container) return;
  AtlAxAttachControl(container.get(), host, nullptr);
  LONG handle = 0;
  container->get_hwnd(&handle);
  window = UlongToHandle<HWND>(static_cast<std::uint32_t>(handle));
  PumpMessages();
}

HostedContainer::~HostedContainer() {
  container.Reset();
  if (IsWindow(frame)) DestroyWindow(frame);
}

COLORREF HostedContainer::Pixel(int x, int y) const {
  COLORREF color = CLR_INVALID;
  KelmiraGetWindowPixel(window, x, y, &color);
  return color;
}

void PumpMessages() {
  MSG msg{};
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);
}

VARIANT IndexOf(LONG position) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = position;
  return v;
}

void SetName(VARIANT& v, const char16_t* name) {
  VariantClear(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(name);
}
