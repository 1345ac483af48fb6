// Runs arbitrary text as a registration script on an empty registry, registering and then
// unregistering, with the replacements a module passes.
#include "fuzz_host.h"

#include <kelmira/platform/registrar.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::error_code ec;
  std::filesystem::remove(KelmiraRegistryPath(), ec);
  KelmiraRegistryReload();
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  const std::vector<std::pair<std::string, std::string>> replacements{
      {"MODULE", "/opt/k/libkelmira.so"}, {"CLSID", "{00000000-0000-0000-0000-000000000001}"}};
  std::string error;
  if (SUCCEEDED(kelmira::RunRegistrarScript(script, replacements, true, &error)))
    (void)kelmira::RunRegistrarScript(script, replacements, false, &error);
  return 0;
}
