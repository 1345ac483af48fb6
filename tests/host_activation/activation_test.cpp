// A host that links only the platform: it registers the module with the command-line tool, then
// finds classes and the type library through the registry file alone.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

namespace kelmira::test {
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

const std::string kRegsvr = Env("KELMIRA_TOOLS_DIR") + "/kelmira-regsvr ";
const std::string kModule = Env("KELMIRA_MODULE_PATH");

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(kModule.empty());
    ASSERT_EQ(RunCommand(kRegsvr + kModule, &out_), 0) << out_;
    KelmiraRegistryReload();  // another process wrote the file
  }
  void TearDown() override {
    EXPECT_EQ(RunCommand(kRegsvr + "-u -s " + kModule, &out_), 0) << out_;
    KelmiraRegistryReload();
  }
  std::string out_;
};

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
  Bstr name;
  EXPECT_EQ(lib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(std::u16string(name.get()), u"Kelmira");
}

TEST(HostTools, RegsvrReportsBadInput) {
  const std::tuple<std::string, int, const char*> runs[] = {
      {"", 2, "no module given"},
      {"/nonexistent/libnothing.so", 1, "cannot load /nonexistent/libnothing.so"},
      {"/lib/x86_64-linux-gnu/libm.so.6", 1, "is not a component module"},
      {"--help", 0, "usage: kelmira-regsvr"},
  };
  for (const auto& [args, status, text] : runs) {
    std::string out;
    EXPECT_EQ(RunCommand(kRegsvr + args, &out), status) << args;
    EXPECT_NE(out.find(text), std::string::npos) << out;
  }
}

TEST(HostTools, ClassListingShowsEveryClass) {
  std::string out;
  ASSERT_EQ(RunCommand(kRegsvr + "-s " + kModule, &out), 0) << out;
  EXPECT_EQ(RunCommand(Env("KELMIRA_TOOLS_DIR") + "/kelmira-classes", &out), 0) << out;
  for (const char* text : {"Kelmira.GraphicsContainer.1", "BaseGraphPropPage", "Kelmira.MouseInputManager.1",
                           "PolarLayer", "declared only"})
    EXPECT_NE(out.find(text), std::string::npos) << text << "\n" << out;
  EXPECT_EQ(RunCommand(kRegsvr + "-u -s " + kModule, &out), 0) << out;
}

}  // namespace
}  // namespace kelmira::test
