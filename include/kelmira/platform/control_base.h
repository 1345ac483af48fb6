// Base classes for embeddable controls: everything a control answers to its host besides its own
// automation interface.
//
// A control derives from ControlBase<Derived> (or CompositeControlBase<Derived> for a control
// whose window is a dialog), lists the control interfaces after its own in its interface table,
// and describes itself with static members that the base finds by name:
//
//   class Axis : public kelmira::ControlBase<Axis>, public kelmira::DispatchImpl<IXAxis> {
//    public:
//     using Interfaces = kelmira::ControlInterfaceTable<IXAxis, kelmira::Via<IDispatch, IXAxis>>;
//     static const CLSID& GetObjectCLSID() { return CLSID_XAxis; }      // required
//     static constexpr DWORD kMiscStatus = kelmira::kStandardControlMiscStatus;  // the default
//     static constexpr const IID* kDefaultSourceIid = &DIID_IAxisEvents; // default: none
//     static constexpr const GUID* kLibId = &LIBID_Kelmira;              // default: none
//     static constexpr WORD kLibVersionMajor = 1, kLibVersionMinor = 0;  // default 1.0
//     static constexpr const char* kWindowClassName = "KelmiraXAxis";    // default: from the CLSID
//     static constexpr UINT kWindowClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;  // default 0
//     static constexpr int kWindowBackground = COLOR_WINDOW + 1;         // default as shown; 0: none
//     static constexpr bool kWindowOnly = true;                          // default: never windowless
//     BEGIN_PROP_MAP(Axis) ... END_PROP_MAP()                            // default: nothing persisted
//     BEGIN_MSG_MAP(Axis) MESSAGE_HANDLER(WM_SIZE, OnSize) END_MSG_MAP() // default: none
//     HRESULT OnDraw(HDC hdc, const RECT& bounds) override;
//     HRESULT FinalConstruct() { return AddConnectionPoint(DIID_IAxisEvents, kelmira::SinkKind::Dispatch); }
//   };
//
// A composite control also gives `static const DLGTEMPLATE* GetDialogTemplate()`: the template of
// its window. Events go out through the connection points (kelmira::FireEvent with
// ConnectionPointFor(iid)); IPropertyNotifySink notifications through FireOnChanged once the
// control has added a point for IID_IPropertyNotifySink.
//
// Behaviour, as the desktop platform's control framework gives it:
// - In-place activation (DoVerb with OLEIVERB_INPLACEACTIVATE, SHOW, UIACTIVATE or PRIMARY) asks
//   the client site for its in-place site, which must answer CanInPlaceActivate with S_OK, tells it
//   OnInPlaceActivate(Ex), takes its window and its position and clip rectangles
//   (GetWindowContext), creates the control's own window as a child of the site's window at the
//   position rectangle and shows it. A control that is not kWindowOnly activates without a window
//   when the site is windowless and answers CanWindowlessActivate with S_OK. UIACTIVATE and
//   PRIMARY also make the control UI active (OnUIActivate, SetActiveObject on the frame).
//   OLEIVERB_HIDE hides the window; Close and InPlaceDeactivate destroy it and tell the site
//   OnInPlaceDeactivate(Ex). SetObjectRects moves the window to the position rectangle.
// - Extents are HIMETRIC (2540 per inch at 96 pixels per inch); a new control is 5080 x 5080.
//   GetMiscStatus reads HKCR\CLSID\{clsid}\MiscStatus (the aspect's subkey, else the key's
//   default value) and falls back to kMiscStatus when the class has no such entry.
// - The window procedure runs the control's message map first; unhandled messages get the
//   defaults: WM_PAINT calls OnDraw with the paint DC and the client rectangle, WM_SETFOCUS and
//   WM_KILLFOCUS tell the site's IOleControlSite::OnFocus, WM_MOUSEACTIVATE makes the control UI
//   active; everything else goes to DefWindowProcA.
// - IViewObject::Draw calls OnDraw with the host's DC, clipped to the bounds, and the bounds.
// - Persistence writes and reads the property map through AtlIPersistStreamInit_Save/_Load; a
//   successful Load clears the changed mark, Save with fClearDirty clears it. IPersistStorage
//   keeps the same stream as "Contents". GetSizeMax is E_NOTIMPL, InitNew does nothing.
// - GetPages lists the property pages the map names, in map order, without repeats.
// - Exceptions thrown by OnDraw or the message map are caught (E_OUTOFMEMORY, E_FAIL, or 0 as the
//   message result).
#pragma once

#include <kelmira/platform/connection_points.h>
#include <kelmira/platform/oleidl.h>
#include <kelmira/platform/propmap.h>
#include <kelmira/platform/typeinfo.h>
#include <kelmira/platform/winuser.h>

#include <type_traits>

namespace kelmira {

// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
inline constexpr DWORD kStandardControlMiscStatus = 131473;

// A control's description, built once per class by ControlBase from the class's static members.
struct ControlClassInfo {
  const CLSID* clsid = &CLSID_NULL;
  DWORD miscStatus = kStandardControlMiscStatus;
  const ATL_PROPMAP_ENTRY* propertyMap = nullptr;  // null: nothing is persisted
  const IID* defaultSourceIid = nullptr;           // null: no default source interface
  const GUID* libid = nullptr;                     // null: no class information
  WORD libMajor = 1;
  WORD libMinor = 0;
  const char* windowClassName = nullptr;  // null: "KelmiraControl" followed by the CLSID
  UINT windowClassStyle = 0;
  int windowBackground = COLOR_WINDOW + 1;  // system colour index + 1, 0 for none
  bool windowOnly = true;
  const DLGTEMPLATE* (*dialogTemplate)() = nullptr;  // composite controls: their window's template
};

class KELMIRA_API ControlImpl : public IOleObject,
                                public IOleInPlaceObjectWindowless,
                                public IOleInPlaceActiveObject,
                                public IOleControl,
                                public IViewObjectEx,
                                public IDataObject,
                                public IPersistStreamInit,
                                public IPersistStorage,
                                public ISpecifyPropertyPages,
                                public IQuickActivate,
                                public IProvideClassInfo2,
                                public ConnectionPointContainerImpl {
 public:
  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pClientSite) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ppClientSite) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                                   LPCRECT lprcPosRect) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* pClsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* pLogpal) override;

  // IOleWindow (of IOleInPlaceObject and IOleInPlaceActiveObject)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;

  // IOleInPlaceObject, IOleInPlaceObjectWindowless
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** ppDropTarget) override;

  // IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL fActivate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL fActivate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fFrameWindow) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* pCI) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* pMsg) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispID) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL bFreeze) override;

  // IViewObject, IViewObject2, IViewObjectEx
  HRESULT STDMETHODCALLTYPE Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd, HDC hdcTargetDev,
                                 HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds,
                                 BOOL(STDMETHODCALLTYPE* pfnContinue)(ULONG_PTR), ULONG_PTR dwContinue) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                                        HDC hicTargetDev, LOGPALETTE** ppColorSet) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DWORD* pdwFreeze) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD dwFreeze) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, LONG lindex, DVTARGETDEVICE* ptd, LPSIZEL lpsizel) override;
  HRESULT STDMETHODCALLTYPE GetRect(DWORD dwAspect, LPRECTL pRect) override;
  HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* pdwStatus) override;
  HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD dwAspect, LPCRECT pRectBounds, POINT ptlLoc, LONG lCloseHint,
                                          DWORD* pHitResult) override;
  HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD dwAspect, LPCRECT pRectBounds, LPCRECT pRectLoc, LONG lCloseHint,
                                         DWORD* pHitResult) override;
  HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD dwAspect, LONG lindex, DVTARGETDEVICE* ptd, HDC hicTargetDev,
                                             DVEXTENTINFO* pExtentInfo, LPSIZEL pSizel) override;

  // IDataObject
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pformatetc) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* pformatectIn, FORMATETC* pformatetcOut) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                                    DWORD* pdwConnection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD dwConnection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

  // IPersist, IPersistStreamInit, IPersistStorage. A control may override the stream's Load,
  // Save and IsDirty; the storage's methods go through them.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* pStm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* pStm, BOOL fClearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage* pStg) override;
  HRESULT STDMETHODCALLTYPE Load(IStorage* pStg) override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* pStgSave, BOOL fSameAsLoad) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* pStgNew) override;
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

  // ISpecifyPropertyPages
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;

  // IQuickActivate
  HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* pQaContainer, QACONTROL* pQaControl) override;
  HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL pSizel) override;
  HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL pSizel) override;

  // IProvideClassInfo, IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

  // ---- What a control draws and how its window answers messages.

  // Draws the control into hdc within bounds (the client rectangle when painting the window).
  virtual HRESULT OnDraw(HDC hdc, const RECT& bounds);
  // The control's message map (BEGIN_MSG_MAP); TRUE when it handled the message with result.
  virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // ---- Helpers for the control's own code.

  // The repaint request: active with a window, invalidate it (erasing); active without one, ask the
  // windowless site to invalidate the control (erasing); not active, tell the view advise sink
  // OnViewChange(DVASPECT_CONTENT, -1).
  HRESULT FireViewChange();
  // OnViewChange(aspect, lindex) to the view advise sink, if there is one.
  HRESULT SendOnViewChange(DWORD aspect, LONG lindex = -1);
  // A data-change notification to the data advise sinks.
  HRESULT SendOnDataChange(DWORD advf = 0);
  // IPropertyNotifySink::OnChanged / OnRequestEdit to the sinks of the control's
  // IPropertyNotifySink connection point, when it has one. OnRequestEdit: S_FALSE when a sink
  // refuses the edit.
  HRESULT FireOnChanged(DISPID dispid);
  HRESULT FireOnRequestEdit(DISPID dispid);

  // The changed mark (needs saving).
  void SetDirty(bool dirty) { dirty_ = dirty; }
  bool GetDirty() const { return dirty_; }

  HWND ControlWindow() const { return hwnd_; }
  bool InPlaceActive() const { return inPlaceActive_; }
  bool UIActive() const { return uiActive_; }
  bool Windowless() const { return windowless_; }
  bool EventsFrozen() const { return freezeCount_ > 0; }
  const RECT& PositionRect() const { return posRect_; }
  IOleClientSite* ClientSite() const { return clientSite_.get(); }
  IOleInPlaceSite* InPlaceSite() const { return inPlaceSite_.get(); }

  // Activates the control in place for verb (OLEIVERB_INPLACEACTIVATE, SHOW, UIACTIVATE, PRIMARY).
  HRESULT InPlaceActivate(LONG verb);

  // The window procedure behind every windowed control: the map, then the defaults (WM_PAINT
  // draws, FrameworkMessage, DefWindowProcA).
  LRESULT HandleWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Called by the framework's window procedures when the control's window comes and goes.
  void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
  void DetachWindow();

  ControlImpl(const ControlImpl&) = delete;
  ControlImpl& operator=(const ControlImpl&) = delete;

 protected:
  ControlImpl();
  ~ControlImpl();

  // The class's description (ControlBase supplies it).
  virtual const ControlClassInfo& ControlClass() const = 0;
  // The object the property map's offsets are relative to (the most derived class).
  virtual void* PropertyMapObject() = 0;
  // Makes the control's window, a child of parent at pos, not yet visible. Null on failure.
  virtual HWND CreateControlWindow(HWND parent, const RECT& pos);
  // Runs the message map (an exception counts as handled, with result 0) and forgets the window
  // at WM_NCDESTROY.
  BOOL RunMessageMap(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The framework's part in messages the map left alone: focus changes go to the site's
  // IOleControlSite::OnFocus, a mouse activation makes the control UI active.
  void FrameworkMessage(UINT msg);

  // The control's IUnknown (its controlling one when aggregated).
  IUnknown* ControlUnknown() { return static_cast<IOleObject*>(this); }

  // HIMETRIC; the persisted "_cx"/"_cy" of a property map are usually sizeExtent_.cx and .cy.
  SIZEL sizeExtent_{5080, 5080};
  SIZEL sizeNatural_{5080, 5080};

 private:
  HRESULT ActivateSite(IOleClientSite* site);
  HRESULT TakeWindowContext();
  HRESULT CreateWindowForSite();
  HRESULT UIActivate();
  void PaintWindow(HWND hwnd, HDC given);
  HRESULT DrawClipped(HDC hdc, const RECT& bounds);
  void NotifySiteFocus(bool focus);
  ConnectionPoint* PropertyNotifyPoint() const;

  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceSiteEx> inPlaceSiteEx_;           // set when the site answers it
  ComPtr<IOleInPlaceSiteWindowless> windowlessSite_;  // set while active without a window
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> document_;
  ComPtr<IOleAdviseHolder> oleAdviseHolder_;
  ComPtr<IDataAdviseHolder> dataAdviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewAdvf_ = 0;
  HWND hwnd_ = nullptr;
  RECT posRect_{0, 0, 0, 0};
  RECT clipRect_{0, 0, 0, 0};
  LONG freezeCount_ = 0;
  bool dirty_ = false;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool windowless_ = false;
};

// A control whose window is a modeless dialog made from an in-memory template (through
// AtlAxCreateDialogA, so its items may be "AtlAxWin" hosts). Its message map sees the dialog's
// messages from WM_INITDIALOG on; a handled message's result is returned as a dialog procedure
// returns it (WM_INITDIALOG, WM_CTLCOLOR* directly, others through DWLP_MSGRESULT). The natural
// extent and the initial extent are the template's size, converted to pixels with the base units
// of the template's font and then to HIMETRIC. When not active in place it draws, into the given
// bounds, a black outline filled grey with "ATL Composite Control" centred on one line in the
// window-text colour on a transparent background.
class KELMIRA_API CompositeControlImpl : public ControlImpl {
 public:
  HRESULT OnDraw(HDC hdc, const RECT& bounds) override;

 protected:
  CompositeControlImpl() = default;
  ~CompositeControlImpl() = default;

  // The window is made from ControlClassInfo::dialogTemplate, which must make a child window
  // (WS_CHILD).
  HWND CreateControlWindow(HWND parent, const RECT& pos) override;

  // Sets the natural extent and the extent from the template's size (ControlBase calls it).
  void SetExtentFromTemplate(const DLGTEMPLATE* dialogTemplate);

 public:
  // The dialog procedure of composite controls.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

// The interfaces a control lists after its own (its own come first: the first is its identity).
template <class... Own>
using ControlInterfaceTable =
    InterfaceTable<Own..., IOleObject, Via<IOleWindow, IOleInPlaceObject>, IOleInPlaceObject,
                   IOleInPlaceObjectWindowless, IOleInPlaceActiveObject, IOleControl, Via<IViewObject, IViewObjectEx>,
                   Via<IViewObject2, IViewObjectEx>, IViewObjectEx, IDataObject, Via<IPersist, IPersistStreamInit>,
                   IPersistStreamInit, IPersistStorage, ISpecifyPropertyPages, IQuickActivate,
                   Via<IProvideClassInfo, IProvideClassInfo2>, IProvideClassInfo2, IConnectionPointContainer>;

// Builds the ControlClassInfo from Derived's static members (see the top of this file).
template <class Derived>
ControlClassInfo MakeControlClassInfo() {
  ControlClassInfo info;
  info.clsid = &Derived::GetObjectCLSID();
  if constexpr (requires { Derived::kMiscStatus; }) info.miscStatus = Derived::kMiscStatus;
  if constexpr (requires { Derived::GetPropertyMap(); }) info.propertyMap = Derived::GetPropertyMap();
  if constexpr (requires { Derived::kDefaultSourceIid; }) info.defaultSourceIid = Derived::kDefaultSourceIid;
  if constexpr (requires { Derived::kLibId; }) info.libid = Derived::kLibId;
  if constexpr (requires { Derived::kLibVersionMajor; }) info.libMajor = Derived::kLibVersionMajor;
  if constexpr (requires { Derived::kLibVersionMinor; }) info.libMinor = Derived::kLibVersionMinor;
  if constexpr (requires { Derived::kWindowClassName; }) info.windowClassName = Derived::kWindowClassName;
  if constexpr (requires { Derived::kWindowClassStyle; }) info.windowClassStyle = Derived::kWindowClassStyle;
  if constexpr (requires { Derived::kWindowBackground; }) info.windowBackground = Derived::kWindowBackground;
  if constexpr (requires { Derived::kWindowOnly; }) info.windowOnly = Derived::kWindowOnly;
  if constexpr (requires { Derived::GetDialogTemplate(); }) info.dialogTemplate = &Derived::GetDialogTemplate;
  return info;
}

template <class Derived, class Impl = ControlImpl>
class ControlBase : public Impl {
 protected:
  ControlBase() {
    if constexpr (std::is_base_of_v<CompositeControlImpl, Impl>)
      this->SetExtentFromTemplate(Derived::GetDialogTemplate());
  }
  ~ControlBase() = default;

  const ControlClassInfo& ControlClass() const override {
    static const ControlClassInfo info = MakeControlClassInfo<Derived>();
    return info;
  }
  void* PropertyMapObject() override { return static_cast<Derived*>(this); }
};

// A composite control: Derived also gives `static const DLGTEMPLATE* GetDialogTemplate()`.
template <class Derived>
using CompositeControlBase = ControlBase<Derived, CompositeControlImpl>;

}  // namespace kelmira

// Message maps. A handler is `LRESULT OnX(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)`;
// bHandled starts TRUE, and a handler that sets it FALSE lets the message go on.
#define BEGIN_MSG_MAP(theClass)                                                                              \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override { \
    BOOL bHandled = TRUE;                                                                                    \
    (void)hWnd;                                                                                              \
    (void)bHandled;
#define MESSAGE_HANDLER(msg, func)                  \
  if (uMsg == (msg)) {                              \
    bHandled = TRUE;                                \
    lResult = func(uMsg, wParam, lParam, bHandled); \
    if (bHandled) return TRUE;                      \
  }
#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func) \
  if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {       \
    bHandled = TRUE;                                   \
    lResult = func(uMsg, wParam, lParam, bHandled);    \
    if (bHandled) return TRUE;                         \
  }
#define CHAIN_MSG_MAP(theBase) \
  if (theBase::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
#define END_MSG_MAP() \
  return FALSE;       \
  }
