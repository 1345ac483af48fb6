// Class activation: class objects registered in the process, the registry path and its failures,
// ProgIDs, and the initialisation counts.
#include "support/registry_fixture.h"
#include "support/sample_objects.h"

#include <string>
#include <thread>
#include <vector>

namespace {

using kelmira::ComPtr;
using namespace kelmira::test;
using Codes = std::vector<HRESULT>;

constexpr CLSID kClsid = KELMIRA_GUID(0x11111111, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55);

kelmira::ClassFactory gPairFactory(&kelmira::Object<Pair>::Create);

TEST_F(RegistryTest, ClassObjectsComeFromRegistrationsThenFromTheRegistryAndProgIdsFollowCurVer) {
  DWORD cookie = 0, single = 0;
  void* p = nullptr;
  ComPtr<IAlpha> alpha;
  auto create = [&](DWORD context) {
    return CoCreateInstance(kClsid, nullptr, context, IID_IAlpha, reinterpret_cast<void**>(&alpha));
  };
  auto get = [&](DWORD context) { return CoGetClassObject(kClsid, context, nullptr, IID_IClassFactory, &p); };
  ASSERT_EQ(CoRegisterClassObject(kClsid, &gPairFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
  ASSERT_EQ(create(CLSCTX_ALL), S_OK);
  EXPECT_EQ(alpha->Alpha(), 1);
  // Only in-process requests are served; a single-use registration serves once.
  EXPECT_EQ((Codes{get(CLSCTX_INPROC_SERVER), create(CLSCTX_LOCAL_SERVER),
                   CoCreateInstance(kClsid, nullptr, CLSCTX_ALL, IID_IAlpha, nullptr), CoRevokeClassObject(cookie),
                   CoRevokeClassObject(cookie), create(CLSCTX_ALL),
                   CoRegisterClassObject(kClsid, &gPairFactory, CLSCTX_INPROC_SERVER, REGCLS_SINGLEUSE, &single),
                   create(CLSCTX_ALL), create(CLSCTX_ALL), CoRevokeClassObject(single)}),
            (Codes{S_OK, REGDB_E_CLASSNOTREG, E_POINTER, S_OK, CO_E_OBJNOTREG, REGDB_E_CLASSNOTREG, S_OK, S_OK,
                   REGDB_E_CLASSNOTREG, S_OK}));
  EXPECT_EQ(p, static_cast<void*>(&gPairFactory));

  // The registry's failures are told apart; for handlers only, the server is not asked.
  const std::string key = "CLSID\\" + GuidText(kClsid) + "\\InprocServer32";
  // libm loads, but is no component server.
  EXPECT_EQ(
      (Codes{SetText(HKEY_CLASSES_ROOT, key, dir_ / "no-such-library.so"), get(CLSCTX_INPROC_SERVER),
             SetText(HKEY_CLASSES_ROOT, key, "libm.so.6"), get(CLSCTX_INPROC_SERVER),
             CoCreateInstance(kClsid, nullptr, CLSCTX_ALL, IID_IAlpha, &p), get(CLSCTX_INPROC_HANDLER)}),
      (Codes{ERROR_SUCCESS, CO_E_DLLNOTFOUND, ERROR_SUCCESS, CO_E_ERRORINDLL, CO_E_ERRORINDLL, REGDB_E_CLASSNOTREG}));
  EXPECT_EQ(p, nullptr);
  CoFreeUnusedLibraries();

  // ProgIDs follow CurVer.
  constexpr CLSID kOld = KELMIRA_GUID(0xAAAA0001, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1),
                  kNew = KELMIRA_GUID(0xAAAA0002, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2);
  // Kelmira.Only has no CLSID of its own.
  const std::pair<std::string, std::string> keys[] = {
      {"Kelmira.Thing\\CLSID", GuidText(kOld)},   {"Kelmira.Thing\\CurVer", "Kelmira.Thing.2"},
      {"Kelmira.Thing.2\\CLSID", GuidText(kNew)}, {"Kelmira.Only\\CurVer", "Kelmira.Thing.2"},
      {"Kelmira.Loop\\CurVer", "Kelmira.Loop"},   {"Kelmira.Bad\\CLSID", "not a guid"}};
  for (const auto& [name, text] : keys) ASSERT_EQ(SetText(HKEY_CLASSES_ROOT, name, text), ERROR_SUCCESS);
  // The result and the class id, which a failure sets to null.
  auto resolve = [&](const char16_t* progId) {
    CLSID clsid = kOld;
    const HRESULT hr = CLSIDFromProgID(progId, &clsid);
    return std::to_string(hr) + " " + GuidText(clsid);
  };
  const std::string found = "0 " + GuidText(kNew),
                    failed = std::to_string(CO_E_CLASSSTRING) + " " + GuidText(GUID_NULL);
  EXPECT_EQ((std::vector<std::string>{resolve(u"kelmira.thing"), resolve(u"Kelmira.Only"), resolve(u"Kelmira.Loop"),
                                      resolve(u"Kelmira.Bad"), resolve(u"Kelmira.Missing")}),
            (std::vector<std::string>{found, found, failed, failed, failed}));
  CLSID clsid{};
  EXPECT_EQ((std::tuple{CLSIDFromProgID(nullptr, &clsid), CLSIDFromString(u"Kelmira.Thing.2", &clsid), clsid}),
            std::tuple(E_INVALIDARG, S_OK, kNew));

  // A class without a ProgID key (the module tests read one that has it).
  LPOLESTR progId = nullptr;
  EXPECT_EQ(ProgIDFromCLSID(kNew, &progId), REGDB_E_CLASSNOTREG);
}

TEST(ComInit, CountsPerThreadAndChecksTheModel) {
  std::thread([] {
    EXPECT_EQ((Codes{CoInitialize(nullptr), CoInitialize(nullptr), CoInitializeEx(nullptr, COINIT_MULTITHREADED),
                     OleInitialize(nullptr)}),
              (Codes{S_OK, S_FALSE, RPC_E_CHANGED_MODE, S_FALSE}));
    OleUninitialize();
    for (int i = 0; i < 3; ++i) CoUninitialize();  // one too many is harmless
    EXPECT_EQ((Codes{CoInitializeEx(nullptr, COINIT_MULTITHREADED), CoInitialize(reinterpret_cast<void*>(1))}),
              (Codes{S_OK, E_INVALIDARG}));
    CoUninitialize();
  }).join();
}

}  // namespace
