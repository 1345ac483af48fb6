// Automation values: BSTR, VARIANT, DISPPARAMS, IDispatch, code-page conversion and OLE dates.
//
// A BSTR is a UTF-16 string preceded by a 32-bit byte length and followed by a NUL; it may hold
// embedded NULs. A VARIANT is the tagged union of the desktop platform with the same field names
// (vt, lVal, dblVal, bstrVal, ...), 24 bytes on a 64-bit build.
#pragma once

#include <kelmira/platform/unknwn.h>

#include <utility>

using BSTR = OLECHAR*;
using LPBSTR = BSTR*;

struct IDispatch;
struct ITypeInfo;
struct ITypeLib;
struct IRecordInfo;

struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
};
struct SAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  PVOID pvData;
  SAFEARRAYBOUND rgsabound[1];
};
using LPSAFEARRAY = SAFEARRAY*;

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_PTR = 26,
  VT_SAFEARRAY = 27,
  VT_CARRAY = 28,
  VT_USERDEFINED = 29,
  VT_LPSTR = 30,
  VT_LPWSTR = 31,
  VT_RECORD = 36,
  VT_INT_PTR = 37,
  VT_UINT_PTR = 38,
  VT_VECTOR = 0x1000,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
  VT_RESERVED = 0x8000,
  VT_ILLEGAL = 0xFFFF,
  VT_ILLEGALMASKED = 0x0FFF,
  VT_TYPEMASK = 0x0FFF,
};

struct VARIANT {
  union {
    struct {
      VARTYPE vt;
      WORD wReserved1;
      WORD wReserved2;
      WORD wReserved3;
      union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        CY cyVal;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        LONGLONG* pllVal;
        FLOAT* pfltVal;
        DOUBLE* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        CY* pcyVal;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        SAFEARRAY** pparray;
        VARIANT* pvarVal;
        PVOID byref;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        ULONGLONG ullVal;
        INT intVal;
        UINT uintVal;
        DECIMAL* pdecVal;
        CHAR* pcVal;
        USHORT* puiVal;
        ULONG* pulVal;
        ULONGLONG* pullVal;
        INT* pintVal;
        UINT* puintVal;
        struct {
          PVOID pvRecord;
          IRecordInfo* pRecInfo;
        } brecVal;
      };
    };
    DECIMAL decVal;
  };
};
using VARIANTARG = VARIANT;
using LPVARIANT = VARIANT*;
using LPVARIANTARG = VARIANT*;
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*));

#define V_VT(v) ((v)->vt)
#define V_I4(v) ((v)->lVal)
#define V_I2(v) ((v)->iVal)
#define V_R4(v) ((v)->fltVal)
#define V_R8(v) ((v)->dblVal)
#define V_BOOL(v) ((v)->boolVal)
#define V_BSTR(v) ((v)->bstrVal)
#define V_DISPATCH(v) ((v)->pdispVal)
#define V_UNKNOWN(v) ((v)->punkVal)
#define V_DATE(v) ((v)->date)
#define V_CY(v) ((v)->cyVal)
#define V_ERROR(v) ((v)->scode)
#define V_UI4(v) ((v)->ulVal)
#define V_BYREF(v) ((v)->byref)
#define V_ISBYREF(v) (((v)->vt & VT_BYREF) != 0)

struct DISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  PVOID pvReserved;
  HRESULT(STDAPICALLTYPE* pfnDeferredFillIn)(EXCEPINFO*);
  SCODE scode;
};

constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr DISPID DISPID_NEWENUM = -4;
constexpr DISPID DISPID_EVALUATE = -5;
constexpr DISPID DISPID_CONSTRUCTOR = -6;
constexpr DISPID DISPID_DESTRUCTOR = -7;
constexpr DISPID DISPID_BACKCOLOR = -501;
constexpr DISPID DISPID_FORECOLOR = -513;
constexpr DISPID DISPID_FONT = -512;
constexpr DISPID DISPID_HWND = -515;
constexpr DISPID DISPID_ENABLED = -514;

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

struct IDispatch : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                                  DISPID* rgDispId) = 0;
  virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                           UINT* puArgErr) = 0;
};
using LPDISPATCH = IDispatch*;
KELMIRA_DEFINE_IID(IDispatch, 0x00020400, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// Describes a user-defined record so that a VT_RECORD variant can copy and free its record.
struct IRecordInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE RecordInit(PVOID pvNew) = 0;
  virtual HRESULT STDMETHODCALLTYPE RecordClear(PVOID pvExisting) = 0;
  virtual HRESULT STDMETHODCALLTYPE RecordCopy(PVOID pvExisting, PVOID pvNew) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetGuid(GUID* pguid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* pbstrName) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSize(ULONG* pcbSize) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo** ppTypeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetField(PVOID pvData, LPCOLESTR szFieldName, VARIANT* pvarField) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID pvData, LPCOLESTR szFieldName, VARIANT* pvarField,
                                                   PVOID* ppvDataCArray) = 0;
  virtual HRESULT STDMETHODCALLTYPE PutField(ULONG wFlags, PVOID pvData, LPCOLESTR szFieldName, VARIANT* pvarField) = 0;
  virtual HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG wFlags, PVOID pvData, LPCOLESTR szFieldName,
                                                   VARIANT* pvarField) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG* pcNames, BSTR* rgBstrNames) = 0;
  virtual BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo* pRecordInfo) = 0;
  virtual PVOID STDMETHODCALLTYPE RecordCreate() = 0;
  virtual HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID pvSource, PVOID* ppvDest) = 0;
  virtual HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID pvRecord) = 0;
};
KELMIRA_DEFINE_IID(IRecordInfo, 0x0000002F, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// ---------------------------------------------------------------------------------------------
// BSTR
//
// Allocation functions return NULL when memory runs out or the length does not fit (a BSTR holds
// at most 0x7FFFFFFE bytes). A NULL BSTR is the empty string: its length is 0.
// SysAllocString(NULL) gives NULL; SysAllocStringLen and SysAllocStringByteLen with a NULL source
// give zero-filled content of the requested length. SysReAllocString(pbstr, NULL) makes an empty
// string; SysReAllocStringLen(pbstr, NULL, len) keeps the old content that fits and zero-fills
// the rest. The source may point into the string being reallocated. Both return FALSE (leaving
// *pbstr alone) for a NULL pbstr or a failed allocation.

KELMIRA_EXTERN_C BSTR SysAllocString(const OLECHAR* psz);
KELMIRA_EXTERN_C BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch);
KELMIRA_EXTERN_C BSTR SysAllocStringByteLen(LPCSTR psz, UINT len);
KELMIRA_EXTERN_C INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz);
KELMIRA_EXTERN_C INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len);
KELMIRA_EXTERN_C void SysFreeString(BSTR bstr);
KELMIRA_EXTERN_C UINT SysStringLen(BSTR bstr);
KELMIRA_EXTERN_C UINT SysStringByteLen(BSTR bstr);

// ---------------------------------------------------------------------------------------------
// Code pages: the ANSI code page is Windows-1252.
//
// CP_ACP, CP_OEMCP, CP_THREAD_ACP and 1252 all name Windows-1252; CP_UTF8 is UTF-8; any other
// code page fails with ERROR_INVALID_PARAMETER. A length of -1 means NUL-terminated, and the NUL
// is converted and counted. An output size of 0 asks for the size needed; a buffer that is too
// small gives 0 and ERROR_INSUFFICIENT_BUFFER. Failures set the thread's last error.
//
// Windows-1252: every byte maps to a character (the five bytes the code page leaves undefined map
// to the control characters of the same value). Characters it cannot hold become the default
// character ('?' or lpDefaultChar[0]), one per character (a surrogate pair is one character);
// there is no best-fit mapping.
// UTF-8: ill-formed input becomes U+FFFD, one per maximal ill-formed subsequence, unless
// MB_ERR_INVALID_CHARS (or WC_ERR_INVALID_CHARS for lone surrogates) asks for failure with
// ERROR_NO_UNICODE_TRANSLATION. lpDefaultChar and lpUsedDefaultChar must be NULL.

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_1252 = 1252;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_PRECOMPOSED = 0x1;
constexpr DWORD MB_COMPOSITE = 0x2;
constexpr DWORD MB_USEGLYPHCHARS = 0x4;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;
constexpr DWORD WC_DISCARDNS = 0x10;
constexpr DWORD WC_SEPCHARS = 0x20;
constexpr DWORD WC_DEFAULTCHAR = 0x40;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;
constexpr DWORD WC_COMPOSITECHECK = 0x200;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;
constexpr LONG ERROR_INVALID_FLAGS = 1004;

KELMIRA_EXTERN_C UINT GetACP();
KELMIRA_EXTERN_C int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                         LPWSTR lpWideCharStr, int cchWideChar);
KELMIRA_EXTERN_C int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                         LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                         BOOL* lpUsedDefaultChar);
KELMIRA_EXTERN_C DWORD GetLastError();
KELMIRA_EXTERN_C void SetLastError(DWORD dwErrCode);

// ---------------------------------------------------------------------------------------------
// VARIANT
//
// VariantClear frees what the variant owns (BSTR, interface reference, VT_RECORD through its
// IRecordInfo::RecordDestroy) and leaves VT_EMPTY; references (VT_BYREF) are not followed.
// VariantCopy makes a deep copy (BSTR duplicated, interfaces AddRef'd, records through
// RecordCreateCopy); VariantCopyInd also follows VT_BYREF. Arrays (VT_ARRAY) are not supported
// and give DISP_E_BADVARTYPE. On failure the destination is left as it was.
//
// VariantChangeType(Ex) converts between VT_EMPTY, VT_NULL, VT_I1/I2/I4/I8, VT_UI1/UI2/UI4/UI8,
// VT_INT/UINT, VT_R4, VT_R8, VT_CY, VT_DATE, VT_BSTR, VT_BOOL, VT_ERROR, VT_DISPATCH and
// VT_UNKNOWN, with VT_BYREF sources followed. The locale is accepted and US English is used.
// Source and destination may be the same variant; on failure the destination is unchanged.
//   - A type converts to itself by copy. VT_EMPTY, VT_NULL and VT_ERROR are reached only from
//     themselves; VT_NULL and VT_ERROR convert to nothing else.
//   - VT_EMPTY gives 0, 0.0, "" and FALSE.
//   - To integers: reals, dates and currency round half to even; a result out of the target's
//     range (or NaN) is DISP_E_OVERFLOW. VT_BOOL and hexadecimal or octal text ("&H1F", "&O17")
//     are bit patterns: they fit a target of their width whether signed or not (TRUE to VT_UI1
//     is 255, "&HFFFF" to VT_I2 is -1).
//   - To VT_R4: finite values beyond the float range are DISP_E_OVERFLOW. To VT_CY: the value
//     scaled by 10000, rounded half to even, must fit 64 bits. To VT_DATE: the value must lie
//     within 100-01-01 .. 9999-12-31.
//   - Text to numbers: blanks around, a sign, digits with ',' thousands separators, a decimal
//     point, an exponent (e or E), or &H/&O literals; decimal text converts exactly to integers
//     and currency. Anything else, including empty text, is DISP_E_TYPEMISMATCH.
//   - Text to VT_BOOL: "True"/"False" (also "#TRUE#"/"#FALSE#"), any case, or a number.
//   - Text to VT_DATE: a number of days, or a date, a time, or a date followed by a time. Dates
//     are M/D/Y or M-D-Y, Y-M-D or Y/M/D (a year of three or four digits first), "Jan 15 2003",
//     "Jan 15, 2003", "15 Jan 2003" or "15-Jan-2003" (English month names, full or three
//     letters). A one- or two-digit year means 1930..2029. Times are h:mm, h:mm:ss or
//     h:mm:ss.fff, 24-hour or with AM/PM (also "8 AM"); "T" may separate date and time.
//   - Numbers to VT_BOOL: non-zero is VARIANT_TRUE. VT_BOOL to numbers: its stored value (-1, 0).
//   - To VT_BSTR: integers in decimal; VT_R8 with 15 and VT_R4 with 7 significant digits, in
//     exponent form "1E+20" / "1E-05" when the exponent is below -4 or not below the digits;
//     VT_CY with up to four decimals and no trailing zeros; VT_DATE as "M/D/YYYY h:mm:ss AM",
//     without the date on day 0 and without the time at midnight ("12:00:00 AM" for 0.0);
//     VT_BOOL as "True"/"False" with VARIANT_ALPHABOOL or VARIANT_LOCALBOOL, else "-1"/"0".
//   - VT_DISPATCH to other than VT_DISPATCH/VT_UNKNOWN: the object's default value
//     (IDispatch::Invoke of DISPID_VALUE, DISPATCH_PROPERTYGET) converted in turn; a NULL object,
//     VARIANT_NOVALUEPROP or an object without a default value is DISP_E_TYPEMISMATCH.
//     VT_UNKNOWN and VT_DISPATCH convert to each other by QueryInterface (E_NOINTERFACE is
//     DISP_E_TYPEMISMATCH); a NULL object stays NULL.
//   - Types outside the list (and VT_ARRAY, VT_BYREF targets) are DISP_E_BADVARTYPE; listed
//     types without a conversion between them are DISP_E_TYPEMISMATCH.

constexpr USHORT VARIANT_NOVALUEPROP = 0x1;
constexpr USHORT VARIANT_ALPHABOOL = 0x2;
constexpr USHORT VARIANT_NOUSEROVERRIDE = 0x4;
constexpr USHORT VARIANT_LOCALBOOL = 0x10;

KELMIRA_EXTERN_C void VariantInit(VARIANTARG* pvarg);
KELMIRA_EXTERN_C HRESULT VariantClear(VARIANTARG* pvarg);
KELMIRA_EXTERN_C HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);
KELMIRA_EXTERN_C HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc);
KELMIRA_EXTERN_C HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt);
KELMIRA_EXTERN_C HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid, USHORT wFlags,
                                             VARTYPE vt);

// ---------------------------------------------------------------------------------------------
// OLE dates: days since 1899-12-30; the fraction is the time of day, counted forward even for
// negative dates (-1.25 is 1899-12-29 06:00). The range is 100-01-01 .. 9999-12-31 23:59:59.
//
// VariantTimeToSystemTime rounds to the nearest second (a rounding up to midnight moves to the
// next day), fills wDayOfWeek (0 = Sunday) and leaves wMilliseconds 0; it returns FALSE outside
// the range. SystemTimeToVariantTime takes the year as given (no two-digit window), ignores
// wDayOfWeek and wMilliseconds, and returns FALSE for fields out of range.

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
using LPSYSTEMTIME = SYSTEMTIME*;

KELMIRA_EXTERN_C INT VariantTimeToSystemTime(DOUBLE vtime, LPSYSTEMTIME lpSystemTime);
KELMIRA_EXTERN_C INT SystemTimeToVariantTime(LPSYSTEMTIME lpSystemTime, DOUBLE* pvtime);
// Month name from the process locale's LC_TIME (the stand-alone form where the locale has one);
// iMonth 1..12, fAbbrev non-zero for the short form, dwFlags 0. Bad arguments give E_INVALIDARG,
// a NULL pbstrOut E_POINTER.
KELMIRA_EXTERN_C HRESULT VarMonthName(int iMonth, int fAbbrev, ULONG dwFlags, BSTR* pbstrOut);

// ---------------------------------------------------------------------------------------------
// RAII helpers for the two value types that need freeing.

namespace kelmira {

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const OLECHAR* s) : s_(s ? SysAllocString(s) : nullptr) {}
  Bstr(const Bstr& o) : s_(o.s_ ? SysAllocStringLen(o.s_, SysStringLen(o.s_)) : nullptr) {}
  Bstr(Bstr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
  Bstr& operator=(Bstr o) noexcept {
    std::swap(s_, o.s_);
    return *this;
  }
  ~Bstr() { SysFreeString(s_); }

  // Takes ownership of an existing BSTR.
  static Bstr Attach(BSTR s) {
    Bstr b;
    b.s_ = s;
    return b;
  }
  BSTR Detach() { return std::exchange(s_, nullptr); }
  BSTR get() const { return s_; }
  BSTR* operator&() {  // for out-arguments; frees what was held
    SysFreeString(std::exchange(s_, nullptr));
    return &s_;
  }
  UINT length() const { return SysStringLen(s_); }
  explicit operator bool() const { return s_ != nullptr; }

 private:
  BSTR s_ = nullptr;
};

// Owns one VARIANT; cleared on destruction.
class Variant : public VARIANT {
 public:
  Variant() { VariantInit(this); }
  Variant(const Variant& o) {
    VariantInit(this);
    VariantCopy(this, &o);
  }
  Variant& operator=(const Variant& o) {
    if (this != &o) VariantCopy(this, &o);
    return *this;
  }
  ~Variant() { VariantClear(this); }
  void Clear() { VariantClear(this); }
};

}  // namespace kelmira
