// ITypeInfo over the test library: the two views of a dual interface, functions with their
// parameters, enumerations, records, coclasses and event interfaces.
#include "platform_dispatch/typeinfo_helpers.h"

#include <tuple>
#include <vector>

namespace {

using kelmira::ComPtr;

constexpr WORD kDualFlags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
constexpr UINT kThingOwnMembers = 17;

TEST(TypeInfo, DualInterfaceHasADispatchAndAVtableView) {
  ComPtr<ITypeInfo> dispatch = TestTypeInfo(IID_ITestThing);
  {
    AttrOf attr(dispatch.get());
    EXPECT_EQ(std::pair(TKIND_DISPATCH, IID_ITestThing), std::pair(attr->typekind, attr->guid));
    EXPECT_EQ(2 + kThingOwnMembers, attr->cFuncs);  // the base's members come first
    EXPECT_EQ(std::tuple(1, 7 * sizeof(void*), kDualFlags),
              std::tuple(attr->cImplTypes, std::size_t{attr->cbSizeVft}, attr->wTypeFlags));
  }
  EXPECT_EQ(u"IDispatch", NameOf(ImplOf(dispatch.get(), 0).get()));

  ComPtr<ITypeInfo> vtable = ImplOf(dispatch.get(), UINT(-1));
  {
    AttrOf attr(vtable.get());
    EXPECT_EQ(std::tuple(TKIND_INTERFACE, kThingOwnMembers, (7 + 2 + kThingOwnMembers) * sizeof(void*), kDualFlags),
              std::tuple(attr->typekind, UINT{attr->cFuncs}, std::size_t{attr->cbSizeVft}, attr->wTypeFlags));
  }
  HREFTYPE href = 0;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, vtable->GetRefTypeOfImplType(UINT(-1), &href));

  // Bases: ITestBase, then the platform's IDispatch and IUnknown.
  ComPtr<ITypeInfo> base = ImplOf(vtable.get(), 0);
  EXPECT_EQ(u"ITestBase", NameOf(base.get()));
  EXPECT_EQ(TKIND_INTERFACE, AttrOf(base.get())->typekind);
  ComPtr<ITypeInfo> idispatch = ImplOf(base.get(), 0);
  EXPECT_EQ(u"IDispatch", NameOf(idispatch.get()));
  EXPECT_EQ(IID_IDispatch, AttrOf(idispatch.get())->guid);
  EXPECT_EQ(u"IUnknown", NameOf(ImplOf(idispatch.get(), 0).get()));

  UINT index = 0;
  ComPtr<ITypeLib> lib;
  ASSERT_EQ(S_OK, vtable->GetContainingTypeLib(&lib, &index));
  EXPECT_EQ(5u, index);
}

TEST(TypeInfo, VtableViewMatchesTheCppVtable) {
  ComPtr<ITypeInfo> vtable = ImplOf(TestTypeInfo(IID_ITestThing).get(), UINT(-1));
  EXPECT_EQ(VtableOffset(&ITestThing::get_Peer), FuncOf(vtable.get(), 0)->oVft);
  EXPECT_EQ(VtableOffset(&ITestThing::putref_Peer), FuncOf(vtable.get(), 1)->oVft);
  EXPECT_EQ(VtableOffset(&ITestThing::Divide), FuncOf(vtable.get(), 5)->oVft);
  EXPECT_EQ(VtableOffset(&ITestThing::Greet), FuncOf(vtable.get(), kThingOwnMembers - 1)->oVft);
  EXPECT_EQ(CC_STDCALL, FuncOf(vtable.get(), 5)->callconv);
  EXPECT_EQ("0x23 virtual func Divide(in R8, in R8, out retval R8*) HRESULT", Signature(vtable.get(), 5));
}

// The dispatch view returns the retval, names library types and takes the base's members.
TEST(TypeInfo, DispatchViewSignatures) {
  ComPtr<ITypeInfo> info = TestTypeInfo(IID_ITestThing);
  auto signature = [&](MEMBERID memid, INVOKEKIND kind) {
    return Signature(info.get(), FuncIndex(info.get(), memid, kind));
  };
  EXPECT_EQ("0x23 dispatch func Divide(in R8, in R8) R8", signature(0x23, INVOKE_FUNC));
  EXPECT_EQ("0x29 dispatch get Samples() R4*", signature(0x29, INVOKE_PROPERTYGET));
  EXPECT_EQ("0x20 dispatch get Peer() ITestPeer*", signature(0x20, INVOKE_PROPERTYGET));
  EXPECT_EQ("0x20 dispatch putref Peer(in ITestPeer*) void", signature(0x20, INVOKE_PROPERTYPUTREF));
  EXPECT_EQ("0x22 dispatch put Label(in BSTR) void", signature(0x22, INVOKE_PROPERTYPUT));
  EXPECT_EQ("0x10 dispatch put Value(in I4) void", signature(0x10, INVOKE_PROPERTYPUT));
  EXPECT_EQ("0x25 dispatch func Scale(in R8, in opt =3 I4, in opt =7 eTestShape) void", signature(0x25, INVOKE_FUNC));
  EXPECT_EQ("0x2e dispatch func Greet(in opt =world BSTR, in I4) BSTR", signature(0x2e, INVOKE_FUNC));
  EXPECT_EQ("0x2c dispatch func Probe(in opt VARIANT) I4 optional 1", signature(0x2c, INVOKE_FUNC));
  EXPECT_EQ("0x27 dispatch func Connect(in ITestPeer*) BOOL", signature(0x27, INVOKE_FUNC));
  EXPECT_EQ("0x28 dispatch func Place(in TestPoint) void", signature(0x28, INVOKE_FUNC));
  // Library types lead to their own descriptions.
  FuncOf scale(info.get(), FuncIndex(info.get(), 0x25, INVOKE_FUNC));
  EXPECT_EQ(TKIND_ENUM, AttrOf(RefOf(info.get(), scale.Param(2).tdesc.hreftype).get())->typekind);
}

TEST(TypeInfo, NamesDocumentationAndInvoke) {
  ComPtr<ITypeInfo> info = TestTypeInfo(IID_ITestThing);
  BSTR names[5] = {};
  UINT count = 0;
  ASSERT_EQ(S_OK, info->GetNames(0x23, names, 5, &count));
  ASSERT_EQ(3u, count);
  EXPECT_EQ(std::pair(std::u16string(u"Divide"), std::u16string(u"b")), std::pair(Text(names[0]), Text(names[2])));
  for (UINT i = 0; i < count; ++i) SysFreeString(names[i]);
  ASSERT_EQ(S_OK, ImplOf(info.get(), UINT(-1))->GetNames(0x23, names, 5, &count));
  EXPECT_EQ(4u, count);  // the vtable view names the retval too
  EXPECT_EQ(u"pResult", Text(names[3]));
  for (UINT i = 0; i < count; ++i) SysFreeString(names[i]);

  kelmira::Bstr name, doc;
  ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr));
  EXPECT_EQ(u"ITestThing", Text(name.get()));
  EXPECT_EQ(u"The test interface", Text(doc.get()));
  EXPECT_EQ(u"Greet", NameOf(info.get(), 0x2e));
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, info->GetDocumentation(0x77, &name, nullptr, nullptr, nullptr));

  LPOLESTR wanted[] = {const_cast<LPOLESTR>(u"greet"), const_cast<LPOLESTR>(u"COUNT")};
  MEMBERID ids[2];
  ASSERT_EQ(S_OK, info->GetIDsOfNames(wanted, 2, ids));
  EXPECT_EQ(std::pair(MEMBERID{0x2e}, MEMBERID{1}), std::pair(ids[0], ids[1]));

  auto thing = Make<Thing>();
  Args args;
  args.R8(9).R8(3);
  kelmira::Variant result;
  ASSERT_EQ(S_OK, info->Invoke(static_cast<ITestThing*>(thing.get()), 0x23, DISPATCH_METHOD, args.Params(), &result,
                               nullptr, nullptr));
  EXPECT_EQ(3.0, result.dblVal);
}

TEST(TypeInfo, EnumerationAndRecordOfTheTestLibrary) {
  ComPtr<ITypeInfo> shape = TestTypeInfo(*kelmira::UserTypeId<eTestShape>::value);
  {
    AttrOf attr(shape.get());
    EXPECT_EQ(std::pair(TKIND_ENUM, WORD{3}), std::pair(attr->typekind, attr->cVars));
  }
  VarOf square(shape.get(), 2);
  EXPECT_EQ(std::tuple(VAR_CONST, VARTYPE{VT_I4}, LONG{7}),
            std::tuple(square->varkind, square->lpvarValue->vt, square->lpvarValue->lVal));
  EXPECT_EQ(u"kShapeSquare", NameOf(shape.get(), square->memid));

  ComPtr<ITypeInfo> point = TestTypeInfo(*kelmira::UserTypeId<TestPoint>::value);
  AttrOf attr(point.get());
  EXPECT_EQ(std::pair(TKIND_RECORD, sizeof(TestPoint)), std::pair(attr->typekind, std::size_t{attr->cbSizeInstance}));
  ASSERT_EQ(4, attr->cVars);
  VarOf label(point.get(), 3);
  EXPECT_EQ(std::tuple(VAR_PERINSTANCE, offsetof(TestPoint, label), VARTYPE{VT_BSTR}),
            std::tuple(label->varkind, std::size_t{label->oInst}, label->elemdescVar.tdesc.vt));
  VARDESC* none = nullptr;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, point->GetVarDesc(4, &none));
}

TEST(TypeInfo, CoclassesAndEventInterfaces) {
  ComPtr<ITypeInfo> thing = TestTypeInfo(CLSID_TestThing);
  {
    AttrOf attr(thing.get());
    EXPECT_EQ(std::tuple(TKIND_COCLASS, WORD(TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL), 3),
              std::tuple(attr->typekind, attr->wTypeFlags, int{attr->cImplTypes}));
  }
  std::vector<INT> flags(3);
  for (UINT i = 0; i < 3; ++i) EXPECT_EQ(S_OK, thing->GetImplTypeFlags(i, &flags[i]));
  EXPECT_EQ(flags, (std::vector<INT>{IMPLTYPEFLAG_FDEFAULT, 0, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}));
  EXPECT_EQ(u"ITestThing", NameOf(ImplOf(thing.get(), 0).get()));

  ComPtr<ITypeInfo> events = ImplOf(thing.get(), 2);
  {
    AttrOf attr(events.get());
    EXPECT_EQ(std::tuple(TKIND_DISPATCH, DIID__ITestEvents, 2, WORD{TYPEFLAG_FDISPATCHABLE}),
              std::tuple(attr->typekind, attr->guid, int{attr->cFuncs}, attr->wTypeFlags));
  }
  EXPECT_EQ("0x1 dispatch func OnChanged(in I4, in R8) void", Signature(events.get(), 0));

  ComPtr<ITypeInfo> future = TestTypeInfo(CLSID_TestFuture);
  EXPECT_EQ(0, AttrOf(future.get())->wTypeFlags & TYPEFLAG_FCANCREATE);
}

TEST(RecordInfo, FieldsCopiesAndVariants) {
  TestLibrary();
  ComPtr<IRecordInfo> info;
  ASSERT_EQ(S_OK,
            GetRecordInfoFromGuids(LIBID_KelmiraDispatchTest, 2, 0, 0, *kelmira::UserTypeId<TestPoint>::value, &info));
  ULONG size = 0;
  EXPECT_EQ(S_OK, info->GetSize(&size));
  EXPECT_EQ(sizeof(TestPoint), size);

  auto* point = static_cast<TestPoint*>(info->RecordCreate());
  ASSERT_NE(nullptr, point);
  Args values;
  values.Str(u"east").I4(2);
  DISPPARAMS* p = values.Params();  // rgvarg[1] is the text, rgvarg[0] the number
  EXPECT_EQ(S_OK, info->PutField(INVOKE_PROPERTYPUT, point, u"label", &p->rgvarg[1]));
  EXPECT_EQ(S_OK, info->PutField(INVOKE_PROPERTYPUT, point, u"WEIGHT", &p->rgvarg[0]));
  EXPECT_EQ(2.0, point->weight);
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, info->PutField(0, point, u"z", &p->rgvarg[0]));

  kelmira::Variant field;
  ASSERT_EQ(S_OK, info->GetField(point, u"label", &field));
  EXPECT_EQ(u"east", Text(field.bstrVal));
  EXPECT_NE(point->label, field.bstrVal);

  // A VT_RECORD variant copies and frees its record through the record info.
  {
    kelmira::Variant record;
    record.vt = VT_RECORD;
    record.brecVal.pvRecord = point;
    record.brecVal.pRecInfo = info.get();
    kelmira::Variant copy;
    ASSERT_EQ(S_OK, VariantCopy(&copy, &record));
    auto* copied = static_cast<TestPoint*>(copy.brecVal.pvRecord);
    EXPECT_NE(point, copied);
    EXPECT_EQ(u"east", Text(copied->label));
    EXPECT_NE(point->label, copied->label);
    record.vt = VT_EMPTY;  // the test owns point
  }
  ULONG names = 0;
  EXPECT_EQ(S_OK, info->GetFieldNames(&names, nullptr));
  EXPECT_EQ(4u, names);
  EXPECT_TRUE(info->IsMatchingType(info.get()));
  EXPECT_EQ(S_OK, info->RecordDestroy(point));
}

TEST(Registration, InconsistentTablesAreRefused) {
  static constexpr kelmira::MemberInfo members[] = {
      kelmira::MakeMember<&ITestPeer::get_Id>("Id", kelmira::MemberKind::Get, 1, "(LONG* pVal)", 0, "nope=1"), {}};
  static constexpr IID iid = {0x11111111, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
  static constexpr kelmira::InterfaceInfo badDefault{"IBad", &iid, &IID_IDispatch, kelmira::kInterfaceDual, "", members,
                                                     1,      7};
  static constexpr kelmira::InterfaceInfo badBase{"IBad", &iid, &IID_ITestBase, kelmira::kInterfaceDual, "", members,
                                                  0,      7};
  static constexpr kelmira::TypeEntry defaultEntry[] = {kelmira::MakeTypeEntry(badDefault)};
  static constexpr kelmira::TypeEntry baseEntry[] = {kelmira::MakeTypeEntry(badBase)};
  static constexpr kelmira::TypeLibraryInfo first{"Bad", &iid, 1, 0, "", defaultEntry, 1};
  static constexpr kelmira::TypeLibraryInfo second{"Bad", &iid, 1, 0, "", baseEntry, 1};
  EXPECT_EQ(E_INVALIDARG, kelmira::RegisterTypeLibraryInfo(&first));
  EXPECT_EQ(E_INVALIDARG, kelmira::RegisterTypeLibraryInfo(&second));
  EXPECT_EQ(nullptr, kelmira::FindDispatchTable(iid));

  TestLibrary();
  EXPECT_EQ(S_FALSE, kelmira::RegisterTypeLibraryInfo(&TestLibrary()));
}

}  // namespace
