// Class activation: class objects registered in the process, the registry path and its failures,
// ProgIDs, and the initialisation counts.
#include "support/registry_fixture.h"
#include "support/sample_objects.h"

#include <thread>
#include <vector>

namespace {

using kelmira::ComPtr;
using namespace kelmira::test;
using Codes = std::vector<HRESULT>;

constexpr CLSID kClsid = KELMIRA_GUID(0x11111111, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55);

kelmira::ClassFactory gPairFactory(&kelmira::Object<Pair>::Create);

TEST_F(RegistryTest, RegisteredClassObjectsServeCreateInstance) {
  DWORD cookie = 0, single = 0;
  ComPtr<IAlpha> alpha;
  ComPtr<IClassFactory> factory;
  auto create = [&](DWORD context) {
    return CoCreateInstance(kClsid, nullptr, context, IID_IAlpha, reinterpret_cast<void**>(&alpha));
  };
  ASSERT_EQ(CoRegisterClassObject(kClsid, &gPairFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
  ASSERT_EQ(create(CLSCTX_ALL), S_OK);
  EXPECT_EQ(alpha->Alpha(), 1);
  // Only in-process requests are served; a single-use registration serves once.
  const Codes codes{
      CoGetClassObject(kClsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
      create(CLSCTX_LOCAL_SERVER),
      CoCreateInstance(kClsid, nullptr, CLSCTX_ALL, IID_IAlpha, nullptr),
      CoRevokeClassObject(cookie),
      CoRevokeClassObject(cookie),
      create(CLSCTX_ALL),
      CoRegisterClassObject(kClsid, &gPairFactory, CLSCTX_INPROC_SERVER, REGCLS_SINGLEUSE, &single),
      create(CLSCTX_ALL),
      create(CLSCTX_ALL),
      CoRevokeClassObject(single)};
  EXPECT_EQ(codes, (Codes{S_OK, REGDB_E_CLASSNOTREG, E_POINTER, S_OK, CO_E_OBJNOTREG, REGDB_E_CLASSNOTREG, S_OK, S_OK,
                          REGDB_E_CLASSNOTREG, S_OK}));
  EXPECT_EQ(factory.get(), &gPairFactory);
}

TEST_F(RegistryTest, RegistryPathFailuresAreToldApart) {
  const std::string key = "CLSID\\" + GuidText(kClsid) + "\\InprocServer32";
  void* p = nullptr;
  auto get = [&](DWORD context) { return CoGetClassObject(kClsid, context, nullptr, IID_IClassFactory, &p); };
  EXPECT_EQ(get(CLSCTX_INPROC_SERVER), REGDB_E_CLASSNOTREG);
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, key, dir_ / "no-such-library.so"), ERROR_SUCCESS);
  EXPECT_EQ(get(CLSCTX_INPROC_SERVER), CO_E_DLLNOTFOUND);
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, key, "libm.so.6"), ERROR_SUCCESS);  // loads, but is no component server
  // Handlers only: the server is not asked.
  EXPECT_EQ((Codes{get(CLSCTX_INPROC_SERVER), CoCreateInstance(kClsid, nullptr, CLSCTX_ALL, IID_IAlpha, &p),
                   get(CLSCTX_INPROC_HANDLER)}),
            (Codes{CO_E_ERRORINDLL, CO_E_ERRORINDLL, REGDB_E_CLASSNOTREG}));
  EXPECT_EQ(p, nullptr);
  CoFreeUnusedLibraries();
}

TEST_F(RegistryTest, ProgIdsFollowCurVer) {
  constexpr CLSID kOld = KELMIRA_GUID(0xAAAA0001, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
  constexpr CLSID kNew = KELMIRA_GUID(0xAAAA0002, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2);
  // Kelmira.Only has no CLSID of its own.
  const std::pair<std::string, std::string> keys[] = {
      {"Kelmira.Thing\\CLSID", GuidText(kOld)},   {"Kelmira.Thing\\CurVer", "Kelmira.Thing.2"},
      {"Kelmira.Thing.2\\CLSID", GuidText(kNew)}, {"Kelmira.Only\\CurVer", "Kelmira.Thing.2"},
      {"Kelmira.Loop\\CurVer", "Kelmira.Loop"},   {"Kelmira.Bad\\CLSID", "not a guid"}};
  for (const auto& [key, text] : keys) ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, key, text), ERROR_SUCCESS);
  CLSID clsid{};
  for (const char16_t* progId : {u"kelmira.thing", u"Kelmira.Only"}) {
    clsid = CLSID_NULL;
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    EXPECT_EQ(clsid, kNew);
  }
  EXPECT_EQ(CLSIDFromString(u"Kelmira.Thing.2", &clsid), S_OK);
  EXPECT_EQ(clsid, kNew);
  for (const char16_t* progId : {u"Kelmira.Loop", u"Kelmira.Bad", u"Kelmira.Missing"}) {
    clsid = kNew;
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, CLSID_NULL);
  }
  EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);

  LPOLESTR progId = nullptr;
  EXPECT_EQ(ProgIDFromCLSID(kNew, &progId), REGDB_E_CLASSNOTREG);
  ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(kNew) + "\\ProgID", "Kelmira.Thing.2"), ERROR_SUCCESS);
  ASSERT_EQ(ProgIDFromCLSID(kNew, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"Kelmira.Thing.2");
  CoTaskMemFree(progId);
}

TEST(ComInit, CountsPerThreadAndChecksTheModel) {
  std::thread([] {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    OleUninitialize();
    for (int i = 0; i < 3; ++i) CoUninitialize();  // one too many is harmless
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
    EXPECT_EQ(CoInitialize(reinterpret_cast<void*>(1)), E_INVALIDARG);
  }).join();
}

}  // namespace
