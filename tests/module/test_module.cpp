// The module: class objects, aggregation rules, unloading and registration entries.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kelmira::ComPtr;

namespace {

struct Expected {
  const char* progName;
  const CLSID* clsid;
  bool aggregatable;
};

// The module's classes in registration order.
const Expected kClasses[] = {
    {"GraphicsContainer", &CLSID_GraphicsContainer, true},
    {"BackgroundLayer", &CLSID_BackgroundLayer, true},
    {"GridLayer", &CLSID_GridLayer, true},
    {"LineLayer", &CLSID_LineLayer, true},
    {"LineData", &CLSID_LineData, true},
    {"MatrixData", &CLSID_MatrixData, true},
    {"XAxis", &CLSID_XAxis, false},
    {"YAxis", &CLSID_YAxis, false},
    {"LineGraph", &CLSID_LineGraph, true},
    {"LineGraphPropPage", &CLSID_BaseGraphPropPage, true},
    {"Line", &CLSID_Line, true},
    {"LineLegendLayer", &CLSID_LineLegendLayer, true},
    {"MouseInputManager", &CLSID_MouseInputManager, true},
};

std::string RegString(const std::string& key, const char* value = nullptr) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return "<no key>";
  char buffer[1024] = {};
  DWORD size = sizeof(buffer), type = 0;
  LONG rc = RegQueryValueExA(h, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

bool KeyExists(const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

std::string GuidText(REFGUID guid) {
  OLECHAR wide[40] = {};
  StringFromGUID2(guid, wide, 40);
  return std::string(wide, wide + 38);
}

}  // namespace

TEST(ModuleTest, DeclaredOnlyClassesHaveNoClassObject) {
  for (const CLSID* clsid :
       {&CLSID_PolarLayer, &CLSID_PolarGridLayer, &CLSID_ContourLayer, &CLSID_PropPageAxis, &CLSID_PropPageXAxis}) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(*clsid, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);
  }
  void* p = nullptr;
  EXPECT_EQ(DllGetClassObject(CLSID_LineData, IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(DllGetClassObject(CLSID_LineData, IID_IDispatch, &p), E_NOINTERFACE);
}

TEST(ModuleTest, EveryClassHasOneFactory) {
  for (const Expected& c : kClasses) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(DllGetClassObject(*c.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    // The process-wide lookup finds the same factory without the registry.
    ComPtr<IClassFactory> viaRuntime;
    EXPECT_EQ(CoGetClassObject(*c.clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&viaRuntime)),
              S_OK);
    EXPECT_EQ(factory.get(), viaRuntime.get()) << c.progName;
  }
}

TEST(ModuleTest, AggregationIsRefusedWhereTheClassSaysSo) {
  struct FakeOuter : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
  } outer;
  for (const Expected& entry : kClasses) {
    void* p = nullptr;
    // Asking an aggregated object for anything but IUnknown is always refused.
    EXPECT_EQ(CoCreateInstance(*entry.clsid, &outer, CLSCTX_INPROC_SERVER, IID_IDispatch, &p), CLASS_E_NOAGGREGATION)
        << entry.progName;
    HRESULT hr = CoCreateInstance(*entry.clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &p);
    if (!entry.aggregatable)
      EXPECT_EQ(hr, CLASS_E_NOAGGREGATION) << entry.progName;
    else
      EXPECT_NE(hr, CLASS_E_NOAGGREGATION) << entry.progName;
    if (SUCCEEDED(hr)) static_cast<IUnknown*>(p)->Release();
  }
}

TEST(ModuleTest, CanUnloadOnlyWithoutLocks) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(CLSID_LineData, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);  // factory references do not pin the module
  factory->LockServer(TRUE);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ModuleTest, RegistrationWritesTheClassEntries) {
  ASSERT_EQ(DllRegisterServer(), S_OK);

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(u"Kelmira.GraphicsContainer", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_GraphicsContainer);
  EXPECT_EQ(RegString("Kelmira.GraphicsContainer\\CurVer"), "Kelmira.GraphicsContainer.1");
  EXPECT_EQ(RegString("Kelmira.GraphicsContainer"), "GraphicsContainer Class");

  const std::string key = "CLSID\\" + GuidText(CLSID_GraphicsContainer);
  EXPECT_EQ(RegString(key), "Kelmira.GraphicsContainer");
  EXPECT_EQ(RegString(key + "\\ProgID"), "Kelmira.GraphicsContainer.1");
  EXPECT_EQ(RegString(key + "\\VersionIndependentProgID"), "Kelmira.GraphicsContainer");
  EXPECT_TRUE(KeyExists(key + "\\Programmable"));
  EXPECT_EQ(RegString(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_NE(RegString(key + "\\InprocServer32").find("libkelmira.so"), std::string::npos);
  EXPECT_EQ(RegString(key + "\\TypeLib"), GuidText(LIBID_Kelmira));
  EXPECT_TRUE(KeyExists(key + "\\Control"));
  EXPECT_TRUE(KeyExists(key + "\\Insertable"));
  EXPECT_EQ(RegString(key + "\\MiscStatus"), "0");
  EXPECT_EQ(RegString(key + "\\MiscStatus\\1"), "131473");
  EXPECT_EQ(RegString(key + "\\Version"), "1.0");
  EXPECT_NE(RegString(key + "\\ToolboxBitmap32").find(", 101"), std::string::npos);

  // Not a control: no control keys.
  const std::string lineKey = "CLSID\\" + GuidText(CLSID_Line);
  EXPECT_TRUE(KeyExists(lineKey + "\\Programmable"));
  EXPECT_FALSE(KeyExists(lineKey + "\\Control"));
  EXPECT_FALSE(KeyExists(lineKey + "\\MiscStatus"));

  // The two classes whose ProgID keys carry the ProgID itself.
  EXPECT_EQ(RegString("Kelmira.LineLegendLayer"), "Kelmira.LineLegendLayer");
  EXPECT_EQ(RegString("Kelmira.MouseInputManager.1"), "Kelmira.MouseInputManager");

  // The property page: its own ProgIDs and a bare class key.
  EXPECT_EQ(CLSIDFromProgID(u"Kelmira.LineGraphPropPage", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_BaseGraphPropPage);
  const std::string pageKey = "CLSID\\" + GuidText(CLSID_BaseGraphPropPage);
  EXPECT_EQ(RegString(pageKey), "LineGraphPropPage Class");
  EXPECT_EQ(RegString(pageKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_FALSE(KeyExists(pageKey + "\\ProgID"));
  EXPECT_FALSE(KeyExists(pageKey + "\\TypeLib"));

  LPOLESTR prog = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(CLSID_XAxis, &prog), S_OK);
  EXPECT_EQ(std::u16string(prog), u"Kelmira.XAxis.1");
  CoTaskMemFree(prog);
}

TEST(ModuleTest, UnregistrationRemovesTheEntries) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  ASSERT_EQ(DllUnregisterServer(), S_OK);
  for (const Expected& entry : kClasses) {
    const std::string prog = "Kelmira." + std::string(entry.progName);
    EXPECT_FALSE(KeyExists(prog)) << prog;
    EXPECT_FALSE(KeyExists(prog + ".1")) << prog;
    EXPECT_FALSE(KeyExists("CLSID\\" + GuidText(*entry.clsid))) << prog;
  }
  CLSID clsid{};
  EXPECT_NE(CLSIDFromProgID(u"Kelmira.GraphicsContainer", &clsid), S_OK);
  // Registering again after unregistering works.
  EXPECT_EQ(DllRegisterServer(), S_OK);
  EXPECT_EQ(DllUnregisterServer(), S_OK);
}

TEST(ModuleTest, CommonControlsAreReadyAfterLoad) {
  const INITCOMMONCONTROLSEX good{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&good));
  const INITCOMMONCONTROLSEX bad{4, ICC_WIN95_CLASSES};
  EXPECT_FALSE(InitCommonControlsEx(&bad));
  EXPECT_FALSE(InitCommonControlsEx(nullptr));
  WNDCLASSEXA info{};
  info.cbSize = sizeof(info);
  EXPECT_TRUE(GetClassInfoExA(nullptr, "STATIC", &info));
  EXPECT_TRUE(GetClassInfoExA(nullptr, "AtlAxWin", &info));
}

// Every built class is made by its ProgID, plain and inside an outer object whose IUnknown then
// controls it; an aggregated container answers exactly like a plain one.
TEST(ModuleTest, BuiltClassesCreatePlainAndAggregated) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  struct Outer : IUnknown {
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  };
  int built = 0;
  for (const Expected& entry : kClasses) {
    std::string progId = std::string("Kelmira.") + entry.progName;
    std::wstring wide(progId.begin(), progId.end());
    std::u16string id(wide.begin(), wide.end());
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(id.c_str()), &clsid), S_OK) << progId;
    ComPtr<IUnknown> plain;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&plain));
    if (hr == E_NOTIMPL) continue;  // a class of a later milestone
    ASSERT_EQ(hr, S_OK) << progId;
    ++built;
    if (!entry.aggregatable) continue;
    Outer outer;
    IUnknown* inner = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&inner)),
              S_OK)
        << progId;
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(inner->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK) << progId;
    EXPECT_EQ(outer.refs, 2u) << progId << ": interfaces of the inner object count on the outer one";
    dispatch = nullptr;
    EXPECT_EQ(inner->Release(), 0u) << progId;
  }
  EXPECT_EQ(built, 9);

  Outer outer;
  IUnknown* inner = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_GraphicsContainer, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&inner)),
            S_OK);
  ComPtr<IGraphicsContainer> aggregated, plain;
  ASSERT_EQ(inner->QueryInterface(IID_IGraphicsContainer, reinterpret_cast<void**>(&aggregated)), S_OK);
  ASSERT_EQ(CoCreateInstance(CLSID_GraphicsContainer, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphicsContainer,
                             reinterpret_cast<void**>(&plain)),
            S_OK);
  for (IGraphicsContainer* c : {aggregated.get(), plain.get()}) {
    ASSERT_EQ(c->SetExtents(0, 10, 0, 1), S_OK);
    ASSERT_EQ(c->SetLimits(-3, 4, 0.5, 0.5), S_OK);
  }
  double a[4], p[4];
  aggregated->GetLimits(&a[0], &a[1], &a[2], &a[3]);
  plain->GetLimits(&p[0], &p[1], &p[2], &p[3]);
  EXPECT_EQ(std::vector<double>(a, a + 4), std::vector<double>(p, p + 4));
  EXPECT_EQ(std::vector<double>(a, a + 4), (std::vector<double>{0, 7, 0.5, 0.501}));
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  aggregated = nullptr;
  plain = nullptr;
  EXPECT_EQ(inner->Release(), 0u);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}
