// ITypeLib over the module's tables, finding libraries by identifier and by module, and the
// registry entries of RegisterTypeLib / UnRegisterTypeLib.
#include "module/typelib_tables.h"
#include "support/dispatch_test_library.h"
#include "support/registry_fixture.h"
#include "support/type_descriptions.h"

#include <kelmira/kelmira.h>

#include <dlfcn.h>

#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

TEST(KelmiraTypeLib, FoundByModuleWithItsAttributesAndNames) {
  ASSERT_TRUE(SUCCEEDED(RegisterTypeLibraryInfo(&KelmiraTypeLibrary())));
  Dl_info module{};  // the file that holds the tables: libkelmira.so
  ASSERT_NE(0, dladdr(&KelmiraTypeLibrary(), &module));
  const std::string path = module.dli_fname;
  ComPtr<ITypeLib> lib, other;
  ASSERT_EQ(S_OK, LoadTypeLib(std::u16string(path.begin(), path.end()).c_str(), &lib));
  EXPECT_EQ(TYPE_E_CANTLOADLIBRARY, LoadTypeLib(u"/nonexistent/libnothing.so", &other));
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
  EXPECT_EQ(std::tuple(LIBID_Kelmira, 1, 0, SYS_WIN32),
            std::tuple(attr->guid, int{attr->wMajorVerNum}, int{attr->wMinorVerNum}, attr->syskind));
  lib->ReleaseTLibAttr(attr);
  // Version 1.0 answers neither for 1.1 nor for 2.0.
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(LIBID_Kelmira, 1, 1, 0, &other));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(LIBID_Kelmira, 2, 0, 0, &other));

  Bstr name, doc;
  ASSERT_EQ(S_OK, lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr));
  EXPECT_EQ(std::pair(std::string("Kelmira"), std::string("Kelmira 1.0 Type Library")),
            std::pair(Text(name.get()), Text(doc.get())));
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, lib->GetDocumentation(-2, &name, nullptr, nullptr, nullptr));

  // Names are found without regard to case, and given back as the library spells them.
  std::u16string known = u"igraphicslayer", unknown = u"NoSuchName", field = u"xscale";
  BOOL found[2] = {};
  ASSERT_EQ(S_OK, lib->IsName(known.data(), 0, &found[0]));
  ASSERT_EQ(S_OK, lib->IsName(unknown.data(), 0, &found[1]));
  EXPECT_EQ(std::tuple(TRUE, FALSE, std::u16string(u"IGraphicsLayer")), std::tuple(found[0], found[1], known));
  ITypeInfo* infos[2] = {};
  MEMBERID ids[2] = {};
  USHORT count = 2;
  ASSERT_EQ(S_OK, lib->FindName(field.data(), 0, infos, ids, &count));
  ASSERT_EQ(1, count);
  EXPECT_EQ(std::pair(std::string("DrawLayerInfo"), std::string("XScale")),
            std::pair(NameOf(infos[0]), NameOf(infos[0], ids[0])));
  infos[0]->Release();
}

TEST(KelmiraTypeLib, ListsEveryTypeButTheHiddenOnes) {
  ASSERT_TRUE(SUCCEEDED(RegisterTypeLibraryInfo(&KelmiraTypeLibrary())));
  ComPtr<ITypeLib> lib;
  ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_Kelmira, 1, 0, 0, &lib));
  ComPtr<ITypeInfo> layer;
  ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(IID_IGraphicsLayer, &layer));
  EXPECT_EQ(std::pair(TKIND_DISPATCH, std::string("Redraw")),
            std::pair(AttrOf(layer.get())->typekind, NameOf(layer.get(), 0x64)));

  ComPtr<ITypeInfo> hidden;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, lib->GetTypeInfoOfGuid(IID_ITickLabelList, &hidden));
  EXPECT_NE(nullptr, FindDispatchTable(IID_ITickLabelList));  // still dispatched

  const UINT count = lib->GetTypeInfoCount();
  EXPECT_GT(count, 30u);
  for (UINT i = 0; i < count; ++i) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, lib->GetTypeInfo(i, &info));
    TYPEKIND kind = TKIND_MAX;
    UINT index = UINT(-1);
    EXPECT_EQ(S_OK, lib->GetTypeInfoType(i, &kind));
    EXPECT_EQ(S_OK, info->GetContainingTypeLib(nullptr, &index));
    auto attr = AttrOf(info.get());
    EXPECT_EQ(std::tuple(kind, i, false), std::tuple(attr->typekind, index, attr->guid == IID_ITickLabelList));
  }
  ComPtr<ITypeInfo> past;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, lib->GetTypeInfo(count, &past));
}

using TypeLibRegistration = RegistryTest;  // a registry file of the test's own

TEST_F(TypeLibRegistration, RegisterQueryAndUnregister) {
  auto read = [](const std::string& key, const char* value = nullptr) { return Text(HKEY_CLASSES_ROOT, key, value); };
  const std::string libid = GuidText(LIBID_KelmiraDispatchTest), version = "TypeLib\\" + libid + "\\2.3";
  const std::string thing = "Interface\\" + GuidText(IID_ITestThing);
  ASSERT_EQ(S_OK, RegisterTypeLib(TestTypeLib().get(), u"/opt/test/libthing.so", u"/opt/test"));
  EXPECT_EQ((std::vector<std::string>{"Dispatch test library", "0", "/opt/test", "/opt/test/libthing.so", "ITestThing",
                                      libid, "2.3", "_ITestEvents", "<missing>"}),
            (std::vector<std::string>{
                read(version), read(version + "\\FLAGS"), read(version + "\\HELPDIR"), read(version + "\\0\\win32"),
                read(thing), read(thing + "\\TypeLib"), read(thing + "\\TypeLib", "Version"),
                read("Interface\\" + GuidText(DIID__ITestEvents)), read("Interface\\" + GuidText(IID_ITestHidden))}));

  // A newer minor version answers for an older one.
  Bstr path;
  ASSERT_EQ(S_OK, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 2, 1, 0, &path));
  EXPECT_EQ("/opt/test/libthing.so", Text(path.get()));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 2, 4, 0, &path));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 3, 0, 0, &path));

  // An interface key that another library has taken over stays.
  const std::string peer = "Interface\\" + GuidText(IID_ITestPeer) + "\\TypeLib", other = GuidText(LIBID_Kelmira);
  ASSERT_EQ(ERROR_SUCCESS, SetText(HKEY_CLASSES_ROOT, peer, other));
  ASSERT_EQ(S_OK, UnRegisterTypeLib(LIBID_KelmiraDispatchTest, 2, 3, 0, SYS_WIN32));
  EXPECT_EQ(std::tuple(false, std::string("<missing>"), other),
            std::tuple(KeyExists(HKEY_CLASSES_ROOT, "TypeLib\\" + libid), read(thing), read(peer)));
  EXPECT_EQ(TYPE_E_REGISTRYACCESS, UnRegisterTypeLib(LIBID_KelmiraDispatchTest, 2, 3, 0, SYS_WIN32));
}

}  // namespace
}  // namespace kelmira::test
