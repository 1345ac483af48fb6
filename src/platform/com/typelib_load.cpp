// Finding type libraries: those registered in this process by the modules that describe
// them, and those named by the registry or by a module path, whose module is loaded first.
#include "com/dispatch_index.h"
#include "com/dispatch_text.h"
#include "com/typelib_registry_keys.h"

#include <kelmira/platform/guarded.h>

#include <dlfcn.h>
#include <sys/stat.h>

namespace kelmira::dispatch {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (a.empty() || b.empty() || stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::shared_ptr<LibraryIndex> LibraryOfModule(const std::string& path) {
  for (auto& lib : RegisteredLibraries())
    if (SameFile(lib->modulePath, path)) return lib;
  return nullptr;
}

// Loads the module for good (its tables must stay) and returns the library it registered.
std::shared_ptr<LibraryIndex> LoadModuleLibrary(const std::string& path) {
  if (auto lib = LibraryOfModule(path)) return lib;
  if (!dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return nullptr;
  return LibraryOfModule(path);
}

}  // namespace

}  // namespace kelmira::dispatch

using namespace kelmira::dispatch;

HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib) {
  if (!szFile || !pptlib) return E_INVALIDARG;
  *pptlib = nullptr;
  return kelmira::Guarded([&] {
    auto lib = LoadModuleLibrary(Utf8FromUtf16(View(szFile)));
    if (!lib) return TYPE_E_CANTLOADLIBRARY;
    return MakeTypeLib(lib, pptlib);
  });
}

HRESULT LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid, ITypeLib** pptlib) {
  if (!pptlib) return E_INVALIDARG;
  *pptlib = nullptr;
  return kelmira::Guarded([&] {
    if (auto lib = FindRegisteredLibrary(rguid, wVerMajor, wVerMinor)) return MakeTypeLib(lib, pptlib);
    std::string path;
    if (FAILED(FindRegisteredPath(rguid, wVerMajor, wVerMinor, lcid, &path))) return TYPE_E_LIBNOTREGISTERED;
    if (!LoadModuleLibrary(path)) return TYPE_E_CANTLOADLIBRARY;
    auto lib = FindRegisteredLibrary(rguid, wVerMajor, wVerMinor);
    if (!lib) return TYPE_E_LIBNOTREGISTERED;
    return MakeTypeLib(lib, pptlib);
  });
}

HRESULT QueryPathOfRegTypeLib(REFGUID guid, USHORT wMaj, USHORT wMin, LCID lcid, BSTR* lpbstrPathName) {
  if (!lpbstrPathName) return E_INVALIDARG;
  *lpbstrPathName = nullptr;
  return kelmira::Guarded([&] {
    std::string path;
    HRESULT hr = FindRegisteredPath(guid, wMaj, wMin, lcid, &path);
    if (FAILED(hr)) return hr;
    *lpbstrPathName = AllocBstr(Utf16FromUtf8(path));
    return *lpbstrPathName ? S_OK : E_OUTOFMEMORY;
  });
}
