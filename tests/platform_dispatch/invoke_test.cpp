// IDispatch::Invoke and GetIDsOfNames of DispatchImpl over the test library's tables.
#include "support/dispatch_test_library.h"
#include "support/invoke_args.h"
#include "support/type_descriptions.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kPutRef = DISPATCH_PROPERTYPUTREF;
constexpr WORD kMethod = DISPATCH_METHOD;
constexpr UINT kUntouched = 0xFFFF;

class InvokeTest : public ::testing::Test {
 protected:
  IDispatch* Dispatch() { return static_cast<ITestThing*>(thing.get()); }

  // Invoke with IID_NULL; the result and the argument error stay for checking.
  HRESULT Invoke(DISPID id, WORD flags, Args args = {}) {
    result.Clear();
    argErr = kUntouched;
    return Dispatch()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, args.Params(), &result, nullptr, &argErr);
  }

  std::vector<DISPID> IdsOf(std::vector<const char16_t*> names, HRESULT expected = S_OK) {
    std::vector<DISPID> ids(names.size(), 12345);
    EXPECT_EQ(expected, Dispatch()->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()),
                                                  static_cast<UINT>(names.size()), 0, ids.data()));
    return ids;
  }

  // Everything a member could have changed.
  auto State() const {
    const Thing& t = *thing;
    return std::tuple(t.value, t.putrefCalls, t.label, t.scaled, t.connected.get(), t.point.x,
                      std::vector<double>(std::begin(t.items), std::end(t.items)));
  }

  ComPtr<Object<Thing>> thing = Make<Thing>();
  Variant result;
  UINT argErr = kUntouched;
};

TEST_F(InvokeTest, GetAndPutOfABaseInterfaceMember) {
  EXPECT_EQ(S_OK, Invoke(0x10, kPut, Args().Str(u"17").AsPut()));  // converted by VariantChangeType
  EXPECT_EQ(17, thing->value);
  EXPECT_EQ(S_OK, Invoke(0x10, kGet));
  EXPECT_EQ(std::pair(VARTYPE{VT_I4}, LONG{17}), std::pair(result.vt, result.lVal));
  // A get without arguments answers DISPATCH_METHOD too; a method answers a get with it.
  EXPECT_EQ(S_OK, Invoke(0x10, kMethod));
  EXPECT_EQ(17, result.lVal);
  EXPECT_EQ(S_OK, Invoke(0x23, kMethod | kGet, Args().R8(7).I4(2)));
  EXPECT_EQ(3.5, result.dblVal);
}

TEST_F(InvokeTest, IndexedPropertyTakesItsIndexFirst) {
  EXPECT_EQ(S_OK, Invoke(0x21, kPut, Args().Str(u"2").R8(6.25).AsPut()));
  EXPECT_EQ(6.25, thing->items[2]);
  EXPECT_EQ(S_OK, Invoke(0x21, kGet | kMethod, Args().I4(3)));
  EXPECT_EQ(std::pair(VARTYPE{VT_R8}, 3.0), std::pair(result.vt, result.dblVal));
}

TEST_F(InvokeTest, PutRefAndTheFallbacksBetweenPutAndPutRef) {
  auto peer = Make<Peer>();
  ITestPeer* p = peer.get();
  EXPECT_EQ(S_OK, Invoke(0x20, kPutRef, Args().Object(p, VT_DISPATCH).AsPut()));
  // PUT of an object on a property that only has a putref; PUTREF on one that only has a put.
  EXPECT_EQ(S_OK, Invoke(0x20, kPut, Args().Object(p, VT_UNKNOWN).AsPut()));
  EXPECT_EQ(2, thing->putrefCalls);
  EXPECT_EQ(S_OK, Invoke(0x22, kPutRef, Args().Str(u"axis").AsPut()));
  EXPECT_EQ(u"axis", thing->label);

  ASSERT_EQ(S_OK, Invoke(0x20, kGet));
  ASSERT_EQ(VT_DISPATCH, result.vt);
  ComPtr<ITestPeer> back;
  ASSERT_EQ(S_OK, result.pdispVal->QueryInterface(&back));
  EXPECT_EQ(p, back.get());
}

TEST_F(InvokeTest, OutArgumentsByReference) {
  double low = 0;
  Variant high;
  ASSERT_EQ(S_OK, Invoke(0x24, kMethod, Args().Ref(VT_R8, &low).Ref(VT_VARIANT, &high)));
  EXPECT_EQ(std::tuple(-2.0, VARTYPE{VT_R8}, 8.5), std::tuple(low, high.vt, high.dblVal));
  EXPECT_EQ(std::pair(VARTYPE{VT_BOOL}, VARIANT_TRUE), std::pair(result.vt, result.boolVal));
}

TEST_F(InvokeTest, OptionalParametersTakeTheirDefaults) {
  EXPECT_EQ(S_OK, Invoke(0x25, kMethod, Args().R8(2)));
  EXPECT_EQ((Thing::Scaled{2.0, 3, kShapeSquare}), thing->scaled);
  EXPECT_EQ(S_OK, Invoke(0x25, kMethod, Args().R8(4).Missing().I4(kShapeCircle)));
  EXPECT_EQ((Thing::Scaled{4.0, 3, kShapeCircle}), thing->scaled);
  // A string default; an optional VARIANT without a default reaches the callee as missing.
  EXPECT_EQ(S_OK, Invoke(0x2e, kMethod, Args().Missing().I4(1)));
  EXPECT_EQ(u"hello world;", Text(result.bstrVal));
  EXPECT_EQ(S_OK, Invoke(0x2c, kMethod));
  EXPECT_EQ(-DISP_E_PARAMNOTFOUND, result.lVal);
}

TEST_F(InvokeTest, NamesAreCaseInsensitiveAndNamedArgumentsGoToTheirPositions) {
  const std::vector<DISPID> ids = IdsOf({u"SCALE", u"Shape", u"factor"});
  EXPECT_EQ((std::vector<DISPID>{0x25, 2, 0}), ids);
  EXPECT_EQ(S_OK, Invoke(0x25, kMethod, Args().I4(kShapeCircle).Named(ids[1]).R8(5).Named(ids[2])));
  EXPECT_EQ((Thing::Scaled{5.0, 3, kShapeCircle}), thing->scaled);

  EXPECT_EQ((std::vector<DISPID>{0x10}), IdsOf({u"VALUE"}));  // a member of the base
  EXPECT_EQ((std::vector<DISPID>{0x23, 1, DISPID_UNKNOWN}), IdsOf({u"divide", u"B", u"zz"}, DISP_E_UNKNOWNNAME));
  EXPECT_EQ((std::vector<DISPID>{DISPID_UNKNOWN}), IdsOf({u"Nope"}, DISP_E_UNKNOWNNAME));

  // Only IID_NULL is served.
  LPOLESTR name = const_cast<LPOLESTR>(u"Value");
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, Dispatch()->GetIDsOfNames(IID_ITestThing, &name, 1, 0, &id));
  Args args = Args().R8(1).R8(1);
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
            Dispatch()->Invoke(0x23, IID_ITestThing, 0, kMethod, args.Params(), nullptr, nullptr, nullptr));
}

// A failure reaches the caller with its own code, names the argument (its index in rgvarg)
// where there is one, and leaves the object and the result as they were.
TEST_F(InvokeTest, FailuresNameTheArgumentAndChangeNothing) {
  double low = 0;
  LONG wrong = 0;
  auto stranger = Make<Stranger>();
  struct Row {
    const char* what;
    DISPID id;
    WORD flags;
    Args args;
    HRESULT expected;
    UINT argErr = kUntouched;
  };
  const Row rows[] = {
      {"put without DISPID_PROPERTYPUT", 0x10, kPut, Args().I4(1), DISP_E_PARAMNOTOPTIONAL},
      {"put under another name", 0x10, kPut, Args().I4(1).Named(0), DISP_E_NONAMEDARGS},
      {"put that overflows", 0x10, kPut, Args().R8(1e12).AsPut(), DISP_E_OVERFLOW, 0},
      {"value put on a putref-only property", 0x20, kPut, Args().I4(1).AsPut(), DISP_E_MEMBERNOTFOUND},
      {"the member's own failure", 0x21, kGet, Args().I4(9), E_INVALIDARG},
      {"indexed get as a method", 0x21, kMethod, Args().I4(0), DISP_E_MEMBERNOTFOUND},
      {"method as a get", 0x23, kGet, Args().R8(7).I4(2), DISP_E_MEMBERNOTFOUND},
      {"unknown member", 0x99, kMethod, Args(), DISP_E_MEMBERNOTFOUND},
      {"first parameter does not convert", 0x23, kMethod, Args().Str(u"abc").I4(2), DISP_E_TYPEMISMATCH, 1},
      {"second parameter does not convert", 0x23, kMethod, Args().I4(1).Str(u"x"), DISP_E_TYPEMISMATCH, 0},
      {"failure without EXCEPINFO", 0x23, kMethod, Args().R8(1).R8(0), DISP_E_DIVBYZERO},
      {"out-argument of another type", 0x24, kMethod, Args().Ref(VT_R8, &low).Ref(VT_I4, &wrong), DISP_E_TYPEMISMATCH,
       0},
      {"out-argument by value", 0x24, kMethod, Args().R8(1).R8(2), DISP_E_TYPEMISMATCH, 1},
      {"required parameter missing", 0x25, kMethod, Args().Missing().I4(1), DISP_E_PARAMNOTOPTIONAL, 1},
      {"too few", 0x25, kMethod, Args(), DISP_E_BADPARAMCOUNT},
      {"too many", 0x25, kMethod, Args().R8(1).I4(1).I4(1).I4(1), DISP_E_BADPARAMCOUNT},
      {"unknown parameter name", 0x25, kMethod, Args().R8(5).I4(1).Named(7), DISP_E_PARAMNOTFOUND, 0},
      {"object of another interface", 0x27, kMethod,
       Args().Object(static_cast<ITestStranger*>(stranger.get()), VT_DISPATCH), DISP_E_TYPEMISMATCH, 0},
      {"number for an object", 0x27, kMethod, Args().I4(1), DISP_E_TYPEMISMATCH, 0},
      {"number for a record", 0x28, kMethod, Args().I4(1), DISP_E_TYPEMISMATCH, 0},
  };
  const auto before = State();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.expected, Invoke(row.id, row.flags, row.args));
    EXPECT_EQ(row.argErr, argErr);
    EXPECT_EQ(VT_EMPTY, result.vt);
    EXPECT_EQ(before, State());
  }
}

TEST_F(InvokeTest, FailureWithExcepInfo) {
  EXCEPINFO excep{};
  Args args = Args().I4(E_ACCESSDENIED);
  EXPECT_EQ(DISP_E_EXCEPTION, Dispatch()->Invoke(0x26, IID_NULL, 0, kMethod, args.Params(), nullptr, &excep, nullptr));
  EXPECT_EQ(std::pair(E_ACCESSDENIED, std::u16string(u"ITestThing")), std::pair(excep.scode, Text(excep.bstrSource)));
  for (BSTR s : {excep.bstrSource, excep.bstrDescription, excep.bstrHelpFile}) SysFreeString(s);
}

TEST_F(InvokeTest, InterfaceArgumentsAreQueried) {
  auto peer = Make<Peer>();
  ITestPeer* p = peer.get();
  auto references = [&] { return p->AddRef(), p->Release(); };
  const ULONG before = references();
  EXPECT_EQ(S_OK, Invoke(0x27, kMethod, Args().Object(p, VT_UNKNOWN)));
  EXPECT_EQ(std::pair(VARIANT_TRUE, p), std::pair(result.boolVal, thing->connected.get()));
  thing->connected.Reset();
  EXPECT_EQ(before, references());

  IDispatch* byRef = p;
  EXPECT_EQ(S_OK, Invoke(0x27, kMethod, Args().Ref(VT_DISPATCH, &byRef)));
  EXPECT_EQ(std::pair(VARIANT_TRUE, p), std::pair(result.boolVal, thing->connected.get()));
  EXPECT_EQ(S_OK, Invoke(0x27, kMethod, Args().Empty()));
  EXPECT_EQ(std::pair(VARIANT_FALSE, static_cast<ITestPeer*>(nullptr)),
            std::pair(result.boolVal, thing->connected.get()));
}

TEST_F(InvokeTest, RecordArgumentsAreCopied) {
  ComPtr<IRecordInfo> info;
  ASSERT_EQ(S_OK, GetRecordInfoFromGuids(LIBID_KelmiraDispatchTest, 2, 0, 0, *UserTypeId<TestPoint>::value, &info));
  Bstr label(u"north");
  TestPoint pt{3, -4, 0.5, label.get()};
  VARIANT record{};
  record.vt = VT_RECORD;
  record.brecVal.pvRecord = &pt;
  record.brecVal.pRecInfo = info.get();
  EXPECT_EQ(S_OK, Invoke(0x28, kMethod, Args().Copy(record)));
  const TestPoint& got = thing->point;
  EXPECT_EQ(std::tuple(3, -4, 0.5, std::u16string(u"north")), std::tuple(got.x, got.y, got.weight, thing->pointLabel));
}

TEST_F(InvokeTest, RawPointerEnumerationAndVariantResults) {
  ASSERT_EQ(S_OK, Invoke(0x29, kGet));
  EXPECT_EQ(std::pair(VARTYPE(VT_BYREF | VT_R4), thing->samples), std::pair(result.vt, result.pfltVal));
  EXPECT_EQ(S_OK, Invoke(0x2d, kMethod));
  EXPECT_EQ(std::pair(VARTYPE(VT_BYREF | VT_UI1), thing->bytes), std::pair(result.vt, result.pbVal));
  EXPECT_EQ(S_OK, Invoke(0x2b, kGet));
  EXPECT_EQ(std::pair(VARTYPE{VT_I4}, LONG{kShapeSquare}), std::pair(result.vt, result.lVal));

  // VARIANT parameters follow references and keep their type.
  LONG seven = 7;
  EXPECT_EQ(S_OK, Invoke(0x2a, kMethod, Args().Ref(VT_I4, &seven)));
  EXPECT_EQ(u"7", Text(result.bstrVal));
  EXPECT_EQ(S_OK, Invoke(0x2c, kMethod, Args().Str(u"s")));
  EXPECT_EQ(VT_BSTR, result.lVal);

  // Without pVarResult the retval is freed.
  Args greet = Args().Str(u"x").I4(2);
  EXPECT_EQ(S_OK, Dispatch()->Invoke(0x2e, IID_NULL, 0, kMethod, greet.Params(), nullptr, nullptr, nullptr));
}

TEST_F(InvokeTest, TypeInfoAndHiddenInterfaces) {
  UINT count = 0;
  EXPECT_EQ(S_OK, Dispatch()->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(DISP_E_BADINDEX, Dispatch()->GetTypeInfo(1, 0, &info));
  ASSERT_EQ(S_OK, Dispatch()->GetTypeInfo(0, 0, &info));
  EXPECT_EQ(std::pair(TKIND_DISPATCH, IID_ITestThing),
            std::pair(AttrOf(info.get())->typekind, AttrOf(info.get())->guid));

  // Not listed in the library, still dispatched.
  auto hidden = Make<Hidden>();
  Args none;
  Variant out;
  EXPECT_EQ(
      S_OK,
      static_cast<ITestHidden*>(hidden.get())->Invoke(5, IID_NULL, 0, kMethod, none.Params(), &out, nullptr, nullptr));
  EXPECT_EQ(99, out.lVal);
}

TEST(InvokeWithSignature, ConvertsEventArgumentsForCodeWithoutVtable) {
  std::pair<LONG, double> got;
  auto sink = [&](LONG what, double value) { return got = {what, value}, S_FALSE; };
  Args args = Args().Str(u"4").R8(2.5);
  EXPECT_EQ(S_FALSE, InvokeWithSignature<HRESULT(LONG what, double value)>(args.Params(), sink));
  EXPECT_EQ(std::pair(LONG{4}, 2.5), got);

  Args bad = Args().I4(1).Str(u"?"), few = Args().I4(1);
  UINT argErr = 9;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, InvokeWithSignature<HRESULT(LONG, double)>(bad.Params(), sink, &argErr));
  EXPECT_EQ(0u, argErr);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, InvokeWithSignature<HRESULT(LONG, double)>(few.Params(), sink));
}

}  // namespace
}  // namespace kelmira::test
