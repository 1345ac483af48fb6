// The module's exported entry points: class objects, unloading and (un)registration.
#include <kelmira/kelmira.h>
#include <kelmira/platform/registrar.h>

#include "module/class_table.h"
#include "module/module_path.h"
#include "module/registry_scripts.h"
#include "module/type_library.h"

using namespace kelmira::module;

HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  const ClassEntry* entry = FindClass(rclsid);
  if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
  return entry->factory.QueryInterface(riid, ppv);
}

HRESULT DllCanUnloadNow() { return kelmira::ModuleLockCount().load() == 0 ? S_OK : S_FALSE; }

namespace {

HRESULT RunScripts(bool registering) {
  const std::string path = ModulePath();
  if (path.empty()) return E_UNEXPECTED;
  for (const ClassEntry& entry : ClassTable()) {
    HRESULT hr = kelmira::RunRegistrarScript(RegistryScript(entry), {{"MODULE", path}}, registering);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace

HRESULT DllRegisterServer() {
  HRESULT hr = RunScripts(true);
  if (FAILED(hr)) return hr;
  return RegisterModuleTypeLibrary(ModulePath());
}

HRESULT DllUnregisterServer() {
  HRESULT hr = RunScripts(false);
  HRESULT typeLib = UnregisterModuleTypeLibrary();
  return FAILED(hr) ? hr : typeLib;
}
