// What the container tests share: a layer written the way a host writes one, an event sink, and
// a container hosted in an "AtlAxWin" child at (0, 0) of a frame at screen (100, 50).
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform/atlhost.h>
#include <kelmira/platform/dispatch_impl.h>

#include <ostream>
#include <string>
#include <vector>

using kelmira::Bstr;
using kelmira::ComPtr;
using kelmira::Object;
using kelmira::Variant;

constexpr int kFrameX = 100;
constexpr int kFrameY = 50;
constexpr COLORREF kRed = RGB(255, 0, 0);  // 0x0000FF: what no layer covers
constexpr DISPID kOnMouseEvent = 1, kOnViewChanged = 2, kOnUserZoom = 3;

// Records its calls and fills `area` (the whole drawing area when empty) with `color`.
class TestLayer : public kelmira::DispatchImpl<IGraphicsLayer> {
 public:
  using Interfaces = kelmira::InterfaceTable<IGraphicsLayer, kelmira::Via<IDispatch, IGraphicsLayer>>;
  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo info) override {
    draws.push_back(info);
    if (order) order->push_back(name);
    RECT r = area.right > area.left ? area : RECT{info.left, info.top, info.right, info.bottom};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(UlongToHandle<HDC>(static_cast<std::uint32_t>(info.hDC)), &r, brush);
    DeleteObject(brush);
    return redrawResult;
  }
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* p) override { return *p = useBitmap, useBitmapResult; }
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL v) override { return useBitmap = v, S_OK; }
  std::string name;
  std::vector<std::string>* order = nullptr;
  std::vector<DrawLayerInfo> draws;
  VARIANT_BOOL useBitmap = VARIANT_FALSE;
  COLORREF color = RGB(0, 0, 255);
  RECT area{0, 0, 0, 0};
  HRESULT redrawResult = S_OK, useBitmapResult = S_OK;
};

inline ComPtr<Object<TestLayer>> MakeLayer(COLORREF color, RECT area = {0, 0, 0, 0}) {
  ComPtr<Object<TestLayer>> layer;
  Object<TestLayer>::Make(&layer);
  layer->color = color;
  layer->area = area;
  return layer;
}

// Records (dispid, arguments in declaration order).
class EventSink : public IDispatch {
 public:
  using Interfaces = kelmira::InterfaceTable<IDispatch>;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
    std::vector<LONG> args;
    for (UINT i = p->cArgs; i-- > 0;) args.push_back(p->rgvarg[i].lVal);
    events.emplace_back(id, args);
    return S_OK;
  }
  std::vector<DISPID> Ids(bool withMouse = false) const {  // mouse events only when asked
    std::vector<DISPID> ids;
    for (const auto& e : events)
      if (withMouse || e.first != kOnMouseEvent) ids.push_back(e.first);
    return ids;
  }
  std::vector<std::pair<DISPID, std::vector<LONG>>> events;
};

inline ComPtr<IGraphicsContainer> NewContainer() {
  ComPtr<IGraphicsContainer> c;
  CoCreateInstance(CLSID_GraphicsContainer, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphicsContainer,
                   reinterpret_cast<void**>(&c));
  return c;
}

inline ComPtr<Object<EventSink>> Connect(IGraphicsContainer* c) {
  ComPtr<Object<EventSink>> sink;
  Object<EventSink>::Make(&sink);
  DWORD cookie = 0;
  AtlAdvise(c, static_cast<IDispatch*>(sink.get()), DIID_IGraphicsEvents, &cookie);
  return sink;
}

inline void PumpMessages() {
  MSG msg{};
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);
}

struct HostedContainer {
  explicit HostedContainer(int width = 200, int height = 100) {
    static const bool registered = [] {
      WNDCLASSEXA wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = &DefWindowProcA;
      wc.lpszClassName = "KelmiraContainerTestFrame";
      return RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
    frame = CreateWindowExA(0, "KelmiraContainerTestFrame", "", WS_OVERLAPPED | WS_VISIBLE, kFrameX, kFrameY, 400, 300,
                            nullptr, nullptr, nullptr, nullptr);
    host = CreateWindowExA(0, ATLAXWIN_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, frame, nullptr, nullptr,
                           nullptr);
    container = NewContainer();
    AtlAxAttachControl(container.get(), host, nullptr);
    LONG handle = 0;
    container->get_hwnd(&handle);
    window = UlongToHandle<HWND>(static_cast<std::uint32_t>(handle));
    PumpMessages();
  }
  ~HostedContainer() {
    container.Reset();
    DestroyWindow(frame);
  }
  HostedContainer(const HostedContainer&) = delete;
  HostedContainer& operator=(const HostedContainer&) = delete;
  COLORREF Pixel(int x, int y) const {
    COLORREF color = CLR_INVALID;
    KelmiraGetWindowPixel(window, x, y, &color);
    return color;
  }
  HWND frame = nullptr, host = nullptr, window = nullptr;
  ComPtr<IGraphicsContainer> container;
};

inline VARIANT At(LONG position) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = position;
  return v;
}

struct Named : Variant {
  explicit Named(const char16_t* name) {
    vt = VT_BSTR;
    bstrVal = SysAllocString(name);
  }
};

struct Four {
  double xMin, xMax, yMin, yMax;
  bool operator==(const Four&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Four& f) {
  return o << f.xMin << ".." << f.xMax << " x " << f.yMin << ".." << f.yMax;
}

inline Four LimitsOf(IGraphicsContainer* c) {
  Four f{};
  c->GetLimits(&f.xMin, &f.xMax, &f.yMin, &f.yMax);
  return f;
}

inline Four ExtentsOf(IGraphicsContainer* c) {
  Four f{};
  c->GetExtents(&f.xMin, &f.xMax, &f.yMin, &f.yMax);
  return f;
}
inline void AddNamed(IGraphicsContainer* c, const char16_t* name, IGraphicsLayer* layer) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  c->AddLayer(Bstr(name).get(), layer, &ok);
}
