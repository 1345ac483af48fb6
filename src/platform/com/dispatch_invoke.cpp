// The IDispatch engine over resolved member tables: member selection by dispatch id and call
// flags, argument placement (reverse order, named arguments, DISPID_PROPERTYPUT, optional
// parameters), the call through the member's thunk and the reporting of failures.
#include "com/dispatch_index.h"
#include "com/dispatch_text.h"

#include <kelmira/platform/guarded.h>

#include <array>

namespace kelmira {

namespace dispatch {

namespace {

const VARIANT kMissing = [] {
  VARIANT v{};
  v.vt = VT_ERROR;
  v.scode = DISP_E_PARAMNOTFOUND;
  return v;
}();

bool IsMissing(const VARIANT* v) { return v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND; }

bool IsObject(const VARIANT* v) {
  if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
  VARTYPE type = v->vt & ~VT_BYREF;
  return type == VT_DISPATCH || type == VT_UNKNOWN;
}

bool IsPut(const ResolvedMember& m) { return m.info->kind == MemberKind::Put || m.info->kind == MemberKind::PutRef; }

// The most derived member with this id and kind.
const ResolvedMember* FindKind(const DispatchTable& table, DISPID id, MemberKind kind) {
  for (auto it = table.all.rbegin(); it != table.all.rend(); ++it)
    if ((*it)->info->dispid == id && (*it)->info->kind == kind) return *it;
  return nullptr;
}

// PUTREF falls back to a put when the property has no putref; PUT falls back to a putref only
// for an object value. With both flags, an object prefers the putref.
const ResolvedMember* SelectPut(const DispatchTable& table, DISPID id, WORD flags, const DISPPARAMS& dp) {
  const ResolvedMember* put = FindKind(table, id, MemberKind::Put);
  const ResolvedMember* ref = FindKind(table, id, MemberKind::PutRef);
  bool object = dp.cArgs > 0 && IsObject(&dp.rgvarg[0]);
  bool wantPut = (flags & DISPATCH_PROPERTYPUT) != 0;
  bool wantRef = (flags & DISPATCH_PROPERTYPUTREF) != 0;
  if (wantPut && wantRef) return object ? (ref ? ref : put) : (put ? put : ref);
  if (wantRef) return ref ? ref : put;
  return put ? put : (object ? ref : nullptr);
}

// A method when DISPATCH_METHOD asks for one, else the get; a get without arguments also
// answers DISPATCH_METHOD alone.
const ResolvedMember* SelectMember(const DispatchTable& table, DISPID id, WORD flags, const DISPPARAMS& dp) {
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return SelectPut(table, id, flags, dp);
  const ResolvedMember* member = nullptr;
  if (flags & DISPATCH_METHOD) member = FindKind(table, id, MemberKind::Method);
  if (!member && (flags & DISPATCH_PROPERTYGET)) member = FindKind(table, id, MemberKind::Get);
  if (!member && (flags & DISPATCH_METHOD)) {
    const ResolvedMember* get = FindKind(table, id, MemberKind::Get);
    if (get && get->dispatchCount == 0) member = get;
  }
  return member;
}

struct CallArgs {
  std::array<const VARIANT*, kMaxParams> values{};
  std::array<int, kMaxParams> source{};  // index in rgvarg; -1 for defaults
};

// Positional arguments fill parameters from the first; named ones go to their positions.
HRESULT PlaceArguments(const ResolvedMember& m, const DISPPARAMS& dp, CallArgs& args, UINT* argErr) {
  const UINT count = m.dispatchCount;
  const UINT positional = dp.cArgs - dp.cNamedArgs;
  if (IsPut(m)) {
    if (dp.cNamedArgs == 0) return DISP_E_PARAMNOTOPTIONAL;
    if (dp.cNamedArgs != 1 || dp.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_NONAMEDARGS;
    args.values[count - 1] = &dp.rgvarg[0];
    args.source[count - 1] = 0;
  } else {
    for (UINT j = 0; j < dp.cNamedArgs; ++j) {
      DISPID id = dp.rgdispidNamedArgs[j];
      if (id == DISPID_PROPERTYPUT) return DISP_E_NONAMEDARGS;
      if (id < static_cast<DISPID>(positional) || id >= static_cast<DISPID>(count) || args.values[id]) {
        if (argErr) *argErr = j;
        return DISP_E_PARAMNOTFOUND;
      }
      args.values[id] = &dp.rgvarg[j];
      args.source[id] = static_cast<int>(j);
    }
  }
  for (UINT i = 0; i < positional; ++i) {
    args.values[i] = &dp.rgvarg[dp.cArgs - 1 - i];
    args.source[i] = static_cast<int>(dp.cArgs - 1 - i);
  }
  return S_OK;
}

// Missing arguments take their defaults; a missing required one is an error.
HRESULT FillMissing(const ResolvedMember& m, CallArgs& args, UINT* argErr) {
  for (UINT i = 0; i < m.dispatchCount; ++i) {
    const ResolvedParam& param = m.params[i];
    const VARIANT* value = args.values[i];
    if (value && IsMissing(value)) {
      if (!param.optional) {
        if (argErr) *argErr = static_cast<UINT>(args.source[i]);
        return DISP_E_PARAMNOTOPTIONAL;
      }
      value = nullptr;
    }
    if (value) continue;
    if (!param.optional) return DISP_E_BADPARAMCOUNT;
    args.values[i] = param.hasDefault ? &param.defaultValue : &kMissing;
    args.source[i] = -1;
  }
  return S_OK;
}

HRESULT ReportFailure(const DispatchTable& table, HRESULT hr, EXCEPINFO* excepInfo) {
  if (!excepInfo) return hr;
  *excepInfo = EXCEPINFO{};
  excepInfo->scode = hr;
  excepInfo->bstrSource = AllocBstr(table.name);
  return DISP_E_EXCEPTION;
}

bool ValidParams(const DISPPARAMS& dp) {
  if (dp.cArgs && !dp.rgvarg) return false;
  if (dp.cNamedArgs > dp.cArgs) return false;
  return !dp.cNamedArgs || dp.rgdispidNamedArgs;
}

}  // namespace

HRESULT InvokeTable(const DispatchTable& table, void* self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                    EXCEPINFO* excepInfo, UINT* argErr) {
  if (!params || !ValidParams(*params)) return E_INVALIDARG;
  if (!self) return E_INVALIDARG;
  const DISPPARAMS& dp = *params;
  const ResolvedMember* member = SelectMember(table, id, flags, dp);
  if (!member || !member->info->thunk) return DISP_E_MEMBERNOTFOUND;
  if (dp.cArgs > member->dispatchCount) return DISP_E_BADPARAMCOUNT;
  if (result) VariantInit(result);
  CallArgs args;
  args.source.fill(-1);
  HRESULT hr = PlaceArguments(*member, dp, args, argErr);
  if (SUCCEEDED(hr)) hr = FillMissing(*member, args, argErr);
  if (FAILED(hr)) return hr;
  UINT bad = 0;
  HRESULT callResult = S_OK;
  hr = member->info->thunk(self, args.values.data(), member->info->retval, result, &bad, &callResult);
  if (FAILED(hr)) {
    if (argErr && bad < member->dispatchCount && args.source[bad] >= 0) *argErr = static_cast<UINT>(args.source[bad]);
    return hr;
  }
  if (FAILED(callResult)) return ReportFailure(table, callResult, excepInfo);
  return S_OK;
}

// The first name is a member's, the others parameter names of that member (their ids are
// the parameter positions).
HRESULT NamesToIds(const DispatchTable& table, LPOLESTR* names, UINT count, DISPID* ids) {
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  if (count == 0) return S_OK;
  std::u16string_view name = View(names[0]);
  const ResolvedMember* named = nullptr;
  for (auto it = table.all.rbegin(); it != table.all.rend() && !named; ++it)
    if (EqualNoCase((*it)->name, name)) named = *it;
  if (!named) return DISP_E_UNKNOWNNAME;
  ids[0] = named->info->dispid;
  HRESULT hr = S_OK;
  for (UINT k = 1; k < count; ++k) {
    std::u16string_view param = View(names[k]);
    for (const ResolvedMember* m : table.all) {
      if (m->info->dispid != named->info->dispid || !EqualNoCase(m->name, name)) continue;
      for (UINT i = 0; i < m->dispatchCount && ids[k] == DISPID_UNKNOWN; ++i)
        if (EqualNoCase(m->params[i].name, param)) ids[k] = static_cast<DISPID>(i);
    }
    if (ids[k] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

}  // namespace dispatch

HRESULT DispatchGetTypeInfo(const DispatchTable* table, UINT index, ITypeInfo** ppTInfo) {
  if (!ppTInfo) return E_POINTER;
  *ppTInfo = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (!table) return TYPE_E_ELEMENTNOTFOUND;
  return Guarded(
      [&] { return dispatch::MakeTypeInfo(table->library->shared_from_this(), table->primaryNode, ppTInfo); });
}

HRESULT DispatchGetIDsOfNames(const DispatchTable* table, REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                              DISPID* rgDispId) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (cNames && (!rgszNames || !rgDispId)) return E_INVALIDARG;
  if (!table) {
    for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  return dispatch::NamesToIds(*table, rgszNames, cNames, rgDispId);
}

HRESULT DispatchInvoke(const DispatchTable* table, void* self, DISPID dispIdMember, REFIID riid, WORD wFlags,
                       DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!table) return DISP_E_MEMBERNOTFOUND;
  return Guarded([&] {
    return dispatch::InvokeTable(*table, self, dispIdMember, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
  });
}

}  // namespace kelmira
