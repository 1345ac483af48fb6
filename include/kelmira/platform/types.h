// Base types of the platform API: integer widths, HRESULT codes, GUIDs, handles and the
// calling-convention macros that desktop code expects. Everything here is plain data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

#define KELMIRA_API __attribute__((visibility("default")))
#define KELMIRA_EXTERN_C extern "C" KELMIRA_API

// Calling conventions do not exist here; desktop code names them, so they expand to nothing.
#define STDMETHODCALLTYPE
#define STDAPICALLTYPE
#define WINAPI
#define CALLBACK
#define APIENTRY
#define STDMETHOD(name) virtual HRESULT name
#define STDMETHOD_(type, name) virtual type name
#define STDMETHODIMP HRESULT
#define STDMETHODIMP_(type) type
#define PURE = 0

using BYTE = std::uint8_t;
using CHAR = char;
using WCHAR = char16_t;
using OLECHAR = char16_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using WORD = std::uint16_t;
using INT = std::int32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using BOOL = std::int32_t;
using FLOAT = float;
using DOUBLE = double;
using HRESULT = std::int32_t;
using SCODE = std::int32_t;
using LCID = std::uint32_t;
using LANGID = std::uint16_t;
using DISPID = std::int32_t;
using MEMBERID = std::int32_t;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using DATE = double;
using COLORREF = std::uint32_t;
using OLE_COLOR = std::uint32_t;
using OLE_HANDLE = std::int32_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPVOID = void*;
using LPCVOID = const void*;
using PVOID = void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Currency: a 64-bit integer scaled by 10000.
union CY {
  struct {
    ULONG Lo;
    LONG Hi;
  } s;
  LONGLONG int64;
};

// 96-bit decimal; only carried through variants, never converted here.
struct DECIMAL {
  USHORT wReserved;
  BYTE scale;
  BYTE sign;
  ULONG Hi32;
  ULONGLONG Lo64;
};

struct ULARGE_INTEGER {
  ULONGLONG QuadPart;
};
struct LARGE_INTEGER {
  LONGLONG QuadPart;
};
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// ---------------------------------------------------------------------------------------------
// HRESULT

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr int HRESULT_CODE(HRESULT hr) { return hr & 0xFFFF; }
constexpr int HRESULT_FACILITY(HRESULT hr) { return (hr >> 16) & 0x1FFF; }
constexpr HRESULT MAKE_HRESULT(unsigned sev, unsigned fac, unsigned code) {
  return static_cast<HRESULT>((sev << 31) | (fac << 16) | code);
}
constexpr HRESULT HRESULT_FROM_WIN32(unsigned long x) {
  return static_cast<HRESULT>(x) <= 0 ? static_cast<HRESULT>(x)
                                      : static_cast<HRESULT>((x & 0x0000FFFF) | (7 << 16) | 0x80000000);
}

#define KELMIRA_HR(v) static_cast<HRESULT>(static_cast<std::uint32_t>(v))
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = KELMIRA_HR(0x80004001);
constexpr HRESULT E_NOINTERFACE = KELMIRA_HR(0x80004002);
constexpr HRESULT E_POINTER = KELMIRA_HR(0x80004003);
constexpr HRESULT E_ABORT = KELMIRA_HR(0x80004004);
constexpr HRESULT E_FAIL = KELMIRA_HR(0x80004005);
constexpr HRESULT E_UNEXPECTED = KELMIRA_HR(0x8000FFFF);
constexpr HRESULT E_ACCESSDENIED = KELMIRA_HR(0x80070005);
constexpr HRESULT E_HANDLE = KELMIRA_HR(0x80070006);
constexpr HRESULT E_OUTOFMEMORY = KELMIRA_HR(0x8007000E);
constexpr HRESULT E_INVALIDARG = KELMIRA_HR(0x80070057);
constexpr HRESULT E_BOUNDS = KELMIRA_HR(0x8000000B);
constexpr HRESULT CO_E_NOTINITIALIZED = KELMIRA_HR(0x800401F0);
constexpr HRESULT CO_E_CLASSSTRING = KELMIRA_HR(0x800401F3);
constexpr HRESULT CO_E_DLLNOTFOUND = KELMIRA_HR(0x800401F8);
constexpr HRESULT CO_E_ERRORINDLL = KELMIRA_HR(0x800401F9);
constexpr HRESULT CO_E_APPNOTFOUND = KELMIRA_HR(0x800401F5);
constexpr HRESULT CLASS_E_NOAGGREGATION = KELMIRA_HR(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = KELMIRA_HR(0x80040111);
constexpr HRESULT REGDB_E_CLASSNOTREG = KELMIRA_HR(0x80040154);
constexpr HRESULT REGDB_E_READREGDB = KELMIRA_HR(0x80040150);
constexpr HRESULT REGDB_E_WRITEREGDB = KELMIRA_HR(0x80040151);
constexpr HRESULT REGDB_E_KEYMISSING = KELMIRA_HR(0x80040152);
constexpr HRESULT REGDB_E_IIDNOTREG = KELMIRA_HR(0x80040155);
constexpr HRESULT OLE_E_NOCONNECTION = KELMIRA_HR(0x80040004);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = KELMIRA_HR(0x80040003);
constexpr HRESULT OLE_E_NOTRUNNING = KELMIRA_HR(0x80040005);
constexpr HRESULT OLE_E_BLANK = KELMIRA_HR(0x80040007);
constexpr HRESULT OLE_S_USEREG = KELMIRA_HR(0x00040000);
constexpr HRESULT OLEOBJ_S_INVALIDVERB = KELMIRA_HR(0x00040180);
constexpr HRESULT OLEOBJ_E_NOVERBS = KELMIRA_HR(0x80040180);
constexpr HRESULT DV_E_FORMATETC = KELMIRA_HR(0x80040064);
constexpr HRESULT DV_E_LINDEX = KELMIRA_HR(0x80040068);
constexpr HRESULT DV_E_DVASPECT = KELMIRA_HR(0x8004006B);
constexpr HRESULT VIEW_E_DRAW = KELMIRA_HR(0x80040140);
constexpr HRESULT CONNECT_E_NOCONNECTION = KELMIRA_HR(0x80040200);
constexpr HRESULT CONNECT_E_ADVISELIMIT = KELMIRA_HR(0x80040201);
constexpr HRESULT CONNECT_E_CANNOTCONNECT = KELMIRA_HR(0x80040202);
constexpr HRESULT CONNECT_E_OVERRIDDEN = KELMIRA_HR(0x80040203);
constexpr HRESULT DISP_E_UNKNOWNINTERFACE = KELMIRA_HR(0x80020001);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = KELMIRA_HR(0x80020003);
constexpr HRESULT DISP_E_PARAMNOTFOUND = KELMIRA_HR(0x80020004);
constexpr HRESULT DISP_E_TYPEMISMATCH = KELMIRA_HR(0x80020005);
constexpr HRESULT DISP_E_UNKNOWNNAME = KELMIRA_HR(0x80020006);
constexpr HRESULT DISP_E_NONAMEDARGS = KELMIRA_HR(0x80020007);
constexpr HRESULT DISP_E_BADVARTYPE = KELMIRA_HR(0x80020008);
constexpr HRESULT DISP_E_EXCEPTION = KELMIRA_HR(0x80020009);
constexpr HRESULT DISP_E_OVERFLOW = KELMIRA_HR(0x8002000A);
constexpr HRESULT DISP_E_BADINDEX = KELMIRA_HR(0x8002000B);
constexpr HRESULT DISP_E_UNKNOWNLCID = KELMIRA_HR(0x8002000C);
constexpr HRESULT DISP_E_ARRAYISLOCKED = KELMIRA_HR(0x8002000D);
constexpr HRESULT DISP_E_BADPARAMCOUNT = KELMIRA_HR(0x8002000E);
constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = KELMIRA_HR(0x8002000F);
constexpr HRESULT DISP_E_BADCALLEE = KELMIRA_HR(0x80020010);
constexpr HRESULT DISP_E_NOTACOLLECTION = KELMIRA_HR(0x80020011);
constexpr HRESULT DISP_E_DIVBYZERO = KELMIRA_HR(0x80020012);
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = KELMIRA_HR(0x8002802B);
constexpr HRESULT TYPE_E_LIBNOTREGISTERED = KELMIRA_HR(0x8002801D);
constexpr HRESULT TYPE_E_CANTLOADLIBRARY = KELMIRA_HR(0x80029C4A);
constexpr HRESULT TYPE_E_INVALIDSTATE = KELMIRA_HR(0x80028029);
constexpr HRESULT TYPE_E_REGISTRYACCESS = KELMIRA_HR(0x8002801C);
constexpr HRESULT TYPE_E_BADMODULEKIND = KELMIRA_HR(0x800288BD);
constexpr HRESULT STG_E_INVALIDFUNCTION = KELMIRA_HR(0x80030001);
constexpr HRESULT STG_E_FILENOTFOUND = KELMIRA_HR(0x80030002);
constexpr HRESULT STG_E_PATHNOTFOUND = KELMIRA_HR(0x80030003);
constexpr HRESULT STG_E_ACCESSDENIED = KELMIRA_HR(0x80030005);
constexpr HRESULT STG_E_INVALIDHANDLE = KELMIRA_HR(0x80030006);
constexpr HRESULT STG_E_INSUFFICIENTMEMORY = KELMIRA_HR(0x80030008);
constexpr HRESULT STG_E_INVALIDPOINTER = KELMIRA_HR(0x80030009);
constexpr HRESULT STG_E_WRITEFAULT = KELMIRA_HR(0x8003001D);
constexpr HRESULT STG_E_READFAULT = KELMIRA_HR(0x8003001E);
constexpr HRESULT STG_E_MEDIUMFULL = KELMIRA_HR(0x80030070);
constexpr HRESULT STG_E_FILEALREADYEXISTS = KELMIRA_HR(0x80030050);
constexpr HRESULT STG_E_INVALIDPARAMETER = KELMIRA_HR(0x80030057);
constexpr HRESULT STG_E_INVALIDNAME = KELMIRA_HR(0x800300FC);
constexpr HRESULT STG_E_INVALIDFLAG = KELMIRA_HR(0x800300FF);
constexpr HRESULT STG_E_CANTSAVE = KELMIRA_HR(0x80030103);
constexpr HRESULT STG_E_OLDFORMAT = KELMIRA_HR(0x80030104);
constexpr HRESULT STG_E_OLDDLL = KELMIRA_HR(0x80030105);
constexpr HRESULT STG_E_UNKNOWN = KELMIRA_HR(0x800300FD);
constexpr HRESULT STG_E_DOCFILECORRUPT = KELMIRA_HR(0x80030109);
constexpr HRESULT STG_E_SEEKERROR = KELMIRA_HR(0x80030019);
constexpr HRESULT STG_E_REVERTED = KELMIRA_HR(0x80030102);
constexpr HRESULT STG_S_CONVERTED = KELMIRA_HR(0x00030200);
constexpr HRESULT ERROR_FILE_NOT_FOUND_HR = KELMIRA_HR(0x80070002);
constexpr HRESULT ERROR_INVALID_DATA_HR = KELMIRA_HR(0x8007000D);

// Win32 error codes returned by the registry and loader functions.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_BAD_FORMAT = 11;
constexpr LONG ERROR_INVALID_DATA = 13;
constexpr LONG ERROR_OUTOFMEMORY = 14;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_READ_FAULT = 30;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_NO_UNICODE_TRANSLATION = 1113;
constexpr LONG ERROR_INTERNAL_ERROR = 1359;
constexpr LONG ERROR_BADDB = 1009;
constexpr LONG ERROR_BADKEY = 1010;
constexpr LONG ERROR_CANTREAD = 1012;
constexpr LONG ERROR_CANTWRITE = 1013;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr LONG ERROR_MOD_NOT_FOUND = 126;
constexpr LONG ERROR_PROC_NOT_FOUND = 127;

// ---------------------------------------------------------------------------------------------
// GUID

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPGUID = GUID*;
using LPIID = IID*;
using LPCLSID = CLSID*;

constexpr bool IsEqualGUID(REFGUID a, REFGUID b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
constexpr bool IsEqualIID(REFIID a, REFIID b) { return IsEqualGUID(a, b); }
constexpr bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return IsEqualGUID(a, b); }
constexpr bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
constexpr bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }
// Total order so GUIDs can key ordered containers.
inline bool operator<(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }

template <>
struct std::hash<GUID> {
  std::size_t operator()(const GUID& g) const noexcept {
    std::uint64_t a, b;
    std::memcpy(&a, &g, 8);
    std::memcpy(&b, reinterpret_cast<const char*>(&g) + 8, 8);
    return std::hash<std::uint64_t>()(a * 0x9E3779B97F4A7C15ull ^ b);
  }
};

#define KELMIRA_GUID(l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  GUID {                                                        \
    l, w1, w2, { b1, b2, b3, b4, b5, b6, b7, b8 }               \
  }

inline constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_NULL = GUID_NULL;
inline constexpr CLSID CLSID_NULL = GUID_NULL;

// ---------------------------------------------------------------------------------------------
// Geometry and small helpers shared by the drawing and window APIs.

struct POINT {
  LONG x;
  LONG y;
};
struct POINTL {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
using SIZEL = SIZE;
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using RECTL = RECT;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(std::uintptr_t v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(std::uintptr_t v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr LONG MAKELONG(WORD lo, WORD hi) {
  return static_cast<LONG>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16));
}
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(lo, hi))); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(lo, hi))); }
constexpr LRESULT MAKELRESULT(WORD lo, WORD hi) { return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(lo, hi))); }
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lp))); }
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

constexpr LCID LOCALE_USER_DEFAULT = 0x400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x800;
constexpr LCID LOCALE_NEUTRAL = 0;
constexpr LCID LOCALE_INVARIANT = 0x7F;

// ---------------------------------------------------------------------------------------------
// Handles: distinct opaque pointer types whose values are small integers from handle tables, so
// they survive a round trip through a 32-bit field. 0 is "none".

#define KELMIRA_DECLARE_HANDLE(name) \
  struct name##__ {                  \
    int unused;                      \
  };                                 \
  using name = name##__*

KELMIRA_DECLARE_HANDLE(HWND);
KELMIRA_DECLARE_HANDLE(HDC);
KELMIRA_DECLARE_HANDLE(HBITMAP);
KELMIRA_DECLARE_HANDLE(HPEN);
KELMIRA_DECLARE_HANDLE(HBRUSH);
KELMIRA_DECLARE_HANDLE(HFONT);
KELMIRA_DECLARE_HANDLE(HRGN);
KELMIRA_DECLARE_HANDLE(HPALETTE);
KELMIRA_DECLARE_HANDLE(HCURSOR);
KELMIRA_DECLARE_HANDLE(HICON);
KELMIRA_DECLARE_HANDLE(HMENU);
KELMIRA_DECLARE_HANDLE(HINSTANCE);
KELMIRA_DECLARE_HANDLE(HKEY);
KELMIRA_DECLARE_HANDLE(HACCEL);
KELMIRA_DECLARE_HANDLE(HMETAFILE);
KELMIRA_DECLARE_HANDLE(HENHMETAFILE);
using HMODULE = HINSTANCE;
using HGDIOBJ = void*;
using HANDLE = void*;
using HGLOBAL = void*;

// A handle value as an integer and back; handles are small table indices.
template <class H>
constexpr std::uint32_t HandleToUlong(H h) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h));
}
template <class H>
inline H UlongToHandle(std::uint32_t v) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(v));
}
