// Kelmira: the public type library as C++ declarations.
//
// Every interface is an abstract class with pure virtual methods in table order, derived from
// IDispatch or its base interface. `IID_<Interface>`, `DIID_<EventInterface>`, `CLSID_<Class>`
// and `LIBID_Kelmira` name the identities; `__uuidof(I)` works for every interface.
// The declarations are generated from typelib.def, the same lines that make the member tables
// behind IDispatch and ITypeInfo.
#pragma once

#include <kelmira/platform.h>

struct IFont;
struct IFontDisp;

#define KM_UNPAREN_(...) __VA_ARGS__
#define KM_IID_(I, ...) KELMIRA_DEFINE_IID(I, __VA_ARGS__)
#define KM_CPPNAME_KM_GET(m) get_##m
#define KM_CPPNAME_KM_PUT(m) put_##m
#define KM_CPPNAME_KM_PUTREF(m) putref_##m
#define KM_CPPNAME_KM_METHOD(m) m

// Pass 1: forward declarations, so members may name interfaces declared further down.
#define KM_LIBRARY(Name, major, minor, doc, guid)
#define KM_ENUM(Name, doc, guid)
#define KM_ENUM_VALUE(Name, Value, number)
#define KM_END_ENUM(Name)
#define KM_RECORD(Name, doc, guid)
#define KM_FIELD(Name, Type, field)
#define KM_END_RECORD(Name)
#define KM_INTERFACE(Name, Base, flags, doc, guid) struct Name;
#define KM_MEMBER(Name, kind, dispid, Member, params, mflags, defaults)
#define KM_END_INTERFACE(Name)
#define KM_DISPINTERFACE(Name, doc, guid)
#define KM_EVENT(Name, dispid, Member, params)
#define KM_END_DISPINTERFACE(Name)
#define KM_COCLASS(Name, flags, doc, guid)
#define KM_COCLASS_INTERFACE(Name, Interface, iflags)
#define KM_END_COCLASS(Name)
#include <kelmira/typelib.def>
#undef KM_LIBRARY
#undef KM_ENUM
#undef KM_ENUM_VALUE
#undef KM_END_ENUM
#undef KM_RECORD
#undef KM_FIELD
#undef KM_END_RECORD
#undef KM_INTERFACE
#undef KM_MEMBER
#undef KM_END_INTERFACE
#undef KM_DISPINTERFACE
#undef KM_EVENT
#undef KM_END_DISPINTERFACE
#undef KM_COCLASS
#undef KM_COCLASS_INTERFACE
#undef KM_END_COCLASS

// Pass 2: the declarations.
#define KM_LIBRARY(Name, major, minor, doc, guid) inline constexpr GUID LIBID_##Name = KELMIRA_GUID guid;
#define KM_ENUM(Name, doc, guid) enum Name : LONG {
#define KM_ENUM_VALUE(Name, Value, number) Value = number,
#define KM_END_ENUM(Name) \
  }                       \
  ;
#define KM_RECORD(Name, doc, guid) struct Name {
#define KM_FIELD(Name, Type, field) Type field;
#define KM_END_RECORD(Name) \
  }                         \
  ;
#define KM_INTERFACE(Name, Base, flags, doc, guid) \
  KM_IID_(Name, KM_UNPAREN_ guid);                 \
  struct Name : Base {
#define KM_MEMBER(Name, kind, dispid, Member, params, mflags, defaults) \
  virtual HRESULT STDMETHODCALLTYPE KM_CPPNAME_##kind(Member) params = 0;
#define KM_END_INTERFACE(Name) \
  }                            \
  ;
#define KM_DISPINTERFACE(Name, doc, guid) inline constexpr IID DIID_##Name = KELMIRA_GUID guid;
#define KM_EVENT(Name, dispid, Member, params)
#define KM_END_DISPINTERFACE(Name)
#define KM_COCLASS(Name, flags, doc, guid) inline constexpr CLSID CLSID_##Name = KELMIRA_GUID guid;
#define KM_COCLASS_INTERFACE(Name, Interface, iflags)
#define KM_END_COCLASS(Name)
#include <kelmira/typelib.def>
#undef KM_LIBRARY
#undef KM_ENUM
#undef KM_ENUM_VALUE
#undef KM_END_ENUM
#undef KM_RECORD
#undef KM_FIELD
#undef KM_END_RECORD
#undef KM_INTERFACE
#undef KM_MEMBER
#undef KM_END_INTERFACE
#undef KM_DISPINTERFACE
#undef KM_EVENT
#undef KM_END_DISPINTERFACE
#undef KM_COCLASS
#undef KM_COCLASS_INTERFACE
#undef KM_END_COCLASS

static_assert(sizeof(DrawLayerInfo) == 56, "DrawLayerInfo is a fixed 56-byte record");
static_assert(offsetof(DrawLayerInfo, XMin) == 24);

// Module entry points, exported by libkelmira.so.
KELMIRA_EXTERN_C HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
KELMIRA_EXTERN_C HRESULT DllCanUnloadNow();
KELMIRA_EXTERN_C HRESULT DllRegisterServer();
KELMIRA_EXTERN_C HRESULT DllUnregisterServer();
