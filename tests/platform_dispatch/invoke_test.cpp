// IDispatch::Invoke and GetIDsOfNames of DispatchImpl over the test library's tables.
#include "support/dispatch_test_library.h"
#include "support/invoke_args.h"
#include "support/type_descriptions.h"

#include <gtest/gtest.h>

#include <string>
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

  // The result as "vt text": "3 17" is VT_I4 17, "11 -1" VARIANT_TRUE.
  std::string Result() {
    Variant text;
    const bool shown = SUCCEEDED(VariantChangeType(&text, &result, 0, VT_BSTR));
    return std::to_string(result.vt) + " " + (shown ? Text(text.bstrVal) : "?");
  }

  std::vector<DISPID> IdsOf(std::vector<const char16_t*> names, HRESULT expected = S_OK) {
    std::vector<DISPID> ids(names.size(), 12345);
    EXPECT_EQ(expected, Dispatch()->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()),
                                                  static_cast<UINT>(names.size()), 0, ids.data()));
    return ids;
  }

  ComPtr<Object<Thing>> thing = Make<Thing>();
  Variant result;
  UINT argErr = kUntouched;
};

// In order: each call sees what the ones before it stored.
TEST_F(InvokeTest, CallsReachTheirMembersWithTheirArguments) {
  auto peer = Make<Peer>();
  ITestPeer* p = peer.get();
  IDispatch* byRef = p;
  LONG seven = 7;
  double low = 0;
  Variant high;
  ComPtr<IRecordInfo> info;
  ASSERT_EQ(S_OK, GetRecordInfoFromGuids(LIBID_KelmiraDispatchTest, 2, 0, 0, *UserTypeId<TestPoint>::value, &info));
  Bstr label(u"north");
  TestPoint pt{3, -4, 0.5, label.get()};
  VARIANT record{};
  record.vt = VT_RECORD;
  record.brecVal = {&pt, info.get()};
  {
    const std::tuple<const char*, DISPID, WORD, Args, std::string> calls[] = {
        {"put converted by VariantChangeType", 0x10, kPut, Args().Str(u"17").AsPut(), "0 "},
        {"get of a base member", 0x10, kGet, {}, "3 17"},
        {"a get without arguments answers a method call", 0x10, kMethod, {}, "3 17"},
        {"a method answers a get", 0x23, kMethod | kGet, Args().R8(7).I4(2), "5 3.5"},
        {"indexed put, index first", 0x21, kPut, Args().Str(u"2").R8(6.25).AsPut(), "0 "},
        {"indexed get", 0x21, kGet | kMethod, Args().I4(3), "5 3"},
        {"out-arguments by reference", 0x24, kMethod, Args().Ref(VT_R8, &low).Ref(VT_VARIANT, &high), "11 -1"},
        {"putref", 0x20, kPutRef, Args().Object(p, VT_DISPATCH).AsPut(), "0 "},
        {"put of an object on a putref-only property", 0x20, kPut, Args().Object(p, VT_UNKNOWN).AsPut(), "0 "},
        {"putref on a put-only property", 0x22, kPutRef, Args().Str(u"axis").AsPut(), "0 "},
        {"defaults", 0x25, kMethod, Args().R8(2), "0 "},
        {"a missing argument takes its default", 0x25, kMethod, Args().R8(4).Missing().I4(kShapeCircle), "0 "},
        {"named arguments", 0x25, kMethod, Args().I4(kShapeCircle).Named(2).R8(5).Named(0), "0 "},
        {"a string default", 0x2e, kMethod, Args().Missing().I4(1), "8 hello world;"},
        {"an optional VARIANT without default", 0x2c, kMethod, {}, "3 " + std::to_string(-DISP_E_PARAMNOTFOUND)},
        {"a VARIANT keeps its type", 0x2c, kMethod, Args().Str(u"s"), "3 8"},
        {"a VARIANT follows references", 0x2a, kMethod, Args().Ref(VT_I4, &seven), "8 7"},
        {"an enumeration", 0x2b, kGet, {}, "3 7"},
        {"an empty object", 0x27, kMethod, Args().Empty(), "11 0"},
        {"an object queried for its interface", 0x27, kMethod, Args().Object(p, VT_UNKNOWN), "11 -1"},
        {"an object by reference", 0x27, kMethod, Args().Ref(VT_DISPATCH, &byRef), "11 -1"},
        {"a record, copied", 0x28, kMethod, Args().Copy(record), "0 "},
    };
    for (const auto& [what, id, flags, args, expected] : calls) {
      SCOPED_TRACE(what);
      EXPECT_EQ(S_OK, Invoke(id, flags, args));
      EXPECT_EQ(expected, Result());
    }
  }
  EXPECT_EQ(
      "Value 17;Item 2 6.25;Peer;Peer;Label axis;Scale 2 3 7;Scale 4 3 1;Scale 5 3 1;Connect none;Connect peer;"
      "Connect peer;Place 3 -4 0.5 north;",
      thing->log);
  EXPECT_EQ(std::tuple(-2.0, VARTYPE{VT_R8}, 6.25), std::tuple(low, high.vt, high.dblVal));
  ASSERT_EQ(S_OK, Invoke(0x20, kGet));
  ASSERT_EQ(VT_DISPATCH, result.vt);
  ComPtr<ITestPeer> back;
  ASSERT_EQ(S_OK, result.pdispVal->QueryInterface(&back));
  EXPECT_EQ(std::pair(p, p), std::pair(back.get(), thing->connected.get()));

  // Raw pointers go out as references.
  ASSERT_EQ(S_OK, Invoke(0x29, kGet));
  EXPECT_EQ(std::pair(VARTYPE(VT_BYREF | VT_R4), thing->samples), std::pair(result.vt, result.pfltVal));
  EXPECT_EQ(S_OK, Invoke(0x2d, kMethod));
  EXPECT_EQ(std::pair(VARTYPE(VT_BYREF | VT_UI1), thing->bytes), std::pair(result.vt, result.pbVal));
  // Without pVarResult the retval is freed.
  Args greet = Args().Str(u"x").I4(2);
  EXPECT_EQ(S_OK, Dispatch()->Invoke(0x2e, IID_NULL, 0, kMethod, greet.Params(), nullptr, nullptr, nullptr));

  // Every reference the calls took is given back.
  back.Reset(), result.Clear(), thing.Reset();
  EXPECT_EQ(1u, (p->AddRef(), p->Release()));
}

TEST_F(InvokeTest, NamesAreFoundWithoutRegardToCase) {
  EXPECT_EQ((std::vector<DISPID>{0x25, 2, 0}), IdsOf({u"SCALE", u"Shape", u"factor"}));
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
  auto hidden = Make<Hidden>();
  const std::tuple<const char*, DISPID, WORD, Args, HRESULT, UINT> rows[] = {
      {"put without DISPID_PROPERTYPUT", 0x10, kPut, Args().I4(1), DISP_E_PARAMNOTOPTIONAL, kUntouched},
      {"put under another name", 0x10, kPut, Args().I4(1).Named(0), DISP_E_NONAMEDARGS, kUntouched},
      {"put that overflows", 0x10, kPut, Args().R8(1e12).AsPut(), DISP_E_OVERFLOW, 0},
      {"value put on a putref-only property", 0x20, kPut, Args().I4(1).AsPut(), DISP_E_MEMBERNOTFOUND, kUntouched},
      {"the member's own failure", 0x21, kGet, Args().I4(9), E_INVALIDARG, kUntouched},
      {"indexed get as a method", 0x21, kMethod, Args().I4(0), DISP_E_MEMBERNOTFOUND, kUntouched},
      {"method as a get", 0x23, kGet, Args().R8(7).I4(2), DISP_E_MEMBERNOTFOUND, kUntouched},
      {"unknown member", 0x99, kMethod, Args(), DISP_E_MEMBERNOTFOUND, kUntouched},
      {"first parameter does not convert", 0x23, kMethod, Args().Str(u"abc").I4(2), DISP_E_TYPEMISMATCH, 1},
      {"second parameter does not convert", 0x23, kMethod, Args().I4(1).Str(u"x"), DISP_E_TYPEMISMATCH, 0},
      {"failure without EXCEPINFO", 0x23, kMethod, Args().R8(1).R8(0), DISP_E_DIVBYZERO, kUntouched},
      {"out-argument of another type", 0x24, kMethod, Args().Ref(VT_R8, &low).Ref(VT_I4, &wrong), DISP_E_TYPEMISMATCH,
       0},
      {"out-argument by value", 0x24, kMethod, Args().R8(1).R8(2), DISP_E_TYPEMISMATCH, 1},
      {"required parameter missing", 0x25, kMethod, Args().Missing().I4(1), DISP_E_PARAMNOTOPTIONAL, 1},
      {"too few", 0x25, kMethod, Args(), DISP_E_BADPARAMCOUNT, kUntouched},
      {"too many", 0x25, kMethod, Args().R8(1).I4(1).I4(1).I4(1), DISP_E_BADPARAMCOUNT, kUntouched},
      {"unknown parameter name", 0x25, kMethod, Args().R8(5).I4(1).Named(7), DISP_E_PARAMNOTFOUND, 0},
      {"object of another interface", 0x27, kMethod,
       Args().Object(static_cast<ITestHidden*>(hidden.get()), VT_DISPATCH), DISP_E_TYPEMISMATCH, 0},
      {"number for an object", 0x27, kMethod, Args().I4(1), DISP_E_TYPEMISMATCH, 0},
      {"number for a record", 0x28, kMethod, Args().I4(1), DISP_E_TYPEMISMATCH, 0},
  };
  for (const auto& [what, id, flags, args, expected, wrongArg] : rows) {
    SCOPED_TRACE(what);
    EXPECT_EQ(expected, Invoke(id, flags, args));
    EXPECT_EQ(std::tuple(wrongArg, VARTYPE{VT_EMPTY}, std::string()), std::tuple(argErr, result.vt, thing->log));
  }

  EXCEPINFO excep{};
  Args code = Args().I4(E_ACCESSDENIED);
  EXPECT_EQ(DISP_E_EXCEPTION, Dispatch()->Invoke(0x26, IID_NULL, 0, kMethod, code.Params(), nullptr, &excep, nullptr));
  EXPECT_EQ(std::pair(E_ACCESSDENIED, std::string("ITestThing")), std::pair(excep.scode, Text(excep.bstrSource)));
  for (BSTR s : {excep.bstrSource, excep.bstrDescription, excep.bstrHelpFile}) SysFreeString(s);
}

TEST_F(InvokeTest, TypeInfoAndHiddenInterfaces) {
  UINT count = 0;
  EXPECT_EQ(S_OK, Dispatch()->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(DISP_E_BADINDEX, Dispatch()->GetTypeInfo(1, 0, &info));
  ASSERT_EQ(S_OK, Dispatch()->GetTypeInfo(0, 0, &info));
  EXPECT_EQ("dispatch ITestThing funcs 19 slots 7 dual oleauto dispatchable: IDispatch", Summary(info.get()));

  // Not listed in the library, still dispatched.
  auto hidden = Make<Hidden>();
  Args none;
  EXPECT_EQ(S_OK, static_cast<ITestHidden*>(hidden.get())
                      ->Invoke(5, IID_NULL, 0, kMethod, none.Params(), &result, nullptr, nullptr));
  EXPECT_EQ(99, result.lVal);
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
