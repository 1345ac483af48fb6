// ITypeLib over the module's tables, finding libraries by identifier and by module, and the
// registry entries of RegisterTypeLib / UnRegisterTypeLib.
#include "module/typelib_tables.h"
#include "support/dispatch_test_library.h"
#include "support/type_descriptions.h"

#include <kelmira/kelmira.h>

#include <dlfcn.h>

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

ComPtr<ITypeLib> KelmiraLib() {
  EXPECT_TRUE(SUCCEEDED(RegisterTypeLibraryInfo(&KelmiraTypeLibrary())));
  ComPtr<ITypeLib> lib;
  EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_Kelmira, 1, 0, 0, &lib));
  return lib;
}

TEST(KelmiraTypeLib, LibraryAttributesAndNames) {
  ComPtr<ITypeLib> lib = KelmiraLib();
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
  EXPECT_EQ(std::tuple(LIBID_Kelmira, 1, 0, SYS_WIN32),
            std::tuple(attr->guid, int{attr->wMajorVerNum}, int{attr->wMinorVerNum}, attr->syskind));
  lib->ReleaseTLibAttr(attr);

  Bstr name, doc;
  ASSERT_EQ(S_OK, lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr));
  EXPECT_EQ(std::pair(std::u16string(u"Kelmira"), std::u16string(u"Kelmira 1.0 Type Library")),
            std::pair(Text(name.get()), Text(doc.get())));
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, lib->GetDocumentation(-2, &name, nullptr, nullptr, nullptr));
  ComPtr<ITypeLib> again;
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(LIBID_Kelmira, 1, 1, 0, &again));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(LIBID_Kelmira, 2, 0, 0, &again));

  // Names are found without regard to case, and given back as the library spells them.
  std::u16string buffer = u"igraphicslayer";
  BOOL found = FALSE;
  ASSERT_EQ(S_OK, lib->IsName(buffer.data(), 0, &found));
  EXPECT_EQ(std::pair(TRUE, std::u16string(u"IGraphicsLayer")), std::pair(found, buffer));
  buffer = u"NoSuchName";
  ASSERT_EQ(S_OK, lib->IsName(buffer.data(), 0, &found));
  EXPECT_FALSE(found);
  buffer = u"xscale";  // a record field
  ITypeInfo* infos[2] = {};
  MEMBERID ids[2] = {};
  USHORT count = 2;
  ASSERT_EQ(S_OK, lib->FindName(buffer.data(), 0, infos, ids, &count));
  ASSERT_EQ(1, count);
  EXPECT_EQ(std::pair(std::u16string(u"DrawLayerInfo"), std::u16string(u"XScale")),
            std::pair(NameOf(infos[0]), NameOf(infos[0], ids[0])));
  infos[0]->Release();
}

TEST(KelmiraTypeLib, ListsEveryTypeButTheHiddenOnes) {
  ComPtr<ITypeLib> lib = KelmiraLib();
  ComPtr<ITypeInfo> layer;
  ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(IID_IGraphicsLayer, &layer));
  EXPECT_EQ(std::pair(TKIND_DISPATCH, std::u16string(u"Redraw")),
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
    AttrOf attr(info.get());
    EXPECT_EQ(std::tuple(kind, i), std::tuple(attr->typekind, index));
    EXPECT_NE(IID_ITickLabelList, attr->guid);
  }
  ComPtr<ITypeInfo> past;
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, lib->GetTypeInfo(count, &past));
}

TEST(KelmiraTypeLib, LoadTypeLibByModulePath) {
  KelmiraLib();
  Dl_info module{};  // the file that holds the tables: libkelmira.so
  ASSERT_NE(0, dladdr(&KelmiraTypeLibrary(), &module));
  const std::string path = module.dli_fname;
  ComPtr<ITypeLib> lib;
  ASSERT_EQ(S_OK, LoadTypeLib(std::u16string(path.begin(), path.end()).c_str(), &lib));
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
  EXPECT_EQ(LIBID_Kelmira, attr->guid);
  lib->ReleaseTLibAttr(attr);
  EXPECT_EQ(TYPE_E_CANTLOADLIBRARY, LoadTypeLib(u"/nonexistent/libnothing.so", &lib));
}

TEST(TypeLibRegistration, RegisterQueryAndUnregister) {
  auto guid = [](REFGUID g) {
    OLECHAR text[39];
    StringFromGUID2(g, text, 39);
    return std::string(text, text + 38);
  };
  // A value's text, "<missing>" when there is none.
  auto read = [](const std::string& key, const char* value = nullptr) {
    char text[256];
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
      return std::string("<missing>");
    return std::string(text);
  };
  ComPtr<ITypeLib> lib = TestTypeLib();
  const std::string libid = guid(LIBID_KelmiraDispatchTest);
  const std::string version = "TypeLib\\" + libid + "\\2.3";
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ("TypeLib\\" + libid).c_str());

  ASSERT_EQ(S_OK, RegisterTypeLib(lib.get(), u"/opt/test/libthing.so", u"/opt/test"));
  const std::string thing = "Interface\\" + guid(IID_ITestThing);
  const std::pair<std::string, std::string> written[] = {
      {read(version), "Dispatch test library"},
      {read(version + "\\FLAGS"), "0"},
      {read(version + "\\HELPDIR"), "/opt/test"},
      {read(version + "\\0\\win32"), "/opt/test/libthing.so"},
      {read(thing), "ITestThing"},
      {read(thing + "\\TypeLib"), libid},
      {read(thing + "\\TypeLib", "Version"), "2.3"},
      {read("Interface\\" + guid(DIID__ITestEvents)), "_ITestEvents"},
      {read("Interface\\" + guid(IID_ITestHidden)), "<missing>"},
  };
  for (const auto& [got, expected] : written) EXPECT_EQ(expected, got);

  Bstr path;
  ASSERT_EQ(S_OK, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 2, 1, 0, &path));
  EXPECT_EQ(u"/opt/test/libthing.so", Text(path.get()));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 2, 4, 0, &path));
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, QueryPathOfRegTypeLib(LIBID_KelmiraDispatchTest, 3, 0, 0, &path));

  // An interface key that another library has taken over stays.
  const std::string peer = "Interface\\" + guid(IID_ITestPeer) + "\\TypeLib";
  const std::string other = guid(LIBID_Kelmira);
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, peer.c_str(), &key));
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()), DWORD(other.size() + 1));
  RegCloseKey(key);

  ASSERT_EQ(S_OK, UnRegisterTypeLib(LIBID_KelmiraDispatchTest, 2, 3, 0, SYS_WIN32));
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, ("TypeLib\\" + libid).c_str(), 0, KEY_READ, &key));
  EXPECT_EQ(std::pair(std::string("<missing>"), other), std::pair(read(thing), read(peer)));
  EXPECT_EQ(TYPE_E_REGISTRYACCESS, UnRegisterTypeLib(LIBID_KelmiraDispatchTest, 2, 3, 0, SYS_WIN32));
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ("Interface\\" + guid(IID_ITestPeer)).c_str());
}

}  // namespace
}  // namespace kelmira::test
