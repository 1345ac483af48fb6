// ITypeInfo over the test library: the two views of a dual interface, functions with their
// parameters, enumerations, records, coclasses and event interfaces; IRecordInfo; and the
// tables registration refuses.
#include "support/dispatch_test_library.h"
#include "support/invoke_args.h"
#include "support/type_descriptions.h"
#include "support/vtable_entry.h"

#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

TEST(TypeInfo, DualInterfaceHasADispatchAndAVtableView) {
  // The dispatch view lists the base's members first and implements IDispatch; the vtable view
  // lists only its own, after those of its bases, where the C++ vtable has them.
  ComPtr<ITypeInfo> dispatch = TestTypeInfo(IID_ITestThing);
  EXPECT_EQ("dispatch ITestThing funcs 19 slots 7 dual oleauto dispatchable: IDispatch", Summary(dispatch.get()));
  ComPtr<ITypeInfo> vtable = ImplOf(dispatch.get(), UINT(-1));
  EXPECT_EQ("interface ITestThing funcs 17 slots 26 dual oleauto dispatchable: ITestBase", Summary(vtable.get()));
  HREFTYPE href = 0;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, vtable->GetRefTypeOfImplType(UINT(-1), &href));
  for (auto [index, entry] : {std::pair{0u, EntryOf(&ITestThing::get_Peer)}, {16u, EntryOf(&ITestThing::Greet)}})
    EXPECT_EQ(static_cast<SHORT>((entry - 1) * sizeof(void*)), FuncOf(vtable.get(), index)->oVft) << index;
  EXPECT_EQ(CC_STDCALL, FuncOf(vtable.get(), 5)->callconv);
  EXPECT_EQ("0x23 virtual func Divide(in R8, in R8, out retval R8*) HRESULT", Signature(vtable.get(), 5));

  // Bases: ITestBase, then the platform's IDispatch and IUnknown.
  ComPtr<ITypeInfo> base = ImplOf(vtable.get(), 0);
  EXPECT_EQ("interface ITestBase funcs 2 slots 9 dual oleauto dispatchable: IDispatch", Summary(base.get()));
  ComPtr<ITypeInfo> idispatch = ImplOf(base.get(), 0);
  EXPECT_EQ(std::pair(std::string("interface IDispatch slots 7 dispatchable: IUnknown"), IID_IDispatch),
            std::pair(Summary(idispatch.get()), AttrOf(idispatch.get())->guid));

  UINT index = 0;
  ComPtr<ITypeLib> lib;
  ASSERT_EQ(S_OK, vtable->GetContainingTypeLib(&lib, &index));
  EXPECT_EQ(4u, index);
}

// The dispatch view lists the base's members first, returns the retval and names library types.
TEST(TypeInfo, DispatchViewSignatures) {
  ComPtr<ITypeInfo> info = TestTypeInfo(IID_ITestThing);
  std::vector<std::string> got;
  for (UINT i = 0; i < 19; ++i) got.push_back(Signature(info.get(), i));
  EXPECT_EQ(
      (std::vector<std::string>{
          "0x10 dispatch get Value() I4", "0x10 dispatch put Value(in I4) void", "0x20 dispatch get Peer() ITestPeer*",
          "0x20 dispatch putref Peer(in ITestPeer*) void", "0x21 dispatch get Item(in I4) R8",
          "0x21 dispatch put Item(in I4, in R8) void", "0x22 dispatch put Label(in BSTR) void",
          "0x23 dispatch func Divide(in R8, in R8) R8", "0x24 dispatch func MinMax(out R8*, out R8*) BOOL",
          "0x25 dispatch func Scale(in R8, in opt =3 I4, in opt =7 eTestShape) void",
          "0x26 dispatch func Fail(in I4) void", "0x27 dispatch func Connect(in ITestPeer*) BOOL",
          "0x28 dispatch func Place(in TestPoint) void", "0x29 dispatch get Samples() R4*",
          "0x2a dispatch func Describe(in VARIANT) BSTR", "0x2b dispatch get Shape() eTestShape",
          "0x2c dispatch func Probe(in opt VARIANT) I4 optional 1", "0x2d dispatch func Bytes() UI1*",
          "0x2e dispatch func Greet(in opt =world BSTR, in I4) BSTR"}),
      got);
}

TEST(TypeInfo, NamesDocumentationAndInvoke) {
  ComPtr<ITypeInfo> info = TestTypeInfo(IID_ITestThing);
  auto names = [](ITypeInfo* of) {
    BSTR got[5] = {};
    UINT count = 0;
    EXPECT_EQ(S_OK, of->GetNames(0x23, got, 5, &count));
    std::string out;
    for (UINT i = 0; i < count; ++i) out += Text(got[i]) + ";", SysFreeString(got[i]);
    return out;
  };
  // Only the vtable view names the retval.
  EXPECT_EQ("Divide;a;b;", names(info.get()));
  EXPECT_EQ("Divide;a;b;pResult;", names(ImplOf(info.get(), UINT(-1)).get()));

  Bstr name, doc;
  ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr));
  EXPECT_EQ(std::tuple("ITestThing", "The test interface", "Greet"),
            std::tuple(Text(name.get()), Text(doc.get()), NameOf(info.get(), 0x2e)));
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, info->GetDocumentation(0x77, &name, nullptr, nullptr, nullptr));

  LPOLESTR wanted[] = {const_cast<LPOLESTR>(u"greet"), const_cast<LPOLESTR>(u"COUNT")};
  MEMBERID ids[2];
  ASSERT_EQ(S_OK, info->GetIDsOfNames(wanted, 2, ids));
  EXPECT_EQ(std::pair(MEMBERID{0x2e}, MEMBERID{1}), std::pair(ids[0], ids[1]));

  auto thing = Make<Thing>();
  Args args = Args().R8(9).R8(3);
  Variant result;
  ASSERT_EQ(S_OK, info->Invoke(static_cast<ITestThing*>(thing.get()), 0x23, DISPATCH_METHOD, args.Params(), &result,
                               nullptr, nullptr));
  EXPECT_EQ(3.0, result.dblVal);
}

TEST(TypeInfo, EnumerationAndRecord) {
  ComPtr<ITypeInfo> shape = TestTypeInfo(*UserTypeId<eTestShape>::value);
  EXPECT_EQ("enum eTestShape vars 3", Summary(shape.get()));
  auto square = VarOf(shape.get(), 2);
  EXPECT_EQ(std::tuple(VAR_CONST, VARTYPE{VT_I4}, LONG{7}, "kShapeSquare"),
            std::tuple(square->varkind, square->lpvarValue->vt, square->lpvarValue->lVal,
                       NameOf(shape.get(), square->memid)));

  ComPtr<ITypeInfo> point = TestTypeInfo(*UserTypeId<TestPoint>::value);
  EXPECT_EQ("record TestPoint vars 4 size " + std::to_string(sizeof(TestPoint)), Summary(point.get()));
  auto label = VarOf(point.get(), 3);
  EXPECT_EQ(std::tuple(VAR_PERINSTANCE, offsetof(TestPoint, label), VARTYPE{VT_BSTR}),
            std::tuple(label->varkind, std::size_t{label->oInst}, label->elemdescVar.tdesc.vt));
  VARDESC* none = nullptr;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, point->GetVarDesc(4, &none));
}

TEST(TypeInfo, CoclassesAndEventInterfaces) {
  ComPtr<ITypeInfo> thing = TestTypeInfo(CLSID_TestThing);
  EXPECT_EQ("coclass TestThing cancreate control: ITestThing default, ITestBase, _ITestEvents default source",
            Summary(thing.get()));
  ComPtr<ITypeInfo> events = ImplOf(thing.get(), 2);
  EXPECT_EQ(std::pair(std::string("dispatch _ITestEvents funcs 2 slots 7 dispatchable: IDispatch"), DIID__ITestEvents),
            std::pair(Summary(events.get()), AttrOf(events.get())->guid));
  EXPECT_EQ("0x1 dispatch func OnChanged(in I4, in R8) void", Signature(events.get(), 0));
  EXPECT_EQ("coclass TestFuture: ITestPeer default", Summary(TestTypeInfo(CLSID_TestFuture).get()));
}

TEST(RecordInfo, FieldsCopiesAndVariants) {
  TestLibrary();
  ComPtr<IRecordInfo> info;
  ASSERT_EQ(S_OK, GetRecordInfoFromGuids(LIBID_KelmiraDispatchTest, 2, 0, 0, *UserTypeId<TestPoint>::value, &info));
  ULONG size = 0, fields = 0;
  EXPECT_EQ(std::pair(S_OK, S_OK), std::pair(info->GetSize(&size), info->GetFieldNames(&fields, nullptr)));
  EXPECT_EQ(std::tuple(ULONG{sizeof(TestPoint)}, ULONG{4}, TRUE),
            std::tuple(size, fields, info->IsMatchingType(info.get())));

  auto* point = static_cast<TestPoint*>(info->RecordCreate());
  ASSERT_NE(nullptr, point);
  Args values = Args().I4(2).Str(u"east");
  DISPPARAMS* p = values.Params();  // rgvarg[0] is the text, rgvarg[1] the number
  EXPECT_EQ(S_OK, info->PutField(INVOKE_PROPERTYPUT, point, u"label", &p->rgvarg[0]));
  EXPECT_EQ(S_OK, info->PutField(INVOKE_PROPERTYPUT, point, u"WEIGHT", &p->rgvarg[1]));
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, info->PutField(0, point, u"z", &p->rgvarg[0]));
  Variant field;
  ASSERT_EQ(S_OK, info->GetField(point, u"label", &field));
  EXPECT_EQ(std::tuple(2.0, "east", true),
            std::tuple(point->weight, Text(field.bstrVal), point->label != field.bstrVal));

  // A VT_RECORD variant copies its record through the record info, and frees the copy.
  VARIANT record{};
  record.vt = VT_RECORD;
  record.brecVal = {point, info.get()};
  Variant copy;
  ASSERT_EQ(S_OK, VariantCopy(&copy, &record));
  auto* copied = static_cast<TestPoint*>(copy.brecVal.pvRecord);
  EXPECT_EQ(std::tuple(true, "east", true),
            std::tuple(point != copied, Text(copied->label), point->label != copied->label));
  EXPECT_EQ(S_OK, info->RecordDestroy(point));
}

TEST(Registration, InconsistentTablesAreRefused) {
  static constexpr MemberInfo members[] = {
      MakeMember<&ITestPeer::get_Id>("Id", MemberKind::Get, 1, "(LONG* pVal)", 0, "nope=1"), {}};
  static constexpr IID iid = {0x11111111, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
  // A default for a parameter it does not have; a base that is not in the library.
  static constexpr InterfaceInfo badDefault{"IBad", &iid, &IID_IDispatch, kInterfaceDual, "", members, 1, 7};
  static constexpr InterfaceInfo badBase{"IBad", &iid, &IID_ITestBase, kInterfaceDual, "", members, 0, 7};
  static constexpr TypeEntry defaultEntry[] = {MakeTypeEntry(badDefault)};
  static constexpr TypeEntry baseEntry[] = {MakeTypeEntry(badBase)};
  static constexpr TypeLibraryInfo first{"Bad", &iid, 1, 0, "", defaultEntry, 1};
  static constexpr TypeLibraryInfo second{"Bad", &iid, 1, 0, "", baseEntry, 1};
  EXPECT_EQ(E_INVALIDARG, RegisterTypeLibraryInfo(&first));
  EXPECT_EQ(E_INVALIDARG, RegisterTypeLibraryInfo(&second));
  EXPECT_EQ(nullptr, FindDispatchTable(iid));
  EXPECT_EQ(S_FALSE, RegisterTypeLibraryInfo(&TestLibrary()));
}

}  // namespace
}  // namespace kelmira::test
