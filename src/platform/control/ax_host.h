// The host object behind a control-hosting window: the control's client site, in-place site
// (windowless-capable), frame, control site and advise sink.
//
// One host per window, held by the window from its creation (or attachment) to WM_NCDESTROY.
// All of it runs on the window-system thread.
#pragma once

#include <kelmira/platform/atlhost.h>
#include <kelmira/platform/com_object.h>

namespace kelmira::control {

class AxHost : public IOleClientSite,
               public IOleInPlaceSiteWindowless,
               public IOleInPlaceFrame,
               public IOleControlSite,
               public IAdviseSink {
 public:
  using Interfaces =
      InterfaceTable<IOleClientSite, IOleInPlaceSiteWindowless, Via<IOleInPlaceSiteEx, IOleInPlaceSiteWindowless>,
                     Via<IOleInPlaceSite, IOleInPlaceSiteWindowless>, Via<IOleWindow, IOleInPlaceSiteWindowless>,
                     IOleInPlaceFrame, Via<IOleInPlaceUIWindow, IOleInPlaceFrame>, IOleControlSite, IAdviseSink>;
  static constexpr bool kAggregatable = false;

  explicit AxHost(HWND hwnd, WNDPROC previous) : hwnd_(hwnd), previous_(previous) {}

  // Hosts control, releasing any control hosted before; initNew runs InitNew (or Load from
  // stream) before activation, as for a control the host creates itself.
  HRESULT AttachControl(IUnknown* control, bool initialise, IStream* stream);
  // Deactivates, closes and releases the control (also when the window goes).
  void ReleaseControl();
  IUnknown* Control() const { return control_.get(); }
  HWND Window() const { return hwnd_; }

  // The host's share of the window's messages; the rest goes to DefaultMessage.
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL fShow) override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

  // IOleWindow (of the site and the frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;

  // IOleInPlaceSite, IOleInPlaceSiteEx, IOleInPlaceSiteWindowless
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                             LPRECT lprcPosRect, LPRECT lprcClipRect,
                                             LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE scrollExtant) override;
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL fUndoable) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT lprcPosRect) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL fNoRedraw) override;
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override;
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override;
  HRESULT STDMETHODCALLTYPE GetCapture() override;
  HRESULT STDMETHODCALLTYPE SetCapture(BOOL fCapture) override;
  HRESULT STDMETHODCALLTYPE GetFocus() override;
  HRESULT STDMETHODCALLTYPE SetFocus(BOOL fFocus) override;
  HRESULT STDMETHODCALLTYPE GetDC(LPCRECT pRect, DWORD grfFlags, HDC* phDC) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
  HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT pRect, BOOL fErase) override;
  HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN hRGN, BOOL fErase) override;
  HRESULT STDMETHODCALLTYPE ScrollRect(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) override;
  HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT prc) override;
  HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;

  // IOleInPlaceUIWindow, IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT lprectBorder) override;
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) override;
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) override;
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU hmenuShared) override;
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR pszStatusText) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg, WORD wID) override;

  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override;
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL fLock) override;
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** ppDisp) override;
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg, DWORD grfModifiers) override;
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL fGotFocus) override;
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override;

  // IAdviseSink
  void STDMETHODCALLTYPE OnDataChange(FORMATETC* pFormatetc, STGMEDIUM* pStgmed) override;
  void STDMETHODCALLTYPE OnViewChange(DWORD dwAspect, LONG lindex) override;
  void STDMETHODCALLTYPE OnRename(IMoniker* pmk) override;
  void STDMETHODCALLTYPE OnSave() override;
  void STDMETHODCALLTYPE OnClose() override;

 private:
  HRESULT Initialise(IStream* stream);
  HRESULT Activate();
  void Resize(int width, int height);
  bool DrawsControl() const;
  void Paint();
  bool ForwardToWindowless(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  RECT ClientRect() const;

  HWND hwnd_;
  WNDPROC previous_;  // the window's own procedure when the host subclassed it
  ComPtr<IUnknown> control_;
  ComPtr<IOleObject> oleObject_;
  ComPtr<IViewObject> viewObject_;
  ComPtr<IOleInPlaceObject> inPlaceObject_;               // while active in place
  ComPtr<IOleInPlaceObjectWindowless> windowlessObject_;  // while active without a window
  ComPtr<IOleInPlaceActiveObject> activeObject_;          // while UI active
  DWORD miscStatus_ = 0;
  DWORD adviseCookie_ = 0;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool windowless_ = false;
  bool capture_ = false;
  bool focus_ = false;
  bool releasing_ = false;
};

// The host of a window, or null.
AxHost* HostOfWindow(HWND hwnd);
// The host of hwnd, made (and the window subclassed unless it is an "AtlAxWin" window) when it
// has none. Null for a window that does not exist.
AxHost* HostForWindow(HWND hwnd);
// Registers "AtlAxWin" if it is not registered yet.
bool EnsureHostWindowClass();
// The window procedure of "AtlAxWin".
LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace kelmira::control
