// IDispatch::Invoke and GetIDsOfNames of DispatchImpl over the test library's tables.
#include "platform_dispatch/test_interface.h"

#include <gtest/gtest.h>

namespace {

constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kPutRef = DISPATCH_PROPERTYPUTREF;
constexpr WORD kMethod = DISPATCH_METHOD;

class InvokeTest : public ::testing::Test {
 protected:
  IDispatch* Dispatch() { return static_cast<ITestThing*>(thing.get()); }
  void Invoke(DISPID id, WORD flags, Args& args, bool withExcepInfo = false) {
    call = std::make_unique<CallResult>();
    Call(Dispatch(), id, flags, args, *call, withExcepInfo);
  }
  HRESULT Put(DISPID id, Args& args) {
    Invoke(id, kPut, args);
    return call->hr;
  }

  kelmira::ComPtr<kelmira::Object<Thing>> thing = MakeThing();
  std::unique_ptr<CallResult> call;
};

TEST_F(InvokeTest, GetAndPutThroughTheBaseInterfaceMember) {
  Args put;
  put.I4(42).Named(DISPID_PROPERTYPUT);
  EXPECT_EQ(S_OK, Put(0x10, put));
  EXPECT_EQ(42, thing->value);

  Args none;
  Invoke(0x10, kGet, none);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(VT_I4, call->result.vt);
  EXPECT_EQ(42, call->result.lVal);

  Args text;  // converted by VariantChangeType
  text.Str(u"17").Named(DISPID_PROPERTYPUT);
  EXPECT_EQ(S_OK, Put(0x10, text));
  EXPECT_EQ(17, thing->value);
}

TEST_F(InvokeTest, PutNeedsExactlyTheNamedPropertyPutArgument) {
  thing->value = 5;
  Args unnamed;
  unnamed.I4(1);
  EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, Put(0x10, unnamed));

  Args otherName;
  otherName.I4(1).Named(0);
  EXPECT_EQ(DISP_E_NONAMEDARGS, Put(0x10, otherName));
  EXPECT_EQ(5, thing->value);
}

TEST_F(InvokeTest, IndexedPropertyTakesItsIndexFirst) {
  Args put;
  put.Str(u"2").R8(6.25).Named(DISPID_PROPERTYPUT);
  EXPECT_EQ(S_OK, Put(0x21, put));
  EXPECT_EQ(6.25, thing->items[2]);

  Args get;
  get.I4(2);
  Invoke(0x21, kGet | kMethod, get);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(VT_R8, call->result.vt);
  EXPECT_EQ(6.25, call->result.dblVal);

  Args bad;  // the member's own failure, without EXCEPINFO
  bad.I4(9);
  Invoke(0x21, kGet, bad);
  EXPECT_EQ(E_INVALIDARG, call->hr);
}

TEST_F(InvokeTest, PutRefAndTheFallbacksBetweenPutAndPutRef) {
  auto peer = MakePeer(7);
  Args ref;
  ref.Object(static_cast<ITestPeer*>(peer.get()), VT_DISPATCH).Named(DISPID_PROPERTYPUT);
  Invoke(0x20, kPutRef, ref);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(1, thing->putrefCalls);

  // PUT of an object on a property that only has a putref.
  Args put;
  put.Object(static_cast<ITestPeer*>(peer.get()), VT_UNKNOWN).Named(DISPID_PROPERTYPUT);
  EXPECT_EQ(S_OK, Put(0x20, put));
  EXPECT_EQ(2, thing->putrefCalls);

  // ... but not of a plain value.
  Args number;
  number.I4(1).Named(DISPID_PROPERTYPUT);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Put(0x20, number));

  // PUTREF on a property that only has a put.
  Args label;
  label.Str(u"axis").Named(DISPID_PROPERTYPUT);
  Invoke(0x22, kPutRef, label);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(u"axis", thing->label);

  Args none;
  Invoke(0x20, kGet, none);
  ASSERT_EQ(S_OK, call->hr);
  ASSERT_EQ(VT_DISPATCH, call->result.vt);
  kelmira::ComPtr<ITestPeer> back;
  ASSERT_EQ(S_OK, call->result.pdispVal->QueryInterface(&back));
  EXPECT_EQ(static_cast<ITestPeer*>(peer.get()), back.get());
}

TEST_F(InvokeTest, OutArgumentsByReference) {
  double low = 0;
  kelmira::Variant high;
  Args args;
  args.Ref(VT_R8, &low).Ref(VT_VARIANT, &high);
  Invoke(0x24, kMethod, args);
  ASSERT_EQ(S_OK, call->hr);
  EXPECT_EQ(-2.0, low);
  EXPECT_EQ(VT_R8, high.vt);
  EXPECT_EQ(8.5, high.dblVal);
  EXPECT_EQ(VT_BOOL, call->result.vt);
  EXPECT_EQ(VARIANT_TRUE, call->result.boolVal);

  LONG wrong = 0;
  Args mismatch;
  mismatch.Ref(VT_R8, &low).Ref(VT_I4, &wrong);
  Invoke(0x24, kMethod, mismatch);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, call->hr);
  EXPECT_EQ(0u, call->argErr);

  Args byValue;
  byValue.R8(1).R8(2);
  Invoke(0x24, kMethod, byValue);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, call->hr);
  EXPECT_EQ(1u, call->argErr);
}

TEST_F(InvokeTest, RetvalOfAMethodAndTheCallFlags) {
  Args args;
  args.R8(7).I4(2);
  Invoke(0x23, kMethod | kGet, args);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(3.5, call->result.dblVal);

  Invoke(0x23, kGet, args);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, call->hr);

  // A get without arguments answers DISPATCH_METHOD too; an indexed one does not.
  Args none;
  Invoke(0x10, kMethod, none);
  EXPECT_EQ(S_OK, call->hr);
  Args index;
  index.I4(0);
  Invoke(0x21, kMethod, index);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, call->hr);

  Invoke(0x99, kMethod, none);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, call->hr);
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
            Dispatch()->Invoke(0x23, IID_ITestThing, 0, kMethod, args.Params(), nullptr, nullptr, nullptr));
}

TEST_F(InvokeTest, OptionalParametersTakeTheirDefaults) {
  Args one;
  one.R8(2);
  Invoke(0x25, kMethod, one);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(2.0, thing->scaleFactor);
  EXPECT_EQ(3, thing->scaleSteps);
  EXPECT_EQ(kShapeSquare, thing->scaleShape);

  Args skipped;
  skipped.R8(4).Missing().I4(kShapeCircle);
  Invoke(0x25, kMethod, skipped);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(3, thing->scaleSteps);
  EXPECT_EQ(kShapeCircle, thing->scaleShape);

  Args greet;  // a string default
  greet.Missing().I4(1);
  Invoke(0x2e, kMethod, greet);
  EXPECT_EQ(u"hello world;", Text(call->result.bstrVal));

  Args probe;  // optional VARIANT without a default: the callee sees it missing
  Invoke(0x2c, kMethod, probe);
  EXPECT_EQ(-DISP_E_PARAMNOTFOUND, call->result.lVal);
}

TEST_F(InvokeTest, MissingAndSurplusArguments) {
  Args required;
  required.Missing().I4(1);
  Invoke(0x25, kMethod, required);
  EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, call->hr);
  EXPECT_EQ(1u, call->argErr);

  Args none;
  Invoke(0x25, kMethod, none);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, call->hr);

  Args tooMany;
  tooMany.R8(1).I4(1).I4(1).I4(1);
  Invoke(0x25, kMethod, tooMany);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, call->hr);
  EXPECT_EQ(0.0, thing->scaleFactor);
}

TEST_F(InvokeTest, NamedArgumentsUseParameterPositions) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"SCALE"), const_cast<LPOLESTR>(u"Shape"),
                      const_cast<LPOLESTR>(u"factor")};
  DISPID ids[3];
  ASSERT_EQ(S_OK, Dispatch()->GetIDsOfNames(IID_NULL, names, 3, 0, ids));
  EXPECT_EQ(0x25, ids[0]);
  EXPECT_EQ(2, ids[1]);
  EXPECT_EQ(0, ids[2]);

  Args args;
  args.I4(kShapeCircle).Named(ids[1]).R8(5).Named(ids[2]);
  Invoke(0x25, kMethod, args);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(5.0, thing->scaleFactor);
  EXPECT_EQ(3, thing->scaleSteps);
  EXPECT_EQ(kShapeCircle, thing->scaleShape);

  Args unknown;
  unknown.R8(5).I4(1).Named(7);
  Invoke(0x25, kMethod, unknown);
  EXPECT_EQ(DISP_E_PARAMNOTFOUND, call->hr);
  EXPECT_EQ(0u, call->argErr);
}

TEST_F(InvokeTest, ConversionFailuresNameTheArgument) {
  Args text;
  text.Str(u"abc").I4(2);
  Invoke(0x23, kMethod, text);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, call->hr);
  EXPECT_EQ(1u, call->argErr);  // rgvarg holds the first parameter last

  Args second;
  second.I4(1).Str(u"x");
  Invoke(0x23, kMethod, second);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, call->hr);
  EXPECT_EQ(0u, call->argErr);

  thing->value = 3;
  Args big;
  big.R8(1e12).Named(DISPID_PROPERTYPUT);
  EXPECT_EQ(DISP_E_OVERFLOW, Put(0x10, big));
  EXPECT_EQ(0u, call->argErr);
  EXPECT_EQ(3, thing->value);
}

TEST_F(InvokeTest, NamesAreCaseInsensitiveAndUnknownOnesReported) {
  EXPECT_EQ(0x10, IdOf(Dispatch(), u"VALUE"));
  EXPECT_EQ(0x23, IdOf(Dispatch(), u"divide"));

  LPOLESTR names[] = {const_cast<LPOLESTR>(u"Divide"), const_cast<LPOLESTR>(u"B"), const_cast<LPOLESTR>(u"zz")};
  DISPID ids[3];
  EXPECT_EQ(DISP_E_UNKNOWNNAME, Dispatch()->GetIDsOfNames(IID_NULL, names, 3, 0, ids));
  EXPECT_EQ(0x23, ids[0]);
  EXPECT_EQ(1, ids[1]);
  EXPECT_EQ(DISPID_UNKNOWN, ids[2]);

  LPOLESTR missing[] = {const_cast<LPOLESTR>(u"Nope")};
  EXPECT_EQ(DISP_E_UNKNOWNNAME, Dispatch()->GetIDsOfNames(IID_NULL, missing, 1, 0, ids));
  EXPECT_EQ(DISPID_UNKNOWN, ids[0]);
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, Dispatch()->GetIDsOfNames(IID_ITestThing, missing, 1, 0, ids));
}

TEST_F(InvokeTest, FailingMemberWithAndWithoutExcepInfo) {
  Args args;
  args.I4(E_ACCESSDENIED);
  Invoke(0x26, kMethod, args, true);
  EXPECT_EQ(DISP_E_EXCEPTION, call->hr);
  EXPECT_EQ(E_ACCESSDENIED, call->excep.scode);
  EXPECT_EQ(u"ITestThing", Text(call->excep.bstrSource));

  Invoke(0x26, kMethod, args);
  EXPECT_EQ(E_ACCESSDENIED, call->hr);

  Args zero;  // out-arguments and retval untouched on failure
  zero.R8(1).R8(0);
  Invoke(0x23, kMethod, zero);
  EXPECT_EQ(DISP_E_DIVBYZERO, call->hr);
  EXPECT_EQ(VT_EMPTY, call->result.vt);
}

TEST_F(InvokeTest, InterfaceArgumentsAreQueried) {
  auto peer = MakePeer(3);
  const ULONG before = RefCount(static_cast<ITestPeer*>(peer.get()));
  {
    Args args;
    args.Object(static_cast<ITestPeer*>(peer.get()), VT_UNKNOWN);
    Invoke(0x27, kMethod, args);
    EXPECT_EQ(S_OK, call->hr);
    EXPECT_EQ(VARIANT_TRUE, call->result.boolVal);
    EXPECT_EQ(static_cast<ITestPeer*>(peer.get()), thing->connected.get());
  }
  thing->connected.Reset();
  EXPECT_EQ(before, RefCount(static_cast<ITestPeer*>(peer.get())));

  IDispatch* byRef = static_cast<ITestPeer*>(peer.get());
  Args reference;
  reference.Ref(VT_DISPATCH, &byRef);
  Invoke(0x27, kMethod, reference);
  EXPECT_EQ(VARIANT_TRUE, call->result.boolVal);

  Args empty;
  empty.Empty();
  Invoke(0x27, kMethod, empty);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(VARIANT_FALSE, call->result.boolVal);
  EXPECT_EQ(nullptr, thing->connected.get());

  auto stranger = MakeStranger();
  Args wrong;
  wrong.Object(static_cast<ITestStranger*>(stranger.get()), VT_DISPATCH);
  Invoke(0x27, kMethod, wrong);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, call->hr);
  EXPECT_EQ(0u, call->argErr);

  Args number;
  number.I4(1);
  Invoke(0x27, kMethod, number);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, call->hr);
}

TEST_F(InvokeTest, RecordArgumentsAreCopied) {
  kelmira::ComPtr<IRecordInfo> info;
  ASSERT_EQ(S_OK, GetRecordInfoFromGuids(LIBID_KelmiraDispatchTest, 2, 0, 0,
                                         *kelmira::UserTypeId<TestPoint>::value, &info));
  kelmira::Bstr label(u"north");
  TestPoint pt{3, -4, 0.5, label.get()};
  VARIANT record{};
  record.vt = VT_RECORD;
  record.brecVal.pvRecord = &pt;
  record.brecVal.pRecInfo = info.get();
  Args args;
  args.Raw(record);
  Invoke(0x28, kMethod, args);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(3, thing->point.x);
  EXPECT_EQ(-4, thing->point.y);
  EXPECT_EQ(0.5, thing->point.weight);
  EXPECT_EQ(u"north", thing->pointLabel);

  Args number;
  number.I4(1);
  Invoke(0x28, kMethod, number);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, call->hr);
}

TEST_F(InvokeTest, RawPointerAndEnumerationResults) {
  Args none;
  Invoke(0x29, kGet, none);
  ASSERT_EQ(S_OK, call->hr);
  EXPECT_EQ(VT_BYREF | VT_R4, call->result.vt);
  EXPECT_EQ(thing->samples, call->result.pfltVal);

  Invoke(0x2d, kMethod, none);
  EXPECT_EQ(VT_BYREF | VT_UI1, call->result.vt);
  EXPECT_EQ(thing->bytes, call->result.pbVal);

  Invoke(0x2b, kGet, none);
  EXPECT_EQ(VT_I4, call->result.vt);
  EXPECT_EQ(kShapeSquare, call->result.lVal);

  // Without pVarResult the retval is freed.
  Args greet;
  greet.Str(u"x").I4(2);
  EXPECT_EQ(S_OK, Dispatch()->Invoke(0x2e, IID_NULL, 0, kMethod, greet.Params(), nullptr, nullptr, nullptr));
}

TEST_F(InvokeTest, VariantParametersFollowReferences) {
  LONG seven = 7;
  Args args;
  args.Ref(VT_I4, &seven);
  Invoke(0x2a, kMethod, args);
  EXPECT_EQ(S_OK, call->hr);
  EXPECT_EQ(u"7", Text(call->result.bstrVal));

  Args probe;
  probe.Str(u"s");
  Invoke(0x2c, kMethod, probe);
  EXPECT_EQ(VT_BSTR, call->result.lVal);
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
  EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
  EXPECT_EQ(IID_ITestThing, attr->guid);
  info->ReleaseTypeAttr(attr);

  // Not listed in the library, still dispatched.
  kelmira::ComPtr<kelmira::Object<Hidden>> hidden;
  ASSERT_EQ(S_OK, kelmira::Object<Hidden>::Make(&hidden));
  Args none;
  CallResult result;
  Call(static_cast<ITestHidden*>(hidden.get()), 5, kMethod, none, result);
  EXPECT_EQ(S_OK, result.hr);
  EXPECT_EQ(99, result.result.lVal);
}

TEST(InvokeWithSignature, ConvertsEventArgumentsForCodeWithoutVtable) {
  Args args;
  args.Str(u"4").R8(2.5);
  LONG what = 0;
  double value = 0;
  auto sink = [&](LONG w, double v) {
    what = w;
    value = v;
    return S_FALSE;
  };
  EXPECT_EQ(S_FALSE, kelmira::InvokeWithSignature<HRESULT(LONG what, double value)>(args.Params(), sink));
  EXPECT_EQ(4, what);
  EXPECT_EQ(2.5, value);

  Args bad;
  bad.I4(1).Str(u"?");
  UINT argErr = 9;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, kelmira::InvokeWithSignature<HRESULT(LONG, double)>(bad.Params(), sink, &argErr));
  EXPECT_EQ(0u, argErr);

  Args few;
  few.I4(1);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, kelmira::InvokeWithSignature<HRESULT(LONG, double)>(few.Params(), sink));
}

}  // namespace
