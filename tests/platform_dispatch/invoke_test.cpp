// IDispatch::Invoke and GetIDsOfNames of DispatchImpl over the test library's tables.
#include "platform_dispatch/test_interface.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kPutRef = DISPATCH_PROPERTYPUTREF;
constexpr WORD kMethod = DISPATCH_METHOD;

class InvokeTest : public ::testing::Test {
 protected:
  ~InvokeTest() override { ClearExcepInfo(); }
  IDispatch* Dispatch() { return static_cast<ITestThing*>(thing.get()); }
  // What Scale received.
  std::tuple<double, LONG, eTestShape> Scaled() const {
    return {thing->scaleFactor, thing->scaleSteps, thing->scaleShape};
  }

  // Invoke with IID_NULL; the result, the argument error and the EXCEPINFO stay for checking.
  HRESULT Invoke(DISPID id, WORD flags, Args& args, bool withExcepInfo = false) {
    result.Clear();
    ClearExcepInfo();
    argErr = 0xFFFF;
    return Dispatch()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, args.Params(), &result,
                              withExcepInfo ? &excep : nullptr, &argErr);
  }
  HRESULT Invoke(DISPID id, WORD flags, Args&& args = Args()) { return Invoke(id, flags, args); }
  HRESULT Put(DISPID id, Args& args) { return Invoke(id, kPut, args.Named(DISPID_PROPERTYPUT)); }

  std::vector<DISPID> IdsOf(std::vector<const char16_t*> names, HRESULT expected = S_OK) {
    std::vector<DISPID> ids(names.size(), 12345);
    EXPECT_EQ(expected, Dispatch()->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()),
                                                  static_cast<UINT>(names.size()), 0, ids.data()));
    return ids;
  }

  void ClearExcepInfo() {
    for (BSTR s : {excep.bstrSource, excep.bstrDescription, excep.bstrHelpFile}) SysFreeString(s);
    excep = EXCEPINFO{};
  }

  kelmira::ComPtr<kelmira::Object<Thing>> thing = Make<Thing>();
  kelmira::Variant result;
  UINT argErr = 0xFFFF;
  EXCEPINFO excep{};
};

TEST_F(InvokeTest, GetAndPutThroughTheBaseInterfaceMember) {
  EXPECT_EQ(S_OK, Put(0x10, Args().I4(42)));
  EXPECT_EQ(42, thing->value);
  EXPECT_EQ(S_OK, Invoke(0x10, kGet));
  EXPECT_EQ(std::pair(VARTYPE{VT_I4}, LONG{42}), std::pair(result.vt, result.lVal));
  EXPECT_EQ(S_OK, Put(0x10, Args().Str(u"17")));  // converted by VariantChangeType
  EXPECT_EQ(17, thing->value);

  // A put needs exactly the named DISPID_PROPERTYPUT argument.
  EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, Invoke(0x10, kPut, Args().I4(1)));
  EXPECT_EQ(DISP_E_NONAMEDARGS, Invoke(0x10, kPut, Args().I4(1).Named(0)));
  EXPECT_EQ(17, thing->value);
}

TEST_F(InvokeTest, IndexedPropertyTakesItsIndexFirst) {
  EXPECT_EQ(S_OK, Put(0x21, Args().Str(u"2").R8(6.25)));
  EXPECT_EQ(6.25, thing->items[2]);
  EXPECT_EQ(S_OK, Invoke(0x21, kGet | kMethod, Args().I4(2)));
  EXPECT_EQ(std::pair(VARTYPE{VT_R8}, 6.25), std::pair(result.vt, result.dblVal));
  EXPECT_EQ(E_INVALIDARG, Invoke(0x21, kGet, Args().I4(9)));  // the member's own failure, without EXCEPINFO
}

TEST_F(InvokeTest, PutRefAndTheFallbacksBetweenPutAndPutRef) {
  auto peer = Make<Peer>();
  ITestPeer* p = peer.get();
  EXPECT_EQ(S_OK, Invoke(0x20, kPutRef, Args().Object(p, VT_DISPATCH).Named(DISPID_PROPERTYPUT)));
  EXPECT_EQ(1, thing->putrefCalls);
  // PUT of an object on a property that only has a putref, but not of a plain value.
  EXPECT_EQ(S_OK, Put(0x20, Args().Object(p, VT_UNKNOWN)));
  EXPECT_EQ(2, thing->putrefCalls);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Put(0x20, Args().I4(1)));
  // PUTREF on a property that only has a put.
  EXPECT_EQ(S_OK, Invoke(0x22, kPutRef, Args().Str(u"axis").Named(DISPID_PROPERTYPUT)));
  EXPECT_EQ(u"axis", thing->label);

  ASSERT_EQ(S_OK, Invoke(0x20, kGet));
  ASSERT_EQ(VT_DISPATCH, result.vt);
  kelmira::ComPtr<ITestPeer> back;
  ASSERT_EQ(S_OK, result.pdispVal->QueryInterface(&back));
  EXPECT_EQ(p, back.get());
}

TEST_F(InvokeTest, OutArgumentsByReference) {
  double low = 0;
  kelmira::Variant high;
  ASSERT_EQ(S_OK, Invoke(0x24, kMethod, Args().Ref(VT_R8, &low).Ref(VT_VARIANT, &high)));
  EXPECT_EQ(std::tuple(-2.0, VARTYPE{VT_R8}, 8.5), std::tuple(low, high.vt, high.dblVal));
  EXPECT_EQ(std::pair(VARTYPE{VT_BOOL}, VARIANT_TRUE), std::pair(result.vt, result.boolVal));

  LONG wrong = 0;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(0x24, kMethod, Args().Ref(VT_R8, &low).Ref(VT_I4, &wrong)));
  EXPECT_EQ(0u, argErr);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(0x24, kMethod, Args().R8(1).R8(2)));  // by value
  EXPECT_EQ(1u, argErr);
}

TEST_F(InvokeTest, RetvalOfAMethodAndTheCallFlags) {
  EXPECT_EQ(S_OK, Invoke(0x23, kMethod | kGet, Args().R8(7).I4(2)));
  EXPECT_EQ(3.5, result.dblVal);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(0x23, kGet, Args().R8(7).I4(2)));
  // A get without arguments answers DISPATCH_METHOD too; an indexed one does not.
  EXPECT_EQ(S_OK, Invoke(0x10, kMethod));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(0x21, kMethod, Args().I4(0)));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(0x99, kMethod));
  Args args;
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
            Dispatch()->Invoke(0x23, IID_ITestThing, 0, kMethod, args.R8(1).R8(1).Params(), nullptr, nullptr, nullptr));
}

TEST_F(InvokeTest, OptionalParametersTakeTheirDefaults) {
  EXPECT_EQ(S_OK, Invoke(0x25, kMethod, Args().R8(2)));
  EXPECT_EQ(std::tuple(2.0, LONG{3}, kShapeSquare), Scaled());
  EXPECT_EQ(S_OK, Invoke(0x25, kMethod, Args().R8(4).Missing().I4(kShapeCircle)));
  EXPECT_EQ(std::tuple(4.0, LONG{3}, kShapeCircle), Scaled());
  // A string default; an optional VARIANT without a default reaches the callee as missing.
  EXPECT_EQ(S_OK, Invoke(0x2e, kMethod, Args().Missing().I4(1)));
  EXPECT_EQ(u"hello world;", Text(result.bstrVal));
  EXPECT_EQ(S_OK, Invoke(0x2c, kMethod));
  EXPECT_EQ(-DISP_E_PARAMNOTFOUND, result.lVal);

  // Missing a required one, or too few or too many.
  EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, Invoke(0x25, kMethod, Args().Missing().I4(1)));
  EXPECT_EQ(1u, argErr);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(0x25, kMethod));
  thing->scaleFactor = 0;
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(0x25, kMethod, Args().R8(1).I4(1).I4(1).I4(1)));
  EXPECT_EQ(0.0, thing->scaleFactor);
}

TEST_F(InvokeTest, NamedArgumentsUseParameterPositions) {
  const std::vector<DISPID> ids = IdsOf({u"SCALE", u"Shape", u"factor"});
  EXPECT_EQ((std::vector<DISPID>{0x25, 2, 0}), ids);
  EXPECT_EQ(S_OK, Invoke(0x25, kMethod, Args().I4(kShapeCircle).Named(ids[1]).R8(5).Named(ids[2])));
  EXPECT_EQ(std::tuple(5.0, LONG{3}, kShapeCircle), Scaled());
  EXPECT_EQ(DISP_E_PARAMNOTFOUND, Invoke(0x25, kMethod, Args().R8(5).I4(1).Named(7)));
  EXPECT_EQ(0u, argErr);
}

TEST_F(InvokeTest, ConversionFailuresNameTheArgument) {
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(0x23, kMethod, Args().Str(u"abc").I4(2)));
  EXPECT_EQ(1u, argErr);  // rgvarg holds the first parameter last
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(0x23, kMethod, Args().I4(1).Str(u"x")));
  EXPECT_EQ(0u, argErr);
  thing->value = 3;
  EXPECT_EQ(DISP_E_OVERFLOW, Put(0x10, Args().R8(1e12)));
  EXPECT_EQ(0u, argErr);
  EXPECT_EQ(3, thing->value);
}

TEST_F(InvokeTest, NamesAreCaseInsensitiveAndUnknownOnesReported) {
  EXPECT_EQ((std::vector<DISPID>{0x10}), IdsOf({u"VALUE"}));
  EXPECT_EQ((std::vector<DISPID>{0x23, 1, DISPID_UNKNOWN}), IdsOf({u"divide", u"B", u"zz"}, DISP_E_UNKNOWNNAME));
  EXPECT_EQ((std::vector<DISPID>{DISPID_UNKNOWN}), IdsOf({u"Nope"}, DISP_E_UNKNOWNNAME));
  LPOLESTR name = const_cast<LPOLESTR>(u"Value");
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, Dispatch()->GetIDsOfNames(IID_ITestThing, &name, 1, 0, &id));
}

TEST_F(InvokeTest, FailingMemberWithAndWithoutExcepInfo) {
  Args args;
  args.I4(E_ACCESSDENIED);
  EXPECT_EQ(DISP_E_EXCEPTION, Invoke(0x26, kMethod, args, true));
  EXPECT_EQ(E_ACCESSDENIED, excep.scode);
  EXPECT_EQ(u"ITestThing", Text(excep.bstrSource));
  EXPECT_EQ(E_ACCESSDENIED, Invoke(0x26, kMethod, args));
  // Out-arguments and retval untouched on failure.
  EXPECT_EQ(DISP_E_DIVBYZERO, Invoke(0x23, kMethod, Args().R8(1).R8(0)));
  EXPECT_EQ(VT_EMPTY, result.vt);
}

TEST_F(InvokeTest, InterfaceArgumentsAreQueried) {
  auto peer = Make<Peer>();
  ITestPeer* p = peer.get();
  const ULONG before = RefCount(p);
  EXPECT_EQ(S_OK, Invoke(0x27, kMethod, Args().Object(p, VT_UNKNOWN)));
  EXPECT_EQ(VARIANT_TRUE, result.boolVal);
  EXPECT_EQ(p, thing->connected.get());
  thing->connected.Reset();
  EXPECT_EQ(before, RefCount(p));

  IDispatch* byRef = p;
  EXPECT_EQ(S_OK, Invoke(0x27, kMethod, Args().Ref(VT_DISPATCH, &byRef)));
  EXPECT_EQ(VARIANT_TRUE, result.boolVal);
  EXPECT_EQ(S_OK, Invoke(0x27, kMethod, Args().Empty()));
  EXPECT_EQ(VARIANT_FALSE, result.boolVal);
  EXPECT_EQ(nullptr, thing->connected.get());

  auto stranger = Make<Stranger>();
  ITestStranger* wrong = stranger.get();
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(0x27, kMethod, Args().Object(wrong, VT_DISPATCH)));
  EXPECT_EQ(0u, argErr);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(0x27, kMethod, Args().I4(1)));
}

TEST_F(InvokeTest, RecordArgumentsAreCopied) {
  kelmira::ComPtr<IRecordInfo> info;
  ASSERT_EQ(S_OK,
            GetRecordInfoFromGuids(LIBID_KelmiraDispatchTest, 2, 0, 0, *kelmira::UserTypeId<TestPoint>::value, &info));
  kelmira::Bstr label(u"north");
  TestPoint pt{3, -4, 0.5, label.get()};
  VARIANT record{};
  record.vt = VT_RECORD;
  record.brecVal.pvRecord = &pt;
  record.brecVal.pRecInfo = info.get();
  EXPECT_EQ(S_OK, Invoke(0x28, kMethod, Args().Raw(record)));
  const TestPoint& got = thing->point;
  EXPECT_EQ(std::tuple(3, -4, 0.5, std::u16string(u"north")), std::tuple(got.x, got.y, got.weight, thing->pointLabel));
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(0x28, kMethod, Args().I4(1)));
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
  Args greet;
  EXPECT_EQ(S_OK,
            Dispatch()->Invoke(0x2e, IID_NULL, 0, kMethod, greet.Str(u"x").I4(2).Params(), nullptr, nullptr, nullptr));
}

TEST_F(InvokeTest, TypeInfoAndHiddenInterfaces) {
  UINT count = 0;
  EXPECT_EQ(S_OK, Dispatch()->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  kelmira::ComPtr<ITypeInfo> info;
  EXPECT_EQ(DISP_E_BADINDEX, Dispatch()->GetTypeInfo(1, 0, &info));
  ASSERT_EQ(S_OK, Dispatch()->GetTypeInfo(0, 0, &info));
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
  EXPECT_EQ(std::pair(TKIND_DISPATCH, IID_ITestThing), std::pair(attr->typekind, attr->guid));
  info->ReleaseTypeAttr(attr);

  // Not listed in the library, still dispatched.
  auto hidden = Make<Hidden>();
  Args none;
  kelmira::Variant out;
  EXPECT_EQ(
      S_OK,
      static_cast<ITestHidden*>(hidden.get())->Invoke(5, IID_NULL, 0, kMethod, none.Params(), &out, nullptr, nullptr));
  EXPECT_EQ(99, out.lVal);
}

TEST(InvokeWithSignature, ConvertsEventArgumentsForCodeWithoutVtable) {
  LONG what = 0;
  double value = 0;
  auto sink = [&](LONG w, double v) {
    what = w, value = v;
    return S_FALSE;
  };
  Args args;
  EXPECT_EQ(S_FALSE,
            kelmira::InvokeWithSignature<HRESULT(LONG what, double value)>(args.Str(u"4").R8(2.5).Params(), sink));
  EXPECT_EQ(std::pair(LONG{4}, 2.5), std::pair(what, value));

  Args bad, few;
  UINT argErr = 9;
  EXPECT_EQ(DISP_E_TYPEMISMATCH,
            kelmira::InvokeWithSignature<HRESULT(LONG, double)>(bad.I4(1).Str(u"?").Params(), sink, &argErr));
  EXPECT_EQ(0u, argErr);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, kelmira::InvokeWithSignature<HRESULT(LONG, double)>(few.I4(1).Params(), sink));
}

}  // namespace
