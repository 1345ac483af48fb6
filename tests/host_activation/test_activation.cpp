// A host that links only the platform: it registers the module with the command-line tool, then
// finds classes and the type library through the registry file alone.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using kelmira::ComPtr;

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Runs a command and returns its exit status and combined output.
int RunCommand(const std::string& command, std::string* output) {
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[512];
  output->clear();
  while (std::fgets(buffer, sizeof buffer, pipe)) *output += buffer;
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = Env("KELMIRA_MODULE_PATH");
    tools_ = Env("KELMIRA_TOOLS_DIR");
    ASSERT_FALSE(module_.empty());
    ASSERT_FALSE(tools_.empty());
    std::string out;
    ASSERT_EQ(RunCommand(tools_ + "/kelmira-regsvr " + module_, &out), 0) << out;
    KelmiraRegistryReload();  // another process wrote the file
  }
  void TearDown() override {
    std::string out;
    EXPECT_EQ(RunCommand(tools_ + "/kelmira-regsvr -u -s " + module_, &out), 0) << out;
    KelmiraRegistryReload();
  }
  std::string module_, tools_;
};

}  // namespace

TEST_F(HostTest, ProgIdsResolveThroughCurVer) {
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(u"Kelmira.GraphicsContainer", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_GraphicsContainer);
  ASSERT_EQ(CLSIDFromProgID(u"Kelmira.LineData.1", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_LineData);
  EXPECT_EQ(CLSIDFromProgID(u"Kelmira.NoSuchClass", &clsid), CO_E_CLASSSTRING);
}

TEST_F(HostTest, ClassObjectsLoadTheModuleFromItsRegisteredPath) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(CLSID_LineData, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  // Declared-only classes are in the type library but have no class object.
  void* p = nullptr;
  EXPECT_NE(CoGetClassObject(CLSID_PolarLayer, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &p), S_OK);
  EXPECT_EQ(p, nullptr);
  // Only in-process servers exist.
  EXPECT_EQ(CoGetClassObject(CLSID_LineData, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory, &p), REGDB_E_CLASSNOTREG);
  factory.Reset();
  CoFreeUnusedLibraries();
}

TEST_F(HostTest, TypeLibraryLoadsFromTheRegistry) {
  ComPtr<ITypeLib> lib;
  ASSERT_EQ(LoadRegTypeLib(LIBID_Kelmira, 1, 0, LOCALE_USER_DEFAULT, &lib), S_OK);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(lib->GetTypeInfoOfGuid(IID_IGraphicsLayer, &info), S_OK);
  kelmira::Bstr name, doc;
  EXPECT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
  EXPECT_EQ(std::u16string(name.get()), u"Kelmira");
  EXPECT_EQ(std::u16string(doc.get()), u"Kelmira 1.0 Type Library");
}

TEST(HostTools, RegsvrReportsBadInput) {
  const std::string tools = Env("KELMIRA_TOOLS_DIR");
  std::string out;
  EXPECT_EQ(RunCommand(tools + "/kelmira-regsvr", &out), 2);
  EXPECT_NE(out.find("no module given"), std::string::npos) << out;
  EXPECT_EQ(RunCommand(tools + "/kelmira-regsvr /nonexistent/libnothing.so", &out), 1);
  EXPECT_NE(out.find("cannot load /nonexistent/libnothing.so"), std::string::npos) << out;
  EXPECT_EQ(RunCommand(tools + "/kelmira-regsvr /lib/x86_64-linux-gnu/libm.so.6", &out), 1);
  EXPECT_NE(out.find("is not a component module"), std::string::npos) << out;
  EXPECT_EQ(RunCommand(tools + "/kelmira-regsvr --help", &out), 0);
  EXPECT_NE(out.find("usage: kelmira-regsvr"), std::string::npos);
}

TEST(HostTools, ClassListingShowsEveryClass) {
  const std::string tools = Env("KELMIRA_TOOLS_DIR");
  std::string out;
  ASSERT_EQ(RunCommand(tools + "/kelmira-regsvr -s " + Env("KELMIRA_MODULE_PATH"), &out), 0) << out;
  EXPECT_EQ(RunCommand(tools + "/kelmira-classes", &out), 0) << out;
  for (const char* prog : {"Kelmira.GraphicsContainer.1", "BaseGraphPropPage", "Kelmira.MouseInputManager.1"})
    EXPECT_NE(out.find(prog), std::string::npos) << prog << "\n" << out;
  EXPECT_NE(out.find("PolarLayer"), std::string::npos);
  EXPECT_NE(out.find("declared only"), std::string::npos);
  EXPECT_EQ(RunCommand(tools + "/kelmira-regsvr -u -s " + Env("KELMIRA_MODULE_PATH"), &out), 0) << out;
}
