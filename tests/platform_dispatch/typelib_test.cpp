// ITypeLib over the real Kelmira tables, finding libraries by identifier and by module, and
// the registry entries of RegisterTypeLib / UnRegisterTypeLib.
#include "module/typelib_tables.h"
#include "platform_dispatch/typeinfo_helpers.h"
#include "platform_registry/scratch_dir.h"

#include <kelmira/kelmira.h>

#include <dlfcn.h>

#include <string>
#include <tuple>

namespace {

using kelmira::ComPtr;
using kelmira::testing::GuidText;
using kelmira::testing::KeyExists;
using kelmira::testing::SetText;

std::string Read(const std::string& key, const char* value = nullptr) {
  return kelmira::testing::Text(HKEY_CLASSES_ROOT, key, value);
}

ComPtr<ITypeLib> KelmiraLib() {
  EXPECT_TRUE(SUCCEEDED(kelmira::RegisterTypeLibraryInfo(&KelmiraTypeLibrary())));
  ComPtr<ITypeLib> lib;
  EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_Kelmira, 1, 0, 0, &lib));
  return lib;
}

ComPtr<ITypeInfo> FindType(ITypeLib* lib, const char16_t* name) {
  std::u16string buffer(name);
  ITypeInfo* infos[4] = {};
  MEMBERID ids[4] = {};
  USHORT found = 4;
  EXPECT_EQ(S_OK, lib->FindName(buffer.data(), 0, infos, ids, &found));
  ComPtr<ITypeInfo> type;
  for (USHORT i = 0; i < found; ++i) {
    if (ids[i] == MEMBERID_NIL && !type) type = infos[i];
    infos[i]->Release();
  }
  return type;
}

TEST(KelmiraTypeLib, LibraryAttributesAndDocumentation) {
  ComPtr<ITypeLib> lib = KelmiraLib();
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
  EXPECT_EQ(std::tuple(LIBID_Kelmira, 1, 0, SYS_WIN32),
            std::tuple(attr->guid, int{attr->wMajorVerNum}, int{attr->wMinorVerNum}, attr->syskind));
  lib->ReleaseTLibAttr(attr);

  kelmira::Bstr name, doc;
  ASSERT_EQ(S_OK, lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr));
  EXPECT_EQ(u"Kelmira", Text(name.get()));
  EXPECT_EQ(u"Kelmira 1.0 Type Library", Text(doc.get()));
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, lib->GetDocumentation(-2, &name, nullptr, nullptr, nullptr));

  ComPtr<ITypeLib> again;
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(LIBID_Kelmira, 1, 1, 0, &again));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(LIBID_Kelmira, 2, 0, 0, &again));

  // Names are found without regard to case, and given back as the library spells them.
  std::u16string buffer = u"igraphicslayer";
  BOOL found = FALSE;
  ASSERT_EQ(S_OK, lib->IsName(buffer.data(), 0, &found));
  EXPECT_TRUE(found);
  EXPECT_EQ(u"IGraphicsLayer", buffer);
  buffer = u"NoSuchName";
  ASSERT_EQ(S_OK, lib->IsName(buffer.data(), 0, &found));
  EXPECT_FALSE(found);
}

TEST(KelmiraTypeLib, ListsEveryTypeButTheHiddenOnes) {
  ComPtr<ITypeLib> lib = KelmiraLib();
  ComPtr<ITypeInfo> layer;
  ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(IID_IGraphicsLayer, &layer));
  EXPECT_EQ(u"IGraphicsLayer", NameOf(layer.get()));
  EXPECT_EQ(TKIND_DISPATCH, AttrOf(layer.get())->typekind);
  EXPECT_EQ(u"Redraw", NameOf(layer.get(), 0x64));

  ComPtr<ITypeInfo> hidden;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, lib->GetTypeInfoOfGuid(IID_ITickLabelList, &hidden));
  EXPECT_NE(nullptr, kelmira::FindDispatchTable(IID_ITickLabelList));  // still dispatched

  const UINT count = lib->GetTypeInfoCount();
  EXPECT_GT(count, 30u);
  for (UINT i = 0; i < count; ++i) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, lib->GetTypeInfo(i, &info));
    TYPEKIND kind = TKIND_MAX;
    EXPECT_EQ(S_OK, lib->GetTypeInfoType(i, &kind));
    EXPECT_EQ(kind, AttrOf(info.get())->typekind);
    UINT index = UINT(-1);
    EXPECT_EQ(S_OK, info->GetContainingTypeLib(nullptr, &index));
    EXPECT_EQ(i, index);
    EXPECT_NE(IID_ITickLabelList, AttrOf(info.get())->guid);
  }
  ComPtr<ITypeInfo> past;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, lib->GetTypeInfo(count, &past));
}

TEST(KelmiraTypeLib, MouseEventEnumeration) {
  ComPtr<ITypeInfo> info = FindType(KelmiraLib().get(), u"emouseevent");
  ASSERT_TRUE(info);
  AttrOf attr(info.get());
  ASSERT_EQ(std::pair(TKIND_ENUM, 6), std::pair(attr->typekind, int{attr->cVars}));
  const char16_t* names[] = {u"kUnknownEvent", u"kEventMouseClick", u"kEventMouseDown",
                             u"kEventMouseUp", u"kEventMouseMove",  u"kEventMouseDblClick"};
  for (UINT i = 0; i < 6; ++i) {
    VarOf var(info.get(), i);
    EXPECT_EQ(std::tuple(VAR_CONST, LONG(i), std::u16string(names[i])),
              std::tuple(var->varkind, var->lpvarValue->lVal, NameOf(info.get(), var->memid)));
  }
}

TEST(KelmiraTypeLib, DrawLayerInfoRecord) {
  ComPtr<ITypeInfo> info = FindType(KelmiraLib().get(), u"DrawLayerInfo");
  ASSERT_TRUE(info);
  AttrOf attr(info.get());
  ASSERT_EQ(std::tuple(TKIND_RECORD, 56u, 9),
            std::tuple(attr->typekind, unsigned{attr->cbSizeInstance}, int{attr->cVars}));
  const ULONG offsets[] = {0, 4, 8, 12, 16, 24, 32, 40, 48};
  for (UINT i = 0; i < 9; ++i) {
    VarOf var(info.get(), i);
    EXPECT_EQ(std::tuple(VAR_PERINSTANCE, offsets[i], VARTYPE(i < 5 ? VT_I4 : VT_R8)),
              std::tuple(var->varkind, var->oInst, var->elemdescVar.tdesc.vt));
  }
  EXPECT_EQ(u"XScale", NameOf(info.get(), VarOf(info.get(), 7)->memid));
}

TEST(KelmiraTypeLib, LoadTypeLibByModulePath) {
  KelmiraLib();
  Dl_info module{};  // the file that holds the tables: libkelmira.so
  ASSERT_NE(0, dladdr(&KelmiraTypeLibrary(), &module));
  std::string path = module.dli_fname;
  std::u16string wide(path.begin(), path.end());
  ComPtr<ITypeLib> lib;
  ASSERT_EQ(S_OK, LoadTypeLib(wide.c_str(), &lib));
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
  EXPECT_EQ(LIBID_Kelmira, attr->guid);
  lib->ReleaseTLibAttr(attr);
  EXPECT_EQ(TYPE_E_CANTLOADLIBRARY, LoadTypeLib(u"/nonexistent/libnothing.so", &lib));
}

TEST(TypeLibRegistration, RegisterQueryAndUnregister) {
  ComPtr<ITypeLib> lib = TestTypeLib();
  const std::string libid = GuidText(LIBID_KelmiraDispatchTest);
  const std::string version = "TypeLib\\" + libid + "\\2.3";
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ("TypeLib\\" + libid).c_str());

  ASSERT_EQ(S_OK, RegisterTypeLib(lib.get(), u"/opt/test/libthing.so", u"/opt/test"));
  EXPECT_EQ("Dispatch test library", Read(version));
  EXPECT_EQ("0", Read(version + "\\FLAGS"));
  EXPECT_EQ("/opt/test", Read(version + "\\HELPDIR"));
  EXPECT_EQ("/opt/test/libthing.so", Read(version + "\\0\\win32"));
  const std::string thing = "Interface\\" + GuidText(IID_ITestThing);
  EXPECT_EQ("ITestThing", Read(thing));
  EXPECT_EQ(libid, Read(thing + "\\TypeLib"));
  EXPECT_EQ("2.3", Read(thing + "\\TypeLib", "Version"));
  EXPECT_EQ("_ITestEvents", Read("Interface\\" + GuidText(DIID__ITestEvents)));
  EXPECT_EQ("<missing>", Read("Interface\\" + GuidText(IID_ITestHidden)));

  kelmira::Bstr path;
  ASSERT_EQ(S_OK, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 2, 1, 0, &path));
  EXPECT_EQ(u"/opt/test/libthing.so", Text(path.get()));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 2, 4, 0, &path));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 3, 0, 0, &path));

  // An interface key that another library has taken over stays.
  const std::string peer = "Interface\\" + GuidText(IID_ITestPeer);
  const std::string other = GuidText(LIBID_Kelmira);
  ASSERT_EQ(ERROR_SUCCESS, SetText(HKEY_CLASSES_ROOT, peer + "\\TypeLib", other));

  ASSERT_EQ(S_OK, UnRegisterTypeLib(LIBID_KelmiraDispatchTest, 2, 3, 0, SYS_WIN32));
  EXPECT_EQ("<missing>", Read(version));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "TypeLib\\" + libid));
  EXPECT_EQ("<missing>", Read(thing));
  EXPECT_EQ(other, Read(peer + "\\TypeLib"));
  EXPECT_EQ(TYPE_E_REGISTRYACCESS, UnRegisterTypeLib(LIBID_KelmiraDispatchTest, 2, 3, 0, SYS_WIN32));
  RegDeleteTreeA(HKEY_CLASSES_ROOT, peer.c_str());
}

}  // namespace
