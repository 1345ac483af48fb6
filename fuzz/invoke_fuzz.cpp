// Calls members of every creatable class through IDispatch::Invoke with arbitrary flags and
// arguments: members named by the type information (and some that are not), argument lists of
// any length and type, objects returned by earlier calls called in turn; then every object that
// has a view draws.
#include "fuzz_host.h"

#include <climits>

namespace kelmira::fuzz {
namespace {

const CLSID* const kClasses[] = {&CLSID_GraphicsContainer, &CLSID_BackgroundLayer, &CLSID_GridLayer, &CLSID_LineLayer,
                                 &CLSID_LineData,          &CLSID_MatrixData,      &CLSID_XAxis,     &CLSID_YAxis,
                                 &CLSID_LineGraph};

// A member the type information names, or now and then an arbitrary id.
std::pair<DISPID, WORD> PickMember(IDispatch* object, FuzzInput& in) {
  ComPtr<ITypeInfo> info;
  TYPEATTR* attr = nullptr;
  if (in.Pick(8) == 0 || FAILED(object->GetTypeInfo(0, 0, &info)) || FAILED(info->GetTypeAttr(&attr)))
    return {in.Take<DISPID>(), static_cast<WORD>(1 + in.Pick(15))};
  const WORD count = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  FUNCDESC* func = nullptr;
  if (!count || FAILED(info->GetFuncDesc(in.Take<std::uint16_t>() % count, &func))) return {DISPID_VALUE, 1};
  const std::pair<DISPID, WORD> member{func->memid, static_cast<WORD>(func->invkind)};
  info->ReleaseFuncDesc(func);
  return member;
}

void MakeArgument(FuzzInput& in, const std::vector<ComPtr<IDispatch>>& objects, VARIANT& v) {
  static const LONG kEdges[] = {0, 1, -1, 2, 10, 255, 256, 65535, INT_MIN, INT_MAX, 1000000, -1000000};
  switch (in.Pick(12)) {
    case 0: V_VT(&v) = VT_EMPTY; break;
    case 1: V_VT(&v) = VT_NULL; break;
    case 2: V_VT(&v) = VT_I4, V_I4(&v) = kEdges[in.Pick(std::size(kEdges))]; break;
    case 3: V_VT(&v) = VT_I4, V_I4(&v) = in.Take<LONG>(); break;
    case 4: V_VT(&v) = VT_R8, V_R8(&v) = in.Take<double>(); break;
    case 5: V_VT(&v) = VT_R4, V_R4(&v) = in.Take<float>(); break;
    case 6: V_VT(&v) = VT_BOOL, V_BOOL(&v) = in.Pick(2) ? VARIANT_TRUE : VARIANT_FALSE; break;
    case 7: {
      std::u16string text(in.Pick(24), u'a');
      for (char16_t& c : text) c = static_cast<char16_t>(in.Take<std::uint8_t>());
      V_VT(&v) = VT_BSTR, V_BSTR(&v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      break;
    }
    case 8: V_VT(&v) = VT_DATE, V_DATE(&v) = in.Take<double>(); break;
    case 9: V_VT(&v) = VT_I2, V_I2(&v) = in.Take<SHORT>(); break;
    case 10: V_VT(&v) = VT_DISPATCH, V_DISPATCH(&v) = nullptr; break;
    default: {
      IDispatch* object = objects[in.Take<std::uint8_t>() % objects.size()].get();
      if (object) object->AddRef();
      V_VT(&v) = VT_DISPATCH, V_DISPATCH(&v) = object;
    }
  }
}

void Call(std::vector<ComPtr<IDispatch>>& objects, FuzzInput& in) {
  IDispatch* object = objects[in.Take<std::uint8_t>() % objects.size()].get();
  auto [id, kind] = PickMember(object, in);
  WORD flags = kind == 1 ? DISPATCH_METHOD : kind;
  if (in.Pick(8) == 0) flags = static_cast<WORD>(in.Pick(16));
  std::vector<Variant> args(in.Pick(5));
  for (Variant& arg : args) MakeArgument(in, objects, arg);
  DISPID named = DISPID_PROPERTYPUT;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && !args.empty();
  DISPPARAMS params{args.empty() ? nullptr : args.data(), put ? &named : nullptr, static_cast<UINT>(args.size()),
                    put ? 1u : 0u};
  Variant result;
  EXCEPINFO error{};
  UINT badArg = 0;
  (void)object->Invoke(id, IID_NULL, 0, flags, &params, in.Pick(2) ? &result : nullptr, &error, &badArg);
  SysFreeString(error.bstrSource);
  SysFreeString(error.bstrDescription);
  SysFreeString(error.bstrHelpFile);
  if (V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result) && objects.size() < 16)
    objects.emplace_back(V_DISPATCH(&result));  // a reference of its own
}

}  // namespace
}  // namespace kelmira::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmira;
  using namespace kelmira::fuzz;
  FuzzInput in(data, size);
  std::vector<ComPtr<IDispatch>> objects;
  objects.push_back(FuzzCreate<IDispatch>(*kClasses[in.Pick(std::size(kClasses))]));
  objects.push_back(FuzzCreate<IDispatch>(*kClasses[in.Pick(std::size(kClasses))]));
  for (int calls = 0; calls < 32 && !in.Empty(); ++calls) Call(objects, in);
  // Whatever the calls left behind must draw.
  FuzzSurface surface(96, 64);
  for (const ComPtr<IDispatch>& object : objects) surface.Draw(object.get());
  return 0;
}
