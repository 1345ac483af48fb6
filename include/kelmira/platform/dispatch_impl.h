// Generic IDispatch, ITypeInfo and ITypeLib over member tables.
//
// A module describes its type library once, in a .def file of KM_* lines (see
// kelmira/typelib.def for the format). kelmira/platform/dispatch_def.inc expands such a file into
// C++ declarations or into the plain-data tables below; the tables are registered with
// RegisterTypeLibraryInfo when the module loads. Parameter types are deduced from the C++ member
// function pointers, never written by hand, so a table cannot disagree with its interface.
//
//   class LineData : public kelmira::DispatchImpl<ILineData> { ... };
//
// DispatchImpl<I> implements IDispatch for I by finding I's table by IID in the process-wide
// registry (GetTypeInfo, GetIDsOfNames and Invoke also serve ITypeInfo of the same tables):
//   - GetIDsOfNames: riid must be IID_NULL; names compare without regard to case; the names
//     after the first are parameter names of that member, their ids the parameter positions.
//   - Invoke: rgvarg holds the arguments in reverse order; named arguments go to their
//     positions. DISPATCH_METHOD finds a method, else (with DISPATCH_PROPERTYGET) the get; a get
//     without arguments also answers DISPATCH_METHOD alone. Puts take their value as the one
//     named argument DISPID_PROPERTYPUT (missing: DISP_E_PARAMNOTOPTIONAL; other names:
//     DISP_E_NONAMEDARGS). DISPATCH_PROPERTYPUTREF falls back to the put when there is no
//     putref; DISPATCH_PROPERTYPUT falls back to the putref only for an object value.
//   - Arguments convert with VariantChangeType (VT_BYREF followed); a failure returns its code
//     (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW) with *puArgErr the index in rgvarg. Omitted
//     optional parameters, and those passed as VT_ERROR/DISP_E_PARAMNOTFOUND, take their
//     defaults; a required one passed that way is DISP_E_PARAMNOTOPTIONAL, too few or too many
//     arguments DISP_E_BADPARAMCOUNT. Out-arguments are VT_BYREF|<their type> or
//     VT_BYREF|VT_VARIANT; interfaces come as VT_DISPATCH/VT_UNKNOWN (VT_EMPTY for null) and
//     are queried for the parameter's interface; records as VT_RECORD.
//   - pVarResult is initialised and receives the retval (data pointers as VT_BYREF|VT_R4 and
//     the like, interfaces as VT_DISPATCH or VT_UNKNOWN). A failing member gives its HRESULT,
//     or DISP_E_EXCEPTION with EXCEPINFO (scode, source = the interface's name) when asked for.
#pragma once

#include <kelmira/platform/com_ptr.h>
#include <kelmira/platform/typeinfo.h>

#include <atomic>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

namespace kelmira {

// ---------------------------------------------------------------------------------------------
// Table types: plain data, built at compile time by dispatch_def.inc.

// The values are those of INVOKEKIND.
enum class MemberKind : WORD { Method = 1, Get = 2, Put = 4, PutRef = 8 };

inline constexpr UINT kMemberRetval = 0x1;     // a method's last parameter is its retval
inline constexpr UINT kInterfaceDual = 0x1;    // vtable and dispatch
inline constexpr UINT kInterfaceHidden = 0x2;  // has a table, not listed in the library
inline constexpr UINT kCoClassCreatable = 0x1;
inline constexpr UINT kCoClassControl = 0x2;
inline constexpr UINT kCoClassDeclaredOnly = 0x4;  // in the library, without implementation
inline constexpr UINT kImplDefault = 0x1;          // IMPLTYPEFLAG_FDEFAULT
inline constexpr UINT kImplSource = 0x2;           // IMPLTYPEFLAG_FSOURCE

// The spellings the .def files use.
namespace def {
inline constexpr MemberKind KM_GET = MemberKind::Get;
inline constexpr MemberKind KM_PUT = MemberKind::Put;
inline constexpr MemberKind KM_PUTREF = MemberKind::PutRef;
inline constexpr MemberKind KM_METHOD = MemberKind::Method;
inline constexpr UINT KM_RETVAL = kMemberRetval;
inline constexpr UINT KM_DUAL = kInterfaceDual;
inline constexpr UINT KM_HIDDEN_FROM_LIBRARY = kInterfaceHidden;
inline constexpr UINT KM_CREATABLE = kCoClassCreatable;
inline constexpr UINT KM_CONTROL = kCoClassControl;
inline constexpr UINT KM_DECLARED_ONLY = kCoClassDeclaredOnly;
inline constexpr UINT KM_IMPL_DEFAULT = kImplDefault;
inline constexpr UINT KM_IMPL_SOURCE = kImplSource;
}  // namespace def

enum class TypeClass : BYTE {
  Value,      // scalar, BSTR or VARIANT: vt says which
  Enum,       // VT_I4 in variants; guid names the enumeration when it is in a library
  Record,     // by value; VT_RECORD in variants; guid names the record when it is in a library
  Interface,  // an interface pointer I*: VT_DISPATCH or VT_UNKNOWN; guid is I's IID
  Pointer,    // T* of anything else: pointee describes T
};

// What one C++ parameter or field type is, in automation terms.
struct TypeDesc {
  TypeClass cls;
  VARTYPE vt;
  const TypeDesc* pointee;
  const GUID* guid;
  ULONG size;
};

// Converts the arguments (already in parameter order, retval excluded) and calls the member on
// self (an interface pointer of the member's interface). Returns a conversion failure with
// *badParam set, or S_OK with the member's own result in *callResult.
using InvokeThunk = HRESULT (*)(void* self, const VARIANT* const* args, bool lastIsRetval, VARIANT* result,
                                UINT* badParam, HRESULT* callResult);

struct MemberInfo {
  const char* name;  // the member's name without get_/put_/putref_
  DISPID dispid;
  MemberKind kind;
  bool retval;            // the last parameter is the retval (always for a get)
  const char* paramList;  // the C++ parameter list as written, "(LONG index, double* pVal)"
  const char* defaults;   // "name=value;name=value" for optional parameters
  const TypeDesc* const* params;
  UINT paramCount;
  InvokeThunk thunk;  // null for events, which have no vtable
};

struct InterfaceInfo {
  const char* name;
  const IID* iid;
  const IID* base;  // IID_IDispatch, IID_IUnknown or an interface of the same library
  UINT flags;       // kInterfaceDual, kInterfaceHidden
  const char* doc;
  const MemberInfo* members;
  UINT memberCount;
  UINT vtableFirst;  // vtable slot of the first own member (IUnknown's three come first)
};

// An event interface, called only through IDispatch::Invoke.
struct DispInterfaceInfo {
  const char* name;
  const IID* iid;
  const char* doc;
  const MemberInfo* events;
  UINT eventCount;
};

struct EnumValueInfo {
  const char* name;
  LONG value;
};

struct EnumInfo {
  const char* name;
  const GUID* guid;
  const char* doc;
  const EnumValueInfo* values;
  UINT valueCount;
};

struct FieldInfo {
  const char* name;
  ULONG offset;
  const TypeDesc* type;
};

struct RecordTypeInfo {
  const char* name;
  const GUID* guid;
  const char* doc;
  ULONG size;
  ULONG alignment;
  const FieldInfo* fields;
  UINT fieldCount;
};

struct CoClassInterfaceInfo {
  const IID* iid;
  UINT flags;  // kImplDefault, kImplSource
};

struct CoClassInfo {
  const char* name;
  const CLSID* clsid;
  UINT flags;  // kCoClassCreatable, kCoClassControl, kCoClassDeclaredOnly
  const char* doc;
  const CoClassInterfaceInfo* interfaces;
  UINT interfaceCount;
};

enum class TypeEntryKind : BYTE { Enum, Record, Interface, DispInterface, CoClass };

// One type of a library, in declaration order; exactly one pointer is set.
struct TypeEntry {
  TypeEntryKind kind;
  const EnumInfo* enumInfo;
  const RecordTypeInfo* record;
  const InterfaceInfo* interfaceInfo;
  const DispInterfaceInfo* dispInterface;
  const CoClassInfo* coclass;
};

struct TypeLibraryInfo {
  const char* name;
  const GUID* libid;
  WORD major;
  WORD minor;
  const char* doc;
  const TypeEntry* types;
  UINT typeCount;
};

constexpr TypeEntry MakeTypeEntry(const EnumInfo& e) {
  return {TypeEntryKind::Enum, &e, nullptr, nullptr, nullptr, nullptr};
}
constexpr TypeEntry MakeTypeEntry(const RecordTypeInfo& r) {
  return {TypeEntryKind::Record, nullptr, &r, nullptr, nullptr, nullptr};
}
constexpr TypeEntry MakeTypeEntry(const InterfaceInfo& i) {
  return {TypeEntryKind::Interface, nullptr, nullptr, &i, nullptr, nullptr};
}
constexpr TypeEntry MakeTypeEntry(const DispInterfaceInfo& d) {
  return {TypeEntryKind::DispInterface, nullptr, nullptr, nullptr, &d, nullptr};
}
constexpr TypeEntry MakeTypeEntry(const CoClassInfo& c) {
  return {TypeEntryKind::CoClass, nullptr, nullptr, nullptr, nullptr, &c};
}

// The library identity of an enumeration or record type; specialised by dispatch_def.inc. The
// specialisation must be seen wherever the type is described (tables, InvokeWithSignature):
// the declarations expansion provides it; without it the tables expansion does.
template <class T>
struct UserTypeId {
  static constexpr const GUID* value = nullptr;
};

// Vtable slots of an interface: first own slot and own member count; specialised for every
// interface of a .def by dispatch_def.inc.
template <class I>
struct VtableLayout;
template <>
struct VtableLayout<IUnknown> {
  static constexpr UINT first = 0;
  static constexpr UINT count = 3;
};
template <>
struct VtableLayout<IDispatch> {
  static constexpr UINT first = 3;
  static constexpr UINT count = 4;
};

// ---------------------------------------------------------------------------------------------
// Registry of libraries and the engine behind DispatchImpl (libkelmira-platform).

class DispatchTable;  // an interface's members as resolved at registration

// Makes a library known to this process: DispatchImpl, LoadRegTypeLib and LoadTypeLib find it.
// The tables must outlive the registration. Registering the same tables again is a no-op
// (S_FALSE); tables that do not resolve (unknown base, bad defaults) give E_INVALIDARG.
KELMIRA_API HRESULT RegisterTypeLibraryInfo(const TypeLibraryInfo* library);
KELMIRA_API HRESULT UnregisterTypeLibraryInfo(const TypeLibraryInfo* library);
// The table of an interface or event interface of any registered library, or null.
KELMIRA_API const DispatchTable* FindDispatchTable(REFIID iid);

KELMIRA_API HRESULT DispatchGetTypeInfo(const DispatchTable* table, UINT index, ITypeInfo** ppTInfo);
KELMIRA_API HRESULT DispatchGetIDsOfNames(const DispatchTable* table, REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                          DISPID* rgDispId);
KELMIRA_API HRESULT DispatchInvoke(const DispatchTable* table, void* self, DISPID dispIdMember, REFIID riid,
                                   WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                   UINT* puArgErr);

namespace detail {

// Argument helpers shared by every thunk.
// Converts src (by value or VT_BYREF) to vt into *out (initialised, owned by the caller).
KELMIRA_API HRESULT ConvertArgument(const VARIANT* src, VARTYPE vt, VARIANT* out);
// An interface argument: VT_DISPATCH / VT_UNKNOWN (also by reference) queried for iid, VT_EMPTY
// as null; E_NOINTERFACE and other types give DISP_E_TYPEMISMATCH.
KELMIRA_API HRESULT QueryArgument(const VARIANT* src, REFIID iid, void** out);
// A record argument: VT_RECORD (also by reference) whose record info, when given, matches.
KELMIRA_API HRESULT CopyRecordArgument(const VARIANT* src, const GUID* recordGuid, ULONG size, void* out);
// An out-argument: VT_BYREF|exactVt gives *exact, VT_BYREF|VT_VARIANT gives *variant;
// exactVt VT_EMPTY accepts only the latter.
KELMIRA_API HRESULT BindOutArgument(const VARIANT* src, VARTYPE exactVt, VARIANT** variant, void** exact);

template <class T>
inline constexpr bool kAlwaysFalse = false;

template <class T>
// clang-format off
concept Complete = requires { sizeof(T); };
// clang-format on

// Scalars: their VARTYPE and VARIANT field.
template <class T>
struct ScalarField {
  static constexpr VARTYPE vt = VT_EMPTY;
};
#define KELMIRA_SCALAR_FIELD(T, VT, field)             \
  template <>                                          \
  struct ScalarField<T> {                              \
    static constexpr VARTYPE vt = VT;                  \
    static T& Of(VARIANT& v) { return v.field; }       \
    static T Get(const VARIANT& v) { return v.field; } \
  }
// VARIANT_BOOL and SHORT are the same C++ type; 16-bit integers travel as VT_BOOL.
KELMIRA_SCALAR_FIELD(LONG, VT_I4, lVal);
KELMIRA_SCALAR_FIELD(VARIANT_BOOL, VT_BOOL, boolVal);
KELMIRA_SCALAR_FIELD(BYTE, VT_UI1, bVal);
KELMIRA_SCALAR_FIELD(FLOAT, VT_R4, fltVal);
KELMIRA_SCALAR_FIELD(DOUBLE, VT_R8, dblVal);
KELMIRA_SCALAR_FIELD(ULONG, VT_UI4, ulVal);
KELMIRA_SCALAR_FIELD(LONGLONG, VT_I8, llVal);
KELMIRA_SCALAR_FIELD(ULONGLONG, VT_UI8, ullVal);
KELMIRA_SCALAR_FIELD(USHORT, VT_UI2, uiVal);
KELMIRA_SCALAR_FIELD(CHAR, VT_I1, cVal);
#undef KELMIRA_SCALAR_FIELD

template <class T>
inline constexpr bool kIsScalar = ScalarField<T>::vt != VT_EMPTY;
template <class T>
inline constexpr bool kIsEnum = std::is_enum_v<T>;
template <class T>
inline constexpr bool kIsBstr = std::is_same_v<T, BSTR>;
template <class T>
inline constexpr bool kIsVariant = std::is_same_v<T, VARIANT>;

template <class T>
struct InterfacePointer {
  static constexpr bool value = false;
};
// clang-format off
template <class U>
  requires std::is_class_v<U>
struct InterfacePointer<U*> {
  // clang-format on
  static_assert(Complete<U>, "a type named by pointer in a member table must be completely declared");
  static constexpr bool value = std::is_base_of_v<IUnknown, U>;
  static constexpr bool dispatch = std::is_base_of_v<IDispatch, U>;
};
template <class T>
inline constexpr bool kIsInterfacePtr = InterfacePointer<T>::value;

template <class T>
struct RawDataPointer {
  static constexpr bool value = false;
};
template <class S>
struct RawDataPointer<S*> {
  static constexpr bool value = kIsScalar<S>;
};
// float*, double*, BYTE* as values: data addresses handed out as VT_BYREF variants.
template <class T>
inline constexpr bool kIsRawPtr = RawDataPointer<T>::value;

template <class T>
inline constexpr bool kIsRecord = std::is_class_v<T> && !kIsVariant<T> && !std::is_base_of_v<IUnknown, T>;

// What an out-argument can point to.
template <class U>
inline constexpr bool kIsStorable =
    kIsScalar<U> || kIsEnum<U> || kIsBstr<U> || kIsVariant<U> || kIsInterfacePtr<U> || kIsRawPtr<U>;

template <class T>
inline constexpr bool kIsOutParam =
    std::is_pointer_v<T> && !kIsBstr<T> && !kIsInterfacePtr<T> && kIsStorable<std::remove_pointer_t<T>>;

template <class T>
consteval TypeDesc MakeTypeDesc();
template <class T>
inline constexpr TypeDesc kTypeDesc = MakeTypeDesc<T>();

template <class T>
consteval TypeDesc MakeTypeDesc() {
  if constexpr (kIsScalar<T>) {
    return {TypeClass::Value, ScalarField<T>::vt, nullptr, nullptr, sizeof(T)};
  } else if constexpr (kIsBstr<T>) {
    return {TypeClass::Value, VT_BSTR, nullptr, nullptr, sizeof(T)};
  } else if constexpr (kIsVariant<T>) {
    return {TypeClass::Value, VT_VARIANT, nullptr, nullptr, sizeof(T)};
  } else if constexpr (kIsEnum<T>) {
    static_assert(sizeof(T) == sizeof(LONG), "enumerations travel as 32-bit integers");
    return {TypeClass::Enum, VT_I4, nullptr, UserTypeId<T>::value, sizeof(T)};
  } else if constexpr (kIsInterfacePtr<T>) {
    constexpr VARTYPE vt = InterfacePointer<T>::dispatch ? VT_DISPATCH : VT_UNKNOWN;
    return {TypeClass::Interface, vt, nullptr, &__uuidof(std::remove_pointer_t<T>), sizeof(T)};
  } else if constexpr (std::is_pointer_v<T>) {
    return {TypeClass::Pointer, VT_PTR, &kTypeDesc<std::remove_cv_t<std::remove_pointer_t<T>>>, nullptr, sizeof(T)};
  } else if constexpr (kIsRecord<T>) {
    static_assert(std::is_trivially_copyable_v<T>, "records are plain data");
    return {TypeClass::Record, VT_RECORD, nullptr, UserTypeId<T>::value, sizeof(T)};
  } else {
    static_assert(kAlwaysFalse<T>, "this C++ type has no automation equivalent");
    return {};
  }
}

// ---- Values moved into variants and freed.

template <class U>
void MoveToVariant(U& value, VARIANT* dst) {
  if constexpr (kIsScalar<U>) {
    dst->vt = ScalarField<U>::vt;
    ScalarField<U>::Of(*dst) = value;
  } else if constexpr (kIsEnum<U>) {
    dst->vt = VT_I4;
    dst->lVal = static_cast<LONG>(value);
  } else if constexpr (kIsBstr<U>) {
    dst->vt = VT_BSTR;
    dst->bstrVal = std::exchange(value, nullptr);
  } else if constexpr (kIsVariant<U>) {
    *dst = value;
    VariantInit(&value);
  } else if constexpr (kIsInterfacePtr<U>) {
    if constexpr (InterfacePointer<U>::dispatch) {
      dst->vt = VT_DISPATCH;
      dst->pdispVal = std::exchange(value, nullptr);
    } else {
      dst->vt = VT_UNKNOWN;
      dst->punkVal = std::exchange(value, nullptr);
    }
  } else if constexpr (kIsRawPtr<U>) {
    dst->vt = VT_BYREF | ScalarField<std::remove_pointer_t<U>>::vt;
    dst->byref = value;
  }
}

template <class U>
void FreeValue(U& value) {
  if constexpr (kIsBstr<U>) {
    SysFreeString(std::exchange(value, nullptr));
  } else if constexpr (kIsVariant<U>) {
    VariantClear(&value);
  } else if constexpr (kIsInterfacePtr<U>) {
    if (auto* p = std::exchange(value, nullptr)) p->Release();
  }
}

// The VT_BYREF type that an out-argument of type U* accepts besides VT_BYREF|VT_VARIANT.
template <class U>
consteval VARTYPE ExactOutType() {
  if constexpr (kIsScalar<U>)
    return VT_BYREF | ScalarField<U>::vt;
  else if constexpr (kIsEnum<U>)
    return VT_BYREF | VT_I4;
  else if constexpr (kIsBstr<U>)
    return VT_BYREF | VT_BSTR;
  else if constexpr (kIsInterfacePtr<U>)
    return VT_BYREF | (InterfacePointer<U>::dispatch ? VT_DISPATCH : VT_UNKNOWN);
  else
    return VT_EMPTY;  // VARIANT and raw pointers: only through a VARIANT
}

// ---- Argument slots: one per C++ parameter, holding the converted value for the call.

template <class T>
struct ScalarSlot {
  T value{};
  HRESULT Bind(const VARIANT* src) {
    constexpr VARTYPE vt = kTypeDesc<T>.vt;
    if (src->vt == vt) {
      Take(*src);
      return S_OK;
    }
    Variant converted;
    HRESULT hr = ConvertArgument(src, vt, &converted);
    if (FAILED(hr)) return hr;
    Take(converted);
    return S_OK;
  }
  void Take(const VARIANT& v) {
    if constexpr (kIsEnum<T>)
      value = static_cast<T>(v.lVal);
    else
      value = ScalarField<T>::Get(v);
  }
  T Arg() { return value; }
  void Commit() {}
};

struct BstrSlot {
  BSTR value = nullptr;
  Variant converted;
  HRESULT Bind(const VARIANT* src) {
    if (src->vt == VT_BSTR) {
      value = src->bstrVal;
      return S_OK;
    }
    HRESULT hr = ConvertArgument(src, VT_BSTR, &converted);
    if (SUCCEEDED(hr)) value = converted.bstrVal;
    return hr;
  }
  BSTR Arg() { return value; }
  void Commit() {}
};

struct VariantSlot {
  VARIANT value{};
  Variant copy;
  HRESULT Bind(const VARIANT* src) {
    if (!(src->vt & VT_BYREF)) {
      value = *src;  // passed by value: the callee copies what it keeps
      return S_OK;
    }
    HRESULT hr = VariantCopyInd(&copy, src);
    if (FAILED(hr)) return hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
    value = copy;
    return S_OK;
  }
  VARIANT Arg() { return value; }
  void Commit() {}
};

template <class I>
struct InterfaceSlot {
  ComPtr<I> value;
  HRESULT Bind(const VARIANT* src) { return QueryArgument(src, __uuidof(I), reinterpret_cast<void**>(&value)); }
  I* Arg() { return value.get(); }
  void Commit() {}
};

template <class T>
struct RecordSlot {
  T value{};
  HRESULT Bind(const VARIANT* src) { return CopyRecordArgument(src, UserTypeId<T>::value, sizeof(T), &value); }
  T Arg() { return value; }
  void Commit() {}
};

template <class U>
struct OutSlot {
  U local{};
  VARIANT* variantTarget = nullptr;
  void* exactTarget = nullptr;
  bool retval = false;

  OutSlot() {
    if constexpr (kIsVariant<U>) VariantInit(&local);
  }
  OutSlot(const OutSlot&) = delete;
  OutSlot& operator=(const OutSlot&) = delete;
  ~OutSlot() { FreeValue(local); }

  HRESULT Bind(const VARIANT* src) { return BindOutArgument(src, ExactOutType<U>(), &variantTarget, &exactTarget); }
  void BindRetval() { retval = true; }
  // A by-reference argument with a null address reaches the member as a null out-pointer.
  U* Arg() { return (retval || variantTarget || exactTarget) ? &local : nullptr; }

  void Commit() {
    if (retval) return;
    if (variantTarget) {
      VariantClear(variantTarget);
      MoveToVariant(local, variantTarget);
    } else if (exactTarget) {
      StoreExact();
    }
  }
  void CommitRetval(VARIANT* result) {
    if (result) MoveToVariant(local, result);
  }

 private:
  void StoreExact() {
    if constexpr (kIsEnum<U>) {
      *static_cast<LONG*>(exactTarget) = static_cast<LONG>(local);
    } else if constexpr (kIsInterfacePtr<U>) {
      if constexpr (InterfacePointer<U>::dispatch)
        *static_cast<IDispatch**>(exactTarget) = std::exchange(local, nullptr);
      else
        *static_cast<IUnknown**>(exactTarget) = std::exchange(local, nullptr);
    } else if constexpr (kIsScalar<U> || kIsBstr<U>) {
      *static_cast<U*>(exactTarget) = std::exchange(local, U{});
    }
  }
};

template <class T>
auto SelectSlot() {
  if constexpr (kIsOutParam<T>)
    return std::type_identity<OutSlot<std::remove_pointer_t<T>>>{};
  else if constexpr (kIsScalar<T> || kIsEnum<T>)
    return std::type_identity<ScalarSlot<T>>{};
  else if constexpr (kIsBstr<T>)
    return std::type_identity<BstrSlot>{};
  else if constexpr (kIsVariant<T>)
    return std::type_identity<VariantSlot>{};
  else if constexpr (kIsInterfacePtr<T>)
    return std::type_identity<InterfaceSlot<std::remove_pointer_t<T>>>{};
  else if constexpr (kIsRecord<T>)
    return std::type_identity<RecordSlot<T>>{};
  else
    static_assert(kAlwaysFalse<T>, "this parameter type cannot be passed through IDispatch");
}
template <class T>
using SlotFor = typename decltype(SelectSlot<T>())::type;

template <class S>
bool BindSlot(S& slot, UINT index, const VARIANT* const* args, bool isRetval, HRESULT& hr, UINT& failed) {
  if (isRetval) {
    if constexpr (requires { slot.BindRetval(); }) slot.BindRetval();
    return true;
  }
  hr = slot.Bind(args[index]);
  if (SUCCEEDED(hr)) return true;
  failed = index;
  return false;
}

template <class S>
void CommitRetval(S& slot, bool lastIsRetval, VARIANT* result) {
  if constexpr (requires { slot.CommitRetval(result); })
    if (lastIsRetval) slot.CommitRetval(result);
}

// A parameter list: its descriptions and the conversion of arguments for one call.
template <class... A>
struct ArgList {
  static constexpr UINT kCount = sizeof...(A);
  static constexpr const TypeDesc* kTypes[kCount + 1] = {&kTypeDesc<A>..., nullptr};
  static constexpr bool kIsOut[kCount + 1] = {kIsOutParam<A>..., false};

  template <class Fn>
  static HRESULT Call(const VARIANT* const* args, bool lastIsRetval, VARIANT* result, UINT* badParam,
                      HRESULT* callResult, Fn&& fn) {
    return CallWith(std::index_sequence_for<A...>{}, args, lastIsRetval, result, badParam, callResult, fn);
  }

 private:
  template <std::size_t... I, class Fn>
  static HRESULT CallWith(std::index_sequence<I...>, [[maybe_unused]] const VARIANT* const* args,
                          [[maybe_unused]] bool lastIsRetval, [[maybe_unused]] VARIANT* result, UINT* badParam,
                          HRESULT* callResult, Fn& fn) {
    std::tuple<SlotFor<A>...> slots;
    HRESULT hr = S_OK;
    UINT failed = 0;
    bool bound = (BindSlot(std::get<I>(slots), UINT(I), args, lastIsRetval && I + 1 == kCount, hr, failed) && ...);
    if (!bound) {
      *badParam = failed;
      return hr;
    }
    *callResult = fn(std::get<I>(slots).Arg()...);
    if (FAILED(*callResult)) return S_OK;
    (std::get<I>(slots).Commit(), ...);
    if constexpr (kCount > 0) CommitRetval(std::get<kCount - 1>(slots), lastIsRetval, result);
    return S_OK;
  }
};

template <class F>
struct MethodTraits;
template <class C, class... A>
struct MethodTraits<HRESULT (C::*)(A...)> {
  using Class = C;
  using Args = ArgList<A...>;
};

template <class Sig>
struct SignatureTraits;
template <class... A>
struct SignatureTraits<HRESULT(A...)> {
  using Args = ArgList<A...>;
};

template <auto Pm>
HRESULT MemberThunk(void* self, const VARIANT* const* args, bool lastIsRetval, VARIANT* result, UINT* badParam,
                    HRESULT* callResult) {
  using M = MethodTraits<decltype(Pm)>;
  auto* object = static_cast<typename M::Class*>(self);
  return M::Args::Call(args, lastIsRetval, result, badParam, callResult,
                       [object](auto... a) { return (object->*Pm)(a...); });
}

}  // namespace detail

// A member table entry for &I::get_Name, &I::put_Name or &I::Method. Mistakes in the .def line
// (a get without out-argument, KM_RETVAL on a put) stop the compilation here.
template <auto Pm>
consteval MemberInfo MakeMember(const char* name, MemberKind kind, DISPID dispid, const char* params, UINT mflags,
                                const char* defaults) {
  using Args = typename detail::MethodTraits<decltype(Pm)>::Args;
  const bool retval = kind == MemberKind::Get || (mflags & kMemberRetval) != 0;
  const bool lastOut = Args::kCount > 0 && Args::kIsOut[Args::kCount - 1];
  if (kind != MemberKind::Method && (mflags & kMemberRetval)) throw "KM_RETVAL is for methods";
  if (retval && !lastOut) throw "the retval must be the last parameter and an out-argument";
  if ((kind == MemberKind::Put || kind == MemberKind::PutRef) && (Args::kCount == 0 || lastOut))
    throw "a property put ends with its value";
  for (UINT i = 0; i + 1 < Args::kCount; ++i)
    if (Args::kIsOut[i] && !Args::kIsOut[i + 1]) throw "out-arguments come last";
  if (!defaults) throw "defaults must be a string";
  return {name, dispid, kind, retval, params, defaults, Args::kTypes, Args::kCount, &detail::MemberThunk<Pm>};
}

// A record field as declared in a .def line; the declared type must be the field's C++ type.
template <class Declared, class Actual>
consteval FieldInfo MakeField(const char* name, std::size_t offset) {
  static_assert(std::is_same_v<Declared, Actual>, "a KM_FIELD type differs from the field's declaration");
  return {name, static_cast<ULONG>(offset), &detail::kTypeDesc<Declared>};
}

// An enumeration constant as written in a .def line; it must equal the C++ enumerator.
template <class E>
consteval EnumValueInfo MakeEnumValue(const char* name, E value, long long number) {
  if (static_cast<long long>(value) != number) throw "a KM_ENUM_VALUE differs from the enumerator";
  return {name, static_cast<LONG>(number)};
}

// Entries of a table that ends with an empty sentinel.
template <class T, std::size_t N>
constexpr UINT TableCount(const T (&)[N]) {
  return static_cast<UINT>(N - 1);
}

// An event of a dispatch interface, described by its signature `HRESULT (params)`.
template <class Sig>
consteval MemberInfo MakeEvent(const char* name, DISPID dispid, const char* params) {
  using Args = typename detail::SignatureTraits<Sig>::Args;
  for (UINT i = 0; i < Args::kCount; ++i)
    if (Args::kIsOut[i]) throw "events take in-arguments only";
  return {name, dispid, MemberKind::Method, false, params, "", Args::kTypes, Args::kCount, nullptr};
}

// Converts the arguments of an Invoke call (reverse order, positional only) to the parameter
// types of Sig = HRESULT(A...) and calls fn(a...), for objects without a vtable to call
// (event sinks). Conversion failures set *puArgErr to the index in rgvarg.
template <class Sig, class Fn>
HRESULT InvokeWithSignature(const DISPPARAMS* dp, Fn&& fn, UINT* puArgErr = nullptr) {
  using Args = typename detail::SignatureTraits<Sig>::Args;
  constexpr UINT n = Args::kCount;
  if (!dp || (dp->cArgs && !dp->rgvarg)) return E_INVALIDARG;
  if (dp->cNamedArgs) return DISP_E_NONAMEDARGS;
  if (dp->cArgs != n) return DISP_E_BADPARAMCOUNT;
  const VARIANT* args[n + 1] = {};
  for (UINT i = 0; i < n; ++i) args[i] = &dp->rgvarg[n - 1 - i];
  UINT bad = 0;
  HRESULT callResult = S_OK;
  HRESULT hr = Args::Call(args, false, nullptr, &bad, &callResult, fn);
  if (FAILED(hr)) {
    if (puArgErr) *puArgErr = n - 1 - bad;
    return hr;
  }
  return callResult;
}

// IDispatch for interface I from I's table (found by IID, cached once found).
template <class I>
class DispatchImpl : public I {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) override {
    return DispatchGetTypeInfo(Table(), iTInfo, ppTInfo);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                          DISPID* rgDispId) override {
    return DispatchGetIDsOfNames(Table(), riid, rgszNames, cNames, rgDispId);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    return DispatchInvoke(Table(), static_cast<I*>(this), dispIdMember, riid, wFlags, pDispParams, pVarResult,
                          pExcepInfo, puArgErr);
  }

 protected:
  static const DispatchTable* Table() {
    static std::atomic<const DispatchTable*> cached{nullptr};
    const DispatchTable* table = cached.load(std::memory_order_acquire);
    if (!table) {
      table = FindDispatchTable(__uuidof(I));
      if (table) cached.store(table, std::memory_order_release);
    }
    return table;
  }
};

}  // namespace kelmira
