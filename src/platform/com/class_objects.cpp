// The process's table of class objects, and activation through it and through the registry.
#include "com/builtin_classes.h"
#include "com/guid_text.h"
#include "com/registry_read.h"
#include "control/no_destructor.h"

#include <kelmira/platform/combase.h>
#include <kelmira/platform/com_ptr.h>
#include <kelmira/platform/guarded.h>

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <vector>

namespace {

struct Registration {
  DWORD cookie;
  CLSID clsid;
  IUnknown* object;  // holds a reference
  DWORD flags;
  bool used;  // a REGCLS_SINGLEUSE object has been handed out
};

struct ClassTable {
  std::mutex mutex;
  std::vector<Registration> entries;
  DWORD nextCookie = 1;
};

// Never destroyed: modules revoke their class objects from their own static destructors.
ClassTable& Classes() {
  static kelmira::control::NoDestructor<ClassTable> table;
  return table.get();
}

// A registered class object with a reference for the caller, or null.
IUnknown* FindRegistered(REFCLSID clsid) {
  ClassTable& table = Classes();
  std::lock_guard lock(table.mutex);
  // The newest registration first: a host (or a test) can stand in for a class for a while, and
  // revoking brings the earlier one back.
  for (auto it = table.entries.rbegin(); it != table.entries.rend(); ++it) {
    Registration& r = *it;
    if (r.clsid != clsid || r.used) continue;
    if (r.flags == REGCLS_SINGLEUSE) r.used = true;
    r.object->AddRef();
    return r.object;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Libraries loaded through InprocServer32.

struct Module {
  void* handle;
  LPFNGETCLASSOBJECT getClassObject;
  LPFNCANUNLOADNOW canUnloadNow;  // may be null: then the library stays
};

struct ModuleTable {
  // Recursive: a module's DllGetClassObject may itself activate classes of other modules.
  std::recursive_mutex mutex;
  std::map<std::string, Module> loaded;
};

ModuleTable& Modules() {
  static kelmira::control::NoDestructor<ModuleTable> table;
  return table.get();
}

HRESULT LoadModule(const std::string& path, Module* out) {
  ModuleTable& table = Modules();
  auto it = table.loaded.find(path);
  if (it != table.loaded.end()) {
    *out = it->second;
    return S_OK;
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return CO_E_DLLNOTFOUND;
  auto get = reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(handle, "DllGetClassObject"));
  if (!get) {
    dlclose(handle);
    return CO_E_ERRORINDLL;
  }
  Module m{handle, get, reinterpret_cast<LPFNCANUNLOADNOW>(dlsym(handle, "DllCanUnloadNow"))};
  table.loaded.emplace(path, m);
  *out = m;
  return S_OK;
}

HRESULT GetFromRegistry(REFCLSID clsid, DWORD context, REFIID riid, void** ppv) {
  if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;  // no in-process handlers here
  std::string key = "CLSID\\" + kelmira::guidtext::Format(clsid) + "\\InprocServer32";
  std::string path;
  LONG rc = kelmira::registry::ReadString(HKEY_CLASSES_ROOT, key, nullptr, &path);
  if (rc != ERROR_SUCCESS) return kelmira::registry::RegistryErrorToHResult(rc, REGDB_E_CLASSNOTREG);
  if (path.empty()) return CO_E_DLLNOTFOUND;
  ModuleTable& table = Modules();
  std::lock_guard lock(table.mutex);
  Module module{};
  if (HRESULT hr = LoadModule(path, &module); FAILED(hr)) return hr;
  return module.getClassObject(clsid, riid, ppv);
}

HRESULT GetClassObject(REFCLSID rclsid, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_INVALIDARG;
  *ppv = nullptr;
  if (!(dwClsContext & CLSCTX_INPROC)) return REGDB_E_CLASSNOTREG;
  if (kelmira::ComPtr<IUnknown> registered = kelmira::ComPtr<IUnknown>::Attach(FindRegistered(rclsid)))
    return registered->QueryInterface(riid, ppv);
  if (IClassFactory* builtIn = kelmira::FindBuiltInClass(rclsid)) return builtIn->QueryInterface(riid, ppv);
  return GetFromRegistry(rclsid, dwClsContext, riid, ppv);
}

}  // namespace

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags, DWORD* lpdwRegister) {
  if (!pUnk || !lpdwRegister) return E_INVALIDARG;
  *lpdwRegister = 0;
  return kelmira::Guarded([&] {
    ClassTable& table = Classes();
    std::lock_guard lock(table.mutex);
    DWORD cookie = table.nextCookie++;
    if (table.nextCookie == 0) table.nextCookie = 1;
    table.entries.push_back(Registration{cookie, rclsid, pUnk, flags, false});
    pUnk->AddRef();
    *lpdwRegister = cookie;
  });
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
  IUnknown* object = nullptr;
  {
    ClassTable& table = Classes();
    std::lock_guard lock(table.mutex);
    for (auto it = table.entries.begin(); it != table.entries.end(); ++it) {
      if (it->cookie != dwRegister) continue;
      object = it->object;
      table.entries.erase(it);
      break;
    }
  }
  if (!object) return CO_E_OBJNOTREG;
  object->Release();  // outside the lock: the object's release may revoke others
  return S_OK;
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid, LPVOID* ppv) {
  return kelmira::Guarded([&] { return GetClassObject(rclsid, dwClsContext, riid, ppv); });
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  kelmira::ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  if (!factory) return E_UNEXPECTED;
  return factory->CreateInstance(pUnkOuter, riid, ppv);
}

void CoFreeUnusedLibraries() {
  // Best effort: a library that cannot be looked at now is looked at next time.
  (void)kelmira::Guarded([] {
    ModuleTable& table = Modules();
    std::lock_guard lock(table.mutex);
    for (auto it = table.loaded.begin(); it != table.loaded.end();) {
      const Module& m = it->second;
      if (m.canUnloadNow && m.canUnloadNow() == S_OK) {
        dlclose(m.handle);
        it = table.loaded.erase(it);
      } else {
        ++it;
      }
    }
  });
}
