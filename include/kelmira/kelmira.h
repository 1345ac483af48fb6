// Kelmira: the public type library as C++ declarations.
//
// Every interface is an abstract class with pure virtual methods in table order, derived from
// IDispatch or its base interface. `IID_<Interface>`, `DIID_<EventInterface>`, `CLSID_<Class>`
// and `LIBID_Kelmira` name the identities; `__uuidof(I)` works for every interface.
// The declarations are generated from typelib.def, the same lines that make the member tables
// behind IDispatch and ITypeInfo, so the two cannot drift apart.
#pragma once

#include <kelmira/platform.h>

#define KM_DEF_FILE <kelmira/typelib.def>
#define KM_DEF_DECLARATIONS
#include <kelmira/platform/dispatch_def.inc>

static_assert(sizeof(DrawLayerInfo) == 56, "DrawLayerInfo is a fixed 56-byte record");
static_assert(offsetof(DrawLayerInfo, XMin) == 24);

// Module entry points, exported by libkelmira.so.
KELMIRA_EXTERN_C HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
KELMIRA_EXTERN_C HRESULT DllCanUnloadNow();
KELMIRA_EXTERN_C HRESULT DllRegisterServer();
KELMIRA_EXTERN_C HRESULT DllUnregisterServer();
