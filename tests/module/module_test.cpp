// The module: class objects, aggregation rules, unloading and registration entries.
#include "support/create.h"
#include "support/fake_unknown.h"
#include "support/registry_fixture.h"

#include <string>

namespace kelmira::test {
namespace {

// The module's classes in registration order.
const struct Class {
  const char* name;
  const CLSID* clsid;
  bool aggregatable;
} kClasses[] = {{"GraphicsContainer", &CLSID_GraphicsContainer, true},
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
                {"MouseInputManager", &CLSID_MouseInputManager, true}};

CLSID FromProgID(const std::string& progId) {
  CLSID clsid{};
  const std::u16string wide(progId.begin(), progId.end());
  return SUCCEEDED(CLSIDFromProgID(wide.c_str(), &clsid)) ? clsid : GUID_NULL;
}

// Every class has one factory, found in the process without the registry, and is made by its
// ProgID; inside an outer object only where the class allows it. Declared-only classes have none.
TEST(ModuleTest, EveryClassHasOneFactoryAggregatesWhereItSaysAndUnloadsOnlyWhenFree) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  for (const Class& c : kClasses) {
    SCOPED_TRACE(c.name);
    ComPtr<IClassFactory> factory, viaRuntime;
    EXPECT_EQ(DllGetClassObject(*c.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(CoGetClassObject(*c.clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&viaRuntime)),
              S_OK);
    EXPECT_EQ(factory.get(), viaRuntime.get());
    ASSERT_EQ(FromProgID(std::string("Kelmira.") + c.name), *c.clsid);
    ComPtr<IUnknown> plain;
    const HRESULT made =
        CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&plain));
    EXPECT_EQ(made, S_OK);

    // How an aggregated object behaves is the object base's; whether it may be is the class's.
    FakeUnknown outer;
    ComPtr<IUnknown> inner;
    const HRESULT hr =
        CoCreateInstance(*c.clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&inner));
    EXPECT_EQ(hr, !c.aggregatable ? CLASS_E_NOAGGREGATION : made);
  }
  // Classes only declared in the type library have none.
  for (const CLSID* clsid :
       {&CLSID_PolarLayer, &CLSID_PolarGridLayer, &CLSID_ContourLayer, &CLSID_PropPageAxis, &CLSID_PropPageXAxis}) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(*clsid, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);
  }
  void* p = nullptr;
  EXPECT_EQ(DllGetClassObject(CLSID_LineData, IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(DllGetClassObject(CLSID_LineData, IID_IDispatch, &p), E_NOINTERFACE);

  // The module can unload only without locks or objects.
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(CLSID_LineData, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);  // factory references do not pin the module
  factory->LockServer(TRUE);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  factory->LockServer(FALSE);
  FakeUnknown outer;
  auto plain = Create<IUnknown>(CLSID_GraphicsContainer), inner = Create<IUnknown>(CLSID_GraphicsContainer, &outer);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // a live object pins it
  plain = nullptr;
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // an aggregated one too
  inner = nullptr;
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ModuleTest, RegistrationWritesTheClassEntriesAndUnregistrationRemovesThem) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string gc = "CLSID\\" + GuidText(CLSID_GraphicsContainer), line = "CLSID\\" + GuidText(CLSID_Line),
                    page = "CLSID\\" + GuidText(CLSID_BaseGraphPropPage);
  const struct {
    std::string key, expected;
    const char* value = nullptr;  // the default value unless named
  } entries[] = {
      {"Kelmira.GraphicsContainer", "GraphicsContainer Class"},
      {"Kelmira.GraphicsContainer\\CurVer", "Kelmira.GraphicsContainer.1"},
      {gc, "Kelmira.GraphicsContainer"},
      {gc + "\\ProgID", "Kelmira.GraphicsContainer.1"},
      {gc + "\\VersionIndependentProgID", "Kelmira.GraphicsContainer"},
      {gc + "\\InprocServer32", "Apartment", "ThreadingModel"},
      {gc + "\\TypeLib", GuidText(LIBID_Kelmira)},
      {gc + "\\MiscStatus", "0"},
      {gc + "\\MiscStatus\\1", "131473"},
      {gc + "\\Version", "1.0"},
      // The two classes whose ProgID keys carry the ProgID itself.
      {"Kelmira.LineLegendLayer", "Kelmira.LineLegendLayer"},
      {"Kelmira.MouseInputManager.1", "Kelmira.MouseInputManager"},
      {page, "LineGraphPropPage Class"},
      {page + "\\InprocServer32", "Apartment", "ThreadingModel"},
  };
  for (const auto& e : entries) EXPECT_EQ(Text(HKEY_CLASSES_ROOT, e.key, e.value), e.expected) << e.key;
  // Control keys for the control only; the property page has no ProgID or type library of its own.
  for (const std::string& key : {gc + "\\Programmable", gc + "\\Control", gc + "\\Insertable", line + "\\Programmable"})
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
  for (const std::string& key : {line + "\\Control", line + "\\MiscStatus", page + "\\ProgID", page + "\\TypeLib"})
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
  EXPECT_NE(Text(HKEY_CLASSES_ROOT, gc + "\\InprocServer32").find("libkelmira.so"), std::string::npos);
  EXPECT_NE(Text(HKEY_CLASSES_ROOT, gc + "\\ToolboxBitmap32").find(", 101"), std::string::npos);
  LPOLESTR prog = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(CLSID_XAxis, &prog), S_OK);
  EXPECT_EQ(std::u16string(prog), u"Kelmira.XAxis.1");
  CoTaskMemFree(prog);

  ASSERT_EQ(DllUnregisterServer(), S_OK);
  for (const Class& c : kClasses) {
    const std::string name = std::string("Kelmira.") + c.name;
    for (const std::string& key : {name, name + ".1", "CLSID\\" + GuidText(*c.clsid)})
      EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
  }
  EXPECT_EQ(FromProgID("Kelmira.GraphicsContainer"), GUID_NULL);
}

}  // namespace
}  // namespace kelmira::test
