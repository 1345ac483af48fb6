// The embedding interfaces of OLE controls: objects and their sites, in-place activation (with
// and without a window), views and their advise sinks, data objects and advise holders, control
// information, property pages and quick activation, with the desktop platform's method orders,
// identifiers and constants.
//
// Extents are in HIMETRIC units (0.01 mm); screens here have 96 pixels per inch, so one inch is
// 96 pixels and 2540 HIMETRIC.
#pragma once

#include <kelmira/platform/objidl.h>
#include <kelmira/platform/ocidl.h>
#include <kelmira/platform/wingdi.h>
#include <kelmira/platform/winuser.h>

struct IMoniker;
struct IBindCtx;
struct IDropTarget;
struct IOleClientSite;
struct IOleContainer;
struct IOleInPlaceActiveObject;
struct IDataObject;
struct IEnumOLEVERB;
struct IEnumSTATDATA;
struct IEnumFORMATETC;
struct IAdviseSink;

// ---------------------------------------------------------------------------------------------
// Result codes of the embedding interfaces

constexpr HRESULT OLE_E_OLEVERB = KELMIRA_HR(0x80040000);
constexpr HRESULT OLE_E_ADVF = KELMIRA_HR(0x80040001);
constexpr HRESULT OLE_E_ENUM_NOMORE = KELMIRA_HR(0x80040002);
constexpr HRESULT OLE_E_NOCACHE = KELMIRA_HR(0x80040006);
constexpr HRESULT OLE_E_CLASSDIFF = KELMIRA_HR(0x80040008);
constexpr HRESULT OLE_E_CANT_GETMONIKER = KELMIRA_HR(0x80040009);
constexpr HRESULT OLE_E_STATIC = KELMIRA_HR(0x8004000B);
constexpr HRESULT OLE_E_PROMPTSAVECANCELLED = KELMIRA_HR(0x8004000C);
constexpr HRESULT OLE_E_INVALIDRECT = KELMIRA_HR(0x8004000D);
constexpr HRESULT OLE_E_INVALIDHWND = KELMIRA_HR(0x8004000F);
constexpr HRESULT OLE_E_NOT_INPLACEACTIVE = KELMIRA_HR(0x80040010);
constexpr HRESULT OLE_E_NOSTORAGE = KELMIRA_HR(0x80040012);
constexpr HRESULT OLEOBJ_E_INVALIDVERB = KELMIRA_HR(0x80040181);
constexpr HRESULT OLEOBJ_S_CANNOT_DOVERB_NOW = KELMIRA_HR(0x00040181);
constexpr HRESULT DV_E_DVTARGETDEVICE = KELMIRA_HR(0x80040065);
constexpr HRESULT DV_E_STGMEDIUM = KELMIRA_HR(0x80040066);
constexpr HRESULT DV_E_STATDATA = KELMIRA_HR(0x80040067);
constexpr HRESULT DV_E_TYMED = KELMIRA_HR(0x80040069);
constexpr HRESULT DV_E_CLIPFORMAT = KELMIRA_HR(0x8004006A);
constexpr HRESULT DV_E_NOIVIEWOBJECT = KELMIRA_HR(0x8004006E);
constexpr HRESULT VIEW_S_ALREADY_FROZEN = KELMIRA_HR(0x00040140);
constexpr HRESULT INPLACE_E_NOTUNDOABLE = KELMIRA_HR(0x800401A0);
constexpr HRESULT INPLACE_E_NOTOOLSPACE = KELMIRA_HR(0x800401A1);

// ---------------------------------------------------------------------------------------------
// Constants

// Miscellaneous status bits (IOleObject::GetMiscStatus).
constexpr DWORD OLEMISC_RECOMPOSEONRESIZE = 0x1;
constexpr DWORD OLEMISC_ONLYICONIC = 0x2;
constexpr DWORD OLEMISC_INSERTNOTREPLACE = 0x4;
constexpr DWORD OLEMISC_STATIC = 0x8;
constexpr DWORD OLEMISC_CANTLINKINSIDE = 0x10;
constexpr DWORD OLEMISC_CANLINKBYOLE1 = 0x20;
constexpr DWORD OLEMISC_ISLINKOBJECT = 0x40;
constexpr DWORD OLEMISC_INSIDEOUT = 0x80;
constexpr DWORD OLEMISC_ACTIVATEWHENVISIBLE = 0x100;
constexpr DWORD OLEMISC_RENDERINGISDEVICEINDEPENDENT = 0x200;
constexpr DWORD OLEMISC_INVISIBLEATRUNTIME = 0x400;
constexpr DWORD OLEMISC_ALWAYSRUN = 0x800;
constexpr DWORD OLEMISC_ACTSLIKEBUTTON = 0x1000;
constexpr DWORD OLEMISC_ACTSLIKELABEL = 0x2000;
constexpr DWORD OLEMISC_NOUIACTIVATE = 0x4000;
constexpr DWORD OLEMISC_ALIGNABLE = 0x8000;
constexpr DWORD OLEMISC_SIMPLEFRAME = 0x10000;
constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x20000;
constexpr DWORD OLEMISC_IMEMODE = 0x40000;
constexpr DWORD OLEMISC_IGNOREACTIVATEWHENVISIBLE = 0x80000;
constexpr DWORD OLEMISC_WANTSTOMENUMERGE = 0x100000;
constexpr DWORD OLEMISC_SUPPORTSMULTILEVELUNDO = 0x200000;

// Standard verbs (IOleObject::DoVerb).
constexpr LONG OLEIVERB_PRIMARY = 0;
constexpr LONG OLEIVERB_SHOW = -1;
constexpr LONG OLEIVERB_OPEN = -2;
constexpr LONG OLEIVERB_HIDE = -3;
constexpr LONG OLEIVERB_UIACTIVATE = -4;
constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;
constexpr LONG OLEIVERB_DISCARDUNDOSTATE = -6;
constexpr LONG OLEIVERB_PROPERTIES = -7;

// OLEVERB flags and attributes.
constexpr DWORD OLEVERBATTRIB_NEVERDIRTIES = 1;
constexpr DWORD OLEVERBATTRIB_ONCONTAINERMENU = 2;

// IOleObject::Close
constexpr DWORD OLECLOSE_SAVEIFDIRTY = 0;
constexpr DWORD OLECLOSE_NOSAVE = 1;
constexpr DWORD OLECLOSE_PROMPTSAVE = 2;

// Monikers (GetMoniker / SetMoniker)
constexpr DWORD OLEGETMONIKER_ONLYIFTHERE = 1;
constexpr DWORD OLEGETMONIKER_FORCEASSIGN = 2;
constexpr DWORD OLEGETMONIKER_UNASSIGN = 3;
constexpr DWORD OLEGETMONIKER_TEMPFORUSER = 4;
constexpr DWORD OLEWHICHMK_CONTAINER = 1;
constexpr DWORD OLEWHICHMK_OBJREL = 2;
constexpr DWORD OLEWHICHMK_OBJFULL = 3;

// IOleObject::GetUserType
constexpr DWORD USERCLASSTYPE_FULL = 1;
constexpr DWORD USERCLASSTYPE_SHORT = 2;
constexpr DWORD USERCLASSTYPE_APPNAME = 3;

// Drawing aspects.
constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD DVASPECT_THUMBNAIL = 2;
constexpr DWORD DVASPECT_ICON = 4;
constexpr DWORD DVASPECT_DOCPRINT = 8;
constexpr DWORD DVASPECT_OPAQUE = 16;
constexpr DWORD DVASPECT_TRANSPARENT = 32;

// Advise flags (IViewObject::SetAdvise, IDataObject::DAdvise).
constexpr DWORD ADVF_NODATA = 1;
constexpr DWORD ADVF_PRIMEFIRST = 2;
constexpr DWORD ADVF_ONLYONCE = 4;
constexpr DWORD ADVFCACHE_NOHANDLER = 8;
constexpr DWORD ADVFCACHE_FORCEBUILTIN = 16;
constexpr DWORD ADVFCACHE_ONSAVE = 32;
constexpr DWORD ADVF_DATAONSTOP = 64;

// Storage media.
constexpr DWORD TYMED_NULL = 0;
constexpr DWORD TYMED_HGLOBAL = 1;
constexpr DWORD TYMED_FILE = 2;
constexpr DWORD TYMED_ISTREAM = 4;
constexpr DWORD TYMED_ISTORAGE = 8;
constexpr DWORD TYMED_GDI = 16;
constexpr DWORD TYMED_MFPICT = 32;
constexpr DWORD TYMED_ENHMF = 64;

constexpr DWORD DATADIR_GET = 1;
constexpr DWORD DATADIR_SET = 2;

// View status (IViewObjectEx::GetViewStatus).
constexpr DWORD VIEWSTATUS_OPAQUE = 1;
constexpr DWORD VIEWSTATUS_SOLIDBKGND = 2;
constexpr DWORD VIEWSTATUS_DVASPECTOPAQUE = 4;
constexpr DWORD VIEWSTATUS_DVASPECTTRANSPARENT = 8;
constexpr DWORD VIEWSTATUS_SURFACE = 16;
constexpr DWORD VIEWSTATUS_3DSURFACE = 32;

// Hit testing (IViewObjectEx::QueryHitPoint / QueryHitRect).
constexpr DWORD HITRESULT_OUTSIDE = 0;
constexpr DWORD HITRESULT_TRANSPARENT = 1;
constexpr DWORD HITRESULT_CLOSE = 2;
constexpr DWORD HITRESULT_HIT = 3;

// IViewObjectEx::GetNaturalExtent
constexpr DWORD DVEXTENT_CONTENT = 0;
constexpr DWORD DVEXTENT_INTEGRAL = 1;

// IOleInPlaceSiteEx::OnInPlaceActivateEx
constexpr DWORD ACTIVATE_WINDOWLESS = 1;

// IOleInPlaceSiteWindowless::GetDC
constexpr DWORD OLEDC_NODRAW = 0x1;
constexpr DWORD OLEDC_PAINTBKGND = 0x2;
constexpr DWORD OLEDC_OFFSCREEN = 0x4;

// CONTROLINFO::dwFlags
constexpr DWORD CTRLINFO_EATS_RETURN = 1;
constexpr DWORD CTRLINFO_EATS_ESCAPE = 2;

// IOleControlSite::TransformCoords
constexpr DWORD XFORMCOORDS_POSITION = 0x1;
constexpr DWORD XFORMCOORDS_SIZE = 0x2;
constexpr DWORD XFORMCOORDS_HIMETRICTOCONTAINER = 0x4;
constexpr DWORD XFORMCOORDS_CONTAINERTOHIMETRIC = 0x8;

// QACONTAINER::dwAmbientFlags
constexpr DWORD QACONTAINER_SHOWHATCHING = 0x1;
constexpr DWORD QACONTAINER_SHOWGRABHANDLES = 0x2;
constexpr DWORD QACONTAINER_USERMODE = 0x4;
constexpr DWORD QACONTAINER_DISPLAYASDEFAULT = 0x8;
constexpr DWORD QACONTAINER_UIDEAD = 0x10;
constexpr DWORD QACONTAINER_AUTOCLIP = 0x20;
constexpr DWORD QACONTAINER_MESSAGEREFLECT = 0x40;
constexpr DWORD QACONTAINER_SUPPORTSMNEMONICS = 0x80;

// Stock property dispatch identifiers (besides those declared with the automation values).
constexpr DISPID DISPID_AUTOSIZE = -500;
constexpr DISPID DISPID_BACKSTYLE = -502;
constexpr DISPID DISPID_BORDERCOLOR = -503;
constexpr DISPID DISPID_BORDERSTYLE = -504;
constexpr DISPID DISPID_BORDERWIDTH = -505;
constexpr DISPID DISPID_DRAWMODE = -507;
constexpr DISPID DISPID_DRAWSTYLE = -508;
constexpr DISPID DISPID_DRAWWIDTH = -509;
constexpr DISPID DISPID_FILLCOLOR = -510;
constexpr DISPID DISPID_FILLSTYLE = -511;
constexpr DISPID DISPID_TABSTOP = -516;
constexpr DISPID DISPID_TEXT = -517;
constexpr DISPID DISPID_CAPTION = -518;
constexpr DISPID DISPID_BORDERVISIBLE = -519;
constexpr DISPID DISPID_AMBIENT_BACKCOLOR = -701;
constexpr DISPID DISPID_AMBIENT_FONT = -703;
constexpr DISPID DISPID_AMBIENT_FORECOLOR = -704;
constexpr DISPID DISPID_AMBIENT_USERMODE = -709;

// The stock property pages.
KELMIRA_DEFINE_GUID(CLSID_StockFontPage, 0x7EBDAAE0, 0x8120, 0x11CF, 0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x88, 0xB5);
KELMIRA_DEFINE_GUID(CLSID_StockColorPage, 0x7EBDAAE1, 0x8120, 0x11CF, 0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x88, 0xB5);
KELMIRA_DEFINE_GUID(CLSID_StockPicturePage, 0x7EBDAAE2, 0x8120, 0x11CF, 0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x88, 0xB5);

// ---------------------------------------------------------------------------------------------
// Structures

using CLIPFORMAT = WORD;
using HOLEMENU = HGLOBAL;
using LPCBORDERWIDTHS = LPCRECT;
using LPBORDERWIDTHS = LPRECT;
using LPCRECTL = const RECTL*;
using LPRECTL = RECTL*;
using LPSIZEL = SIZEL*;

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};
struct LOGPALETTE {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
};
using LPLOGPALETTE = LOGPALETTE*;

struct POINTF {
  FLOAT x;
  FLOAT y;
};

// A target device for rendering; the offsets point into tdData.
struct DVTARGETDEVICE {
  DWORD tdSize;
  WORD tdDriverNameOffset;
  WORD tdDeviceNameOffset;
  WORD tdPortNameOffset;
  WORD tdExtDevmodeOffset;
  BYTE tdData[1];
};

struct FORMATETC {
  CLIPFORMAT cfFormat;
  DVTARGETDEVICE* ptd;
  DWORD dwAspect;
  LONG lindex;
  DWORD tymed;
};
using LPFORMATETC = FORMATETC*;

struct STGMEDIUM {
  DWORD tymed;
  union {
    HBITMAP hBitmap;
    HANDLE hMetaFilePict;
    HENHMETAFILE hEnhMetaFile;
    HGLOBAL hGlobal;
    LPOLESTR lpszFileName;
    IStream* pstm;
    IStorage* pstg;
  };
  IUnknown* pUnkForRelease;
};
using LPSTGMEDIUM = STGMEDIUM*;

// One advise connection of a holder; pAdvSink carries a reference for the receiver.
struct STATDATA {
  FORMATETC formatetc;
  DWORD advf;
  IAdviseSink* pAdvSink;
  DWORD dwConnection;
};
using LPSTATDATA = STATDATA*;

struct OLEVERB {
  LONG lVerb;
  LPOLESTR lpszVerbName;
  DWORD fuFlags;
  DWORD grfAttribs;
};
using LPOLEVERB = OLEVERB*;

struct OLEINPLACEFRAMEINFO {
  UINT cb;
  BOOL fMDIApp;
  HWND hwndFrame;
  HACCEL haccel;
  UINT cAccelEntries;
};
using LPOLEINPLACEFRAMEINFO = OLEINPLACEFRAMEINFO*;

struct OLEMENUGROUPWIDTHS {
  LONG width[6];
};
using LPOLEMENUGROUPWIDTHS = OLEMENUGROUPWIDTHS*;

struct CONTROLINFO {
  ULONG cb;
  HACCEL hAccel;
  USHORT cAccel;
  DWORD dwFlags;
};
using LPCONTROLINFO = CONTROLINFO*;

struct DVEXTENTINFO {
  ULONG cb;
  DWORD dwExtentMode;
  SIZEL sizelProposed;
};

// A counted array of GUIDs; pElems is allocated with CoTaskMemAlloc and freed by the receiver.
struct CAUUID {
  ULONG cElems;
  GUID* pElems;
};
using LPCAUUID = CAUUID*;

// ---------------------------------------------------------------------------------------------
// Enumerators

struct IEnumUnknown : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG celt) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumUnknown** ppenum) = 0;
};
KELMIRA_DEFINE_IID(IEnumUnknown, 0x00000100, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IEnumFORMATETC : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG celt) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** ppenum) = 0;
};
KELMIRA_DEFINE_IID(IEnumFORMATETC, 0x00000103, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IEnumOLEVERB : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG celt, LPOLEVERB rgelt, ULONG* pceltFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG celt) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumOLEVERB** ppenum) = 0;
};
KELMIRA_DEFINE_IID(IEnumOLEVERB, 0x00000104, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// Each STATDATA handed out carries a reference to its sink, which the receiver releases.
struct IEnumSTATDATA : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG celt, STATDATA* rgelt, ULONG* pceltFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG celt) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumSTATDATA** ppenum) = 0;
};
KELMIRA_DEFINE_IID(IEnumSTATDATA, 0x00000105, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// ---------------------------------------------------------------------------------------------
// Notification sinks. The notifications return nothing: the sender does not wait for an answer.

struct IAdviseSink : IUnknown {
  virtual void STDMETHODCALLTYPE OnDataChange(FORMATETC* pFormatetc, STGMEDIUM* pStgmed) = 0;
  virtual void STDMETHODCALLTYPE OnViewChange(DWORD dwAspect, LONG lindex) = 0;
  virtual void STDMETHODCALLTYPE OnRename(IMoniker* pmk) = 0;
  virtual void STDMETHODCALLTYPE OnSave() = 0;
  virtual void STDMETHODCALLTYPE OnClose() = 0;
};
using LPADVISESINK = IAdviseSink*;
KELMIRA_DEFINE_IID(IAdviseSink, 0x0000010F, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IAdviseSinkEx : IAdviseSink {
  virtual void STDMETHODCALLTYPE OnViewStatusChange(DWORD dwViewStatus) = 0;
};
KELMIRA_DEFINE_IID(IAdviseSinkEx, 0x3AF24290, 0x0C96, 0x11CE, 0xA0, 0xCF, 0x00, 0xAA, 0x00, 0x60, 0x0A, 0xB8);

// ---------------------------------------------------------------------------------------------
// Data objects and advise holders

struct IDataObject : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pformatetc) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* pformatectIn, FORMATETC* pformatetcOut) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) = 0;
  virtual HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                                            DWORD* pdwConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE DUnadvise(DWORD dwConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** ppenumAdvise) = 0;
};
using LPDATAOBJECT = IDataObject*;
KELMIRA_DEFINE_IID(IDataObject, 0x0000010E, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// The connections of an object's IOleObject::Advise.
struct IOleAdviseHolder : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* pAdvise, DWORD* pdwConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) = 0;
  virtual HRESULT STDMETHODCALLTYPE SendOnRename(IMoniker* pmk) = 0;
  virtual HRESULT STDMETHODCALLTYPE SendOnSave() = 0;
  virtual HRESULT STDMETHODCALLTYPE SendOnClose() = 0;
};
KELMIRA_DEFINE_IID(IOleAdviseHolder, 0x00000111, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// The connections of an object's IDataObject::DAdvise.
struct IDataAdviseHolder : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Advise(IDataObject* pDataObject, FORMATETC* pFetc, DWORD advf, IAdviseSink* pAdvise,
                                           DWORD* pdwConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) = 0;
  virtual HRESULT STDMETHODCALLTYPE SendOnDataChange(IDataObject* pDataObject, DWORD dwReserved, DWORD advf) = 0;
};
KELMIRA_DEFINE_IID(IDataAdviseHolder, 0x00000110, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// ---------------------------------------------------------------------------------------------
// Views

struct IViewObject : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                                         HDC hdcTargetDev, HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds,
                                         BOOL(STDMETHODCALLTYPE* pfnContinue)(ULONG_PTR), ULONG_PTR dwContinue) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetColorSet(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                                                HDC hicTargetDev, LOGPALETTE** ppColorSet) = 0;
  virtual HRESULT STDMETHODCALLTYPE Freeze(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DWORD* pdwFreeze) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unfreeze(DWORD dwFreeze) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) = 0;
};
KELMIRA_DEFINE_IID(IViewObject, 0x0000010D, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IViewObject2 : IViewObject {
  virtual HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, LONG lindex, DVTARGETDEVICE* ptd,
                                              LPSIZEL lpsizel) = 0;
};
KELMIRA_DEFINE_IID(IViewObject2, 0x00000127, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IViewObjectEx : IViewObject2 {
  virtual HRESULT STDMETHODCALLTYPE GetRect(DWORD dwAspect, LPRECTL pRect) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* pdwStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD dwAspect, LPCRECT pRectBounds, POINT ptlLoc, LONG lCloseHint,
                                                  DWORD* pHitResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD dwAspect, LPCRECT pRectBounds, LPCRECT pRectLoc, LONG lCloseHint,
                                                 DWORD* pHitResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD dwAspect, LONG lindex, DVTARGETDEVICE* ptd, HDC hicTargetDev,
                                                     DVEXTENTINFO* pExtentInfo, LPSIZEL pSizel) = 0;
};
KELMIRA_DEFINE_IID(IViewObjectEx, 0x3AF24292, 0x0C96, 0x11CE, 0xA0, 0xCF, 0x00, 0xAA, 0x00, 0x60, 0x0A, 0xB8);

// ---------------------------------------------------------------------------------------------
// Containers, sites and objects

struct IParseDisplayName : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* pbc, LPOLESTR pszDisplayName, ULONG* pchEaten,
                                                     IMoniker** ppmkOut) = 0;
};
KELMIRA_DEFINE_IID(IParseDisplayName, 0x0000011A, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleContainer : IParseDisplayName {
  virtual HRESULT STDMETHODCALLTYPE EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockContainer(BOOL fLock) = 0;
};
KELMIRA_DEFINE_IID(IOleContainer, 0x0000011B, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleClientSite : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SaveObject() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) = 0;
  virtual HRESULT STDMETHODCALLTYPE ShowObject() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL fShow) = 0;
  virtual HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() = 0;
};
using LPOLECLIENTSITE = IOleClientSite*;
KELMIRA_DEFINE_IID(IOleClientSite, 0x00000118, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleObject : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pClientSite) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ppClientSite) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) = 0;
  virtual HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
  virtual HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                                           HWND hwndParent, LPCRECT lprcPosRect) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) = 0;
  virtual HRESULT STDMETHODCALLTYPE Update() = 0;
  virtual HRESULT STDMETHODCALLTYPE IsUpToDate() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* pClsid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* pLogpal) = 0;
};
using LPOLEOBJECT = IOleObject*;
KELMIRA_DEFINE_IID(IOleObject, 0x00000112, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleWindow : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) = 0;
  virtual HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) = 0;
};
using LPOLEWINDOW = IOleWindow*;
KELMIRA_DEFINE_IID(IOleWindow, 0x00000114, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleInPlaceUIWindow : IOleWindow {
  virtual HRESULT STDMETHODCALLTYPE GetBorder(LPRECT lprectBorder) = 0;
  virtual HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS pborderwidths) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS pborderwidths) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) = 0;
};
KELMIRA_DEFINE_IID(IOleInPlaceUIWindow, 0x00000115, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleInPlaceFrame : IOleInPlaceUIWindow {
  virtual HRESULT STDMETHODCALLTYPE InsertMenus(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMenu(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU hmenuShared) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR pszStatusText) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) = 0;
  virtual HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg, WORD wID) = 0;
};
KELMIRA_DEFINE_IID(IOleInPlaceFrame, 0x00000116, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleInPlaceActiveObject : IOleWindow {
  virtual HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL fActivate) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL fActivate) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                                 BOOL fFrameWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) = 0;
};
KELMIRA_DEFINE_IID(IOleInPlaceActiveObject, 0x00000117, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleInPlaceObject : IOleWindow {
  virtual HRESULT STDMETHODCALLTYPE InPlaceDeactivate() = 0;
  virtual HRESULT STDMETHODCALLTYPE UIDeactivate() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReactivateAndUndo() = 0;
};
KELMIRA_DEFINE_IID(IOleInPlaceObject, 0x00000113, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleInPlaceObjectWindowless : IOleInPlaceObject {
  virtual HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** ppDropTarget) = 0;
};
KELMIRA_DEFINE_IID(IOleInPlaceObjectWindowless, 0x1C2056CC, 0x5EF4, 0x101B, 0x8B, 0xC8, 0x00, 0xAA, 0x00, 0x3E, 0x3B,
                   0x29);

struct IOleInPlaceSite : IOleWindow {
  virtual HRESULT STDMETHODCALLTYPE CanInPlaceActivate() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnInPlaceActivate() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnUIActivate() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                                     LPRECT lprcPosRect, LPRECT lprcClipRect,
                                                     LPOLEINPLACEFRAMEINFO lpFrameInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE Scroll(SIZE scrollExtant) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL fUndoable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() = 0;
  virtual HRESULT STDMETHODCALLTYPE DiscardUndoState() = 0;
  virtual HRESULT STDMETHODCALLTYPE DeactivateAndUndo() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT lprcPosRect) = 0;
};
KELMIRA_DEFINE_IID(IOleInPlaceSite, 0x00000119, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IOleInPlaceSiteEx : IOleInPlaceSite {
  virtual HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL fNoRedraw) = 0;
  virtual HRESULT STDMETHODCALLTYPE RequestUIActivate() = 0;
};
KELMIRA_DEFINE_IID(IOleInPlaceSiteEx, 0x9C2CAD80, 0x3424, 0x11CF, 0xB6, 0x70, 0x00, 0xAA, 0x00, 0x4C, 0xD6, 0xD8);

// The site of a control that is active without a window of its own: the site captures, focuses,
// invalidates and hands out device contexts on the control's behalf.
struct IOleInPlaceSiteWindowless : IOleInPlaceSiteEx {
  virtual HRESULT STDMETHODCALLTYPE CanWindowlessActivate() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCapture() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCapture(BOOL fCapture) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocus() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetFocus(BOOL fFocus) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDC(LPCRECT pRect, DWORD grfFlags, HDC* phDC) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT pRect, BOOL fErase) = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN hRGN, BOOL fErase) = 0;
  virtual HRESULT STDMETHODCALLTYPE ScrollRect(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) = 0;
  virtual HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT prc) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) = 0;
};
KELMIRA_DEFINE_IID(IOleInPlaceSiteWindowless, 0x922EADA0, 0x3424, 0x11CF, 0xB6, 0x70, 0x00, 0xAA, 0x00, 0x4C, 0xD6,
                   0xD8);

// ---------------------------------------------------------------------------------------------
// Controls

struct IOleControl : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* pCI) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* pMsg) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispID) = 0;
  virtual HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL bFreeze) = 0;
};
KELMIRA_DEFINE_IID(IOleControl, 0xB196B288, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

struct IOleControlSite : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE OnControlInfoChanged() = 0;
  virtual HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL fLock) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** ppDisp) = 0;
  virtual HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg, DWORD grfModifiers) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnFocus(BOOL fGotFocus) = 0;
  virtual HRESULT STDMETHODCALLTYPE ShowPropertyFrame() = 0;
};
KELMIRA_DEFINE_IID(IOleControlSite, 0xB196B289, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

struct ISpecifyPropertyPages : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) = 0;
};
KELMIRA_DEFINE_IID(ISpecifyPropertyPages, 0xB196B28B, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

// ---------------------------------------------------------------------------------------------
// Property pages

// What a page tells its frame about itself. The strings are allocated with CoTaskMemAlloc and
// freed by the caller; size is the page's size in pixels.
struct PROPPAGEINFO {
  ULONG cb;  // sizeof(PROPPAGEINFO)
  LPOLESTR pszTitle;
  SIZE size;
  LPOLESTR pszDocString;
  LPOLESTR pszHelpFile;
  DWORD dwHelpContext;
};
using LPPROPPAGEINFO = PROPPAGEINFO*;

// Status bits a page reports through IPropertyPageSite::OnStatusChange.
constexpr DWORD PROPPAGESTATUS_DIRTY = 0x1;
constexpr DWORD PROPPAGESTATUS_VALIDATE = 0x2;
constexpr DWORD PROPPAGESTATUS_CLEAN = 0x4;

struct IPropertyPageSite : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD dwFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* pLocaleID) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** ppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg) = 0;
};
KELMIRA_DEFINE_IID(IPropertyPageSite, 0xB196B28C, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

struct IPropertyPage : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* pPageSite) = 0;
  virtual HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) = 0;
  virtual HRESULT STDMETHODCALLTYPE Deactivate() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* pPageInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetObjects(ULONG cObjects, IUnknown** ppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE Show(UINT nCmdShow) = 0;
  virtual HRESULT STDMETHODCALLTYPE Move(LPCRECT pRect) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsPageDirty() = 0;
  virtual HRESULT STDMETHODCALLTYPE Apply() = 0;
  virtual HRESULT STDMETHODCALLTYPE Help(LPCOLESTR pszHelpDir) = 0;
  virtual HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg) = 0;
};
KELMIRA_DEFINE_IID(IPropertyPage, 0xB196B28D, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

// A modal property frame owned by hwndOwner at (x, y) in its client coordinates, captioned
// "<caption> Properties" (just "Properties" for a null caption): one tab per page class in
// pPageClsID, each page created by class identifier and given the cObjects objects; OK applies
// every dirty page and closes, Apply applies the dirty pages and stays, Cancel closes without
// applying. S_OK once the frame has closed (whichever button closed it); E_POINTER for null
// arrays with nonzero counts; E_INVALIDARG with no pages. A page class that is not registered is
// left out; when none is left, or a page fails to be made for another reason, that error is
// returned and no frame is shown. A page whose IPropertyPage::Apply fails keeps the frame open on
// that page.
KELMIRA_EXTERN_C HRESULT OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR lpszCaption, ULONG cObjects,
                                                IUnknown** ppUnk, ULONG cPages, const CLSID* pPageClsID, LCID lcid,
                                                DWORD dwReserved, void* pvReserved);

// What a container hands a control in one call instead of many (IQuickActivate).
struct QACONTAINER {
  ULONG cbSize;
  IOleClientSite* pClientSite;
  IAdviseSinkEx* pAdviseSink;
  IPropertyNotifySink* pPropertyNotifySink;
  IUnknown* pUnkEventSink;
  DWORD dwAmbientFlags;
  OLE_COLOR colorFore;
  OLE_COLOR colorBack;
  IFont* pFont;
  IUnknown* pUndoMgr;
  DWORD dwAppearance;
  LONG lcid;
  HPALETTE hpal;
  IUnknown* pBindHost;
  IUnknown* pOleControlSite;
  IUnknown* pServiceProvider;
};

// What the control answers.
struct QACONTROL {
  ULONG cbSize;
  DWORD dwMiscStatus;
  DWORD dwViewStatus;
  DWORD dwEventCookie;
  DWORD dwPropNotifyCookie;
  DWORD dwPointerActivationPolicy;
};

struct IQuickActivate : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* pQaContainer, QACONTROL* pQaControl) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL pSizel) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL pSizel) = 0;
};
KELMIRA_DEFINE_IID(IQuickActivate, 0xCF51ED10, 0x62FE, 0x11CF, 0xBF, 0x86, 0x00, 0xA0, 0xC9, 0x03, 0x48, 0x36);

// ---------------------------------------------------------------------------------------------
// Functions

// Advise holders that keep connections in connection order (cookies count up from 1 and are not
// reused). Sinks are referenced while connected. SendOnDataChange asks the data object for the
// connection's format unless ADVF_NODATA was given; when it has none the sink still hears of the
// change, with a TYMED_NULL medium. ADVF_ONLYONCE connections end after their first notification;
// ADVF_PRIMEFIRST sends one notification from Advise.
KELMIRA_EXTERN_C HRESULT CreateOleAdviseHolder(IOleAdviseHolder** ppOAHolder);
KELMIRA_EXTERN_C HRESULT CreateDataAdviseHolder(IDataAdviseHolder** ppDAHolder);

// Frees what a medium holds (a global block, a file name, a stream or storage reference) or
// releases pUnkForRelease instead when it is set; the medium becomes TYMED_NULL.
KELMIRA_EXTERN_C void ReleaseStgMedium(STGMEDIUM* pmedium);

// The miscellaneous status of a class from the registry: HKCR\CLSID\{clsid}\MiscStatus\<aspect>,
// else the MiscStatus key's default value (decimal text or a DWORD). REGDB_E_CLASSNOTREG when the
// class has no CLSID key, REGDB_E_KEYMISSING when it has no MiscStatus key (*pdwStatus 0).
KELMIRA_EXTERN_C HRESULT OleRegGetMiscStatus(REFCLSID clsid, DWORD dwAspect, DWORD* pdwStatus);

// HIMETRIC and pixels at 96 pixels per inch, rounded to the nearest unit (halves away from zero).
constexpr LONG HIMETRIC_PER_INCH = 2540;
namespace kelmira {
constexpr LONG kPixelsPerInch = 96;
constexpr LONG MulDivRound(LONG value, LONG numerator, LONG denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<LONG>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}
constexpr LONG HimetricFromPixels(LONG pixels) { return MulDivRound(pixels, HIMETRIC_PER_INCH, kPixelsPerInch); }
constexpr LONG PixelsFromHimetric(LONG himetric) { return MulDivRound(himetric, kPixelsPerInch, HIMETRIC_PER_INCH); }
}  // namespace kelmira

inline void AtlPixelToHiMetric(const SIZEL* lpSizeInPix, LPSIZEL lpSizeInHiMetric) {
  if (!lpSizeInPix || !lpSizeInHiMetric) return;
  lpSizeInHiMetric->cx = kelmira::HimetricFromPixels(lpSizeInPix->cx);
  lpSizeInHiMetric->cy = kelmira::HimetricFromPixels(lpSizeInPix->cy);
}
inline void AtlHiMetricToPixel(const SIZEL* lpSizeInHiMetric, LPSIZEL lpSizeInPix) {
  if (!lpSizeInHiMetric || !lpSizeInPix) return;
  lpSizeInPix->cx = kelmira::PixelsFromHimetric(lpSizeInHiMetric->cx);
  lpSizeInPix->cy = kelmira::PixelsFromHimetric(lpSizeInHiMetric->cy);
}
