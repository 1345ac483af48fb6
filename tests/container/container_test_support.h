// What the container tests share: a layer written the way a host writes one, an event sink that
// records what it is sent, and a container hosted in an "AtlAxWin" window.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform/atlhost.h>
#include <kelmira/platform/dispatch_impl.h>

#include <string>
#include <vector>

// Counts its calls, keeps the records it was given and fills `area` (the whole drawing area when
// empty) with `color`.
class TestLayer : public kelmira::DispatchImpl<IGraphicsLayer> {
 public:
  using Interfaces = kelmira::InterfaceTable<IGraphicsLayer, kelmira::Via<IDispatch, IGraphicsLayer>>;

  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo drawInfo) override;
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL newVal) override;

  std::string name;
  std::vector<std::string>* order = nullptr;  // every Redraw appends `name`
  std::vector<DrawLayerInfo> draws;
  VARIANT_BOOL useBitmap = VARIANT_FALSE;
  COLORREF color = RGB(0, 0, 255);
  RECT area{0, 0, 0, 0};
  HRESULT redrawResult = S_OK;
  HRESULT useBitmapResult = S_OK;
  int useBitmapQueries = 0;
};

kelmira::ComPtr<kelmira::Object<TestLayer>> MakeLayer(COLORREF color = RGB(0, 0, 255));

// Records the events it is sent: (dispid, arguments in declaration order).
class EventSink : public IDispatch {
 public:
  using Interfaces = kelmira::InterfaceTable<IDispatch>;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

  std::vector<DISPID> Ids() const;
  int CountOf(DISPID id) const;
  void Clear() { events.clear(); }

  std::vector<std::pair<DISPID, std::vector<LONG>>> events;
};

constexpr DISPID kOnMouseEvent = 1;
constexpr DISPID kOnViewChanged = 2;
constexpr DISPID kOnUserZoom = 3;

kelmira::ComPtr<IGraphicsContainer> NewContainer();
kelmira::ComPtr<kelmira::Object<EventSink>> Connect(IGraphicsContainer* container, DWORD* cookie = nullptr);

// A top-level frame at screen (100, 50) with an "AtlAxWin" child at (0, 0) of width x height
// hosting a new container, so that the container's client origin is at screen (100, 50).
struct HostedContainer {
  explicit HostedContainer(int width = 200, int height = 100);
  ~HostedContainer();
  HostedContainer(const HostedContainer&) = delete;
  HostedContainer& operator=(const HostedContainer&) = delete;

  COLORREF Pixel(int x, int y) const;

  HWND frame = nullptr;
  HWND host = nullptr;
  HWND window = nullptr;  // the container's own window
  kelmira::ComPtr<IGraphicsContainer> container;
};

constexpr int kFrameX = 100;
constexpr int kFrameY = 50;

// Dispatches what is queued and paints what is invalid (bounded).
void PumpMessages();
VARIANT IndexOf(LONG position);
// A string VARIANT; the caller owns it (kelmira::Variant frees it).
void SetName(VARIANT& v, const char16_t* name);
