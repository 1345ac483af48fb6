// A host that links only the platform: it registers the module with the command-line tool, then
// finds classes and the type library through the registry file alone.
#include "support/child_process.h"

#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

ProcessResult RunTool(const char* tool, std::vector<std::string> args) {
  args.insert(args.begin(), Env("KELMIRA_TOOLS_DIR") + "/" + tool);
  return RunProcess(args);
}

TEST(Host, FindsClassesAndTheTypeLibraryThroughTheRegistry) {
  const std::string module = Env("KELMIRA_MODULE_PATH");
  ProcessResult run = RunTool("kelmira-regsvr", {module});
  ASSERT_EQ(0, run.exitCode) << run.output;
  KelmiraRegistryReload();  // another process wrote the file

  // ProgIds resolve through CurVer.
  CLSID byCurVer{}, byVersion{}, none{};
  EXPECT_EQ(
      std::tuple(S_OK, S_OK, CO_E_CLASSSTRING),
      std::tuple(CLSIDFromProgID(u"Kelmira.GraphicsContainer", &byCurVer),
                 CLSIDFromProgID(u"Kelmira.LineData.1", &byVersion), CLSIDFromProgID(u"Kelmira.NoSuchClass", &none)));
  EXPECT_EQ(std::pair(CLSID_GraphicsContainer, CLSID_LineData), std::pair(byCurVer, byVersion));

  // Class objects load the module from its registered path; declared-only classes have none,
  // and only in-process servers exist.
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(S_OK, CoGetClassObject(CLSID_LineData, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                   reinterpret_cast<void**>(&factory)));
  void* p = nullptr;
  EXPECT_NE(S_OK, CoGetClassObject(CLSID_PolarLayer, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &p));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CoGetClassObject(CLSID_LineData, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory, &p));
  EXPECT_EQ(nullptr, p);
  factory.Reset();
  CoFreeUnusedLibraries();

  ComPtr<ITypeLib> lib;
  ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_Kelmira, 1, 0, LOCALE_USER_DEFAULT, &lib));
  ComPtr<ITypeInfo> info;
  Bstr name;
  EXPECT_EQ(std::pair(S_OK, S_OK), std::pair(lib->GetTypeInfoOfGuid(IID_IGraphicsLayer, &info),
                                             lib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr)));
  EXPECT_EQ(u"Kelmira", std::u16string(name.get()));
  info.Reset(), lib.Reset();

  run = RunTool("kelmira-classes", {});
  EXPECT_EQ(0, run.exitCode) << run.output;
  for (const char* text : {"Kelmira.GraphicsContainer.1", "BaseGraphPropPage", "Kelmira.MouseInputManager.1",
                           "PolarLayer", "declared only"})
    EXPECT_NE(std::string::npos, run.output.find(text)) << text << "\n" << run.output;

  run = RunTool("kelmira-regsvr", {"-u", "-s", module});
  EXPECT_EQ(0, run.exitCode) << run.output;
  KelmiraRegistryReload();
}

TEST(Host, RegsvrReportsBadInput) {
  const std::tuple<std::vector<std::string>, int, const char*> runs[] = {
      {{}, 2, "no module given"},
      {{"/nonexistent/libnothing.so"}, 1, "cannot load /nonexistent/libnothing.so"},
      {{"/lib/x86_64-linux-gnu/libm.so.6"}, 1, "is not a component module"},
      {{"--help"}, 0, "usage: kelmira-regsvr"},
  };
  for (const auto& [args, status, text] : runs) {
    const ProcessResult run = RunTool("kelmira-regsvr", args);
    EXPECT_EQ(status, run.exitCode) << text;
    EXPECT_NE(std::string::npos, run.output.find(text)) << run.output;
  }
}

}  // namespace
}  // namespace kelmira::test
