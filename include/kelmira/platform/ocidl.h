// Control interfaces: connection points, property-change notification, class information and the
// standard font object (IFont, IFontDisp, OleCreateFontIndirect).
#pragma once

#include <kelmira/platform/objidl.h>
#include <kelmira/platform/oleauto.h>
#include <kelmira/platform/wingdi.h>

// ---------------------------------------------------------------------------------------------
// Connection points

struct IConnectionPointContainer;

struct CONNECTDATA {
  IUnknown* pUnk;
  DWORD dwCookie;
};
using LPCONNECTDATA = CONNECTDATA*;

struct IEnumConnections : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG cConnections, CONNECTDATA* rgcd, ULONG* pcFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG cConnections) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumConnections** ppEnum) = 0;
};
using LPENUMCONNECTIONS = IEnumConnections*;
KELMIRA_DEFINE_IID(IEnumConnections, 0xB196B287, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

struct IConnectionPoint : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** ppCPC) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) = 0;
};
using LPCONNECTIONPOINT = IConnectionPoint*;
KELMIRA_DEFINE_IID(IConnectionPoint, 0xB196B286, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

struct IEnumConnectionPoints : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG cConnections, IConnectionPoint** ppCP, ULONG* pcFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG cConnections) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** ppEnum) = 0;
};
using LPENUMCONNECTIONPOINTS = IEnumConnectionPoints*;
KELMIRA_DEFINE_IID(IEnumConnectionPoints, 0xB196B285, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

struct IConnectionPointContainer : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;
};
using LPCONNECTIONPOINTCONTAINER = IConnectionPointContainer*;
KELMIRA_DEFINE_IID(IConnectionPointContainer, 0xB196B284, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D,
                   0x07);

struct IPropertyNotifySink : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE OnChanged(DISPID dispID) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID dispID) = 0;
};
using LPPROPERTYNOTIFYSINK = IPropertyNotifySink*;
KELMIRA_DEFINE_IID(IPropertyNotifySink, 0x9BFBBC02, 0xEFF1, 0x101A, 0x84, 0xED, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

// ---------------------------------------------------------------------------------------------
// Class information

struct IProvideClassInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) = 0;
};
KELMIRA_DEFINE_IID(IProvideClassInfo, 0xB196B283, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);

constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

struct IProvideClassInfo2 : IProvideClassInfo {
  virtual HRESULT STDMETHODCALLTYPE GetGUID(DWORD dwGuidKind, GUID* pGUID) = 0;
};
KELMIRA_DEFINE_IID(IProvideClassInfo2, 0xA6BC3AC0, 0xDBAA, 0x11CE, 0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51);

// ---------------------------------------------------------------------------------------------
// Fonts

// The metrics record of a realised font (TEXTMETRICW, declared with the drawing API).
using TEXTMETRICOLE = TEXTMETRICW;
using LPTEXTMETRICOLE = TEXTMETRICOLE*;

// A font description. cySize is in points as currency (1/10000 point): 7 pt is 70000.
struct FONTDESC {
  UINT cbSizeofstruct;  // sizeof(FONTDESC)
  LPOLESTR lpstrName;
  CY cySize;
  SHORT sWeight;   // 0..1000; 400 normal, 700 bold
  SHORT sCharset;  // 0..255
  BOOL fItalic;
  BOOL fUnderline;
  BOOL fStrikethrough;
};
using LPFONTDESC = FONTDESC*;

struct IFont : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* pName) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Name(BSTR name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Size(CY* pSize) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Size(CY size) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Bold(BOOL* pBold) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Bold(BOOL bold) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Italic(BOOL* pItalic) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Italic(BOOL italic) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Underline(BOOL* pUnderline) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Underline(BOOL underline) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Strikethrough(BOOL* pStrikethrough) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Strikethrough(BOOL strikethrough) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Weight(SHORT* pWeight) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Weight(SHORT weight) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Charset(SHORT* pCharset) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Charset(SHORT charset) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_hFont(HFONT* phFont) = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IFont** ppFont) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsEqual(IFont* pFontOther) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetRatio(LONG cyLogical, LONG cyHimetric) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryTextMetrics(TEXTMETRICOLE* pTM) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddRefHfont(HFONT hFont) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseHfont(HFONT hFont) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHdc(HDC hDC) = 0;
};
using LPFONT = IFont*;
KELMIRA_DEFINE_IID(IFont, 0xBEF6E002, 0xA874, 0x101A, 0x8B, 0xBA, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB);

// The automation face of a font: properties by the dispatch identifiers below.
struct IFontDisp : IDispatch {};
using LPFONTDISP = IFontDisp*;
KELMIRA_DEFINE_IID(IFontDisp, 0xBEF6E003, 0xA874, 0x101A, 0x8B, 0xBA, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB);

constexpr DISPID DISPID_FONT_NAME = 0;
constexpr DISPID DISPID_FONT_SIZE = 2;
constexpr DISPID DISPID_FONT_BOLD = 3;
constexpr DISPID DISPID_FONT_ITALIC = 4;
constexpr DISPID DISPID_FONT_UNDER = 5;
constexpr DISPID DISPID_FONT_STRIKE = 6;
constexpr DISPID DISPID_FONT_WEIGHT = 7;
constexpr DISPID DISPID_FONT_CHARSET = 8;
constexpr DISPID DISPID_FONT_CHANGED = 9;

KELMIRA_DEFINE_GUID(CLSID_StdFont, 0x0BE35203, 0x8F91, 0x11CE, 0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51);

// Makes a standard font object from a description and asks it for riid. E_POINTER for a null
// description or out-pointer; E_INVALIDARG when cbSizeofstruct is not sizeof(FONTDESC) or a field
// is out of range (negative size, weight outside 0..1000, charset outside 0..255). A null name
// gives a font with an empty name.
//
// The object answers IFont, IFontDisp/IDispatch (the DISPID_FONT_* properties; names match
// without regard to case), IPersistStream/IPersist (class CLSID_StdFont; a versioned record of
// name, size, weight, charset and flags, checked whole before a Load changes anything) and
// IConnectionPointContainer with a point for IPropertyNotifySink, whose sinks hear OnChanged after
// every successful put. Face names compare without regard to case in IsEqual. get_hFont realises
// the description as a font handle (CreateFontIndirectA with lfHeight = -(size in HIMETRIC x
// cyLogical / cyHimetric), rounded; the ratio of SetRatio defaults to 96 logical units per inch,
// so 7 points give -9) and keeps answering that handle until an attribute or the ratio changes;
// the handle is deleted once no font object uses it and AddRefHfont locks are released.
// QueryTextMetrics reports that font's metrics. AddRefHfont and ReleaseHfont answer E_INVALIDARG
// for a handle no font has realised (or that was never locked).
KELMIRA_EXTERN_C HRESULT OleCreateFontIndirect(LPFONTDESC lpFontDesc, REFIID riid, LPVOID* lplpvObj);
