// The process-wide registry of type libraries that modules describe with member tables.
//
// Resolved libraries are never destroyed while the process runs: DispatchImpl caches pointers
// to their tables, so an unregistered library only stops being found.
#include "com/dispatch_index.h"

#include <kelmira/platform/guarded.h>

#include <dlfcn.h>

#include <memory>
#include <mutex>

namespace kelmira {

namespace dispatch {
namespace {

struct Registry {
  std::mutex mutex;
  std::vector<std::shared_ptr<LibraryIndex>> active;
  std::vector<std::shared_ptr<LibraryIndex>> retired;
};

// Lives until the process ends, so modules may unregister from their own static destructors.
Registry& TheRegistry() {
  alignas(Registry) static unsigned char storage[sizeof(Registry)];
  static Registry* registry = std::construct_at(reinterpret_cast<Registry*>(storage));
  return *registry;
}

std::string ModuleOf(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return {};
  return info.dli_fname;
}

}  // namespace

std::vector<std::shared_ptr<LibraryIndex>> RegisteredLibraries() {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return r.active;
}

std::shared_ptr<LibraryIndex> FindRegisteredLibrary(REFGUID libid, WORD major, WORD minor) {
  std::shared_ptr<LibraryIndex> best;
  for (auto& lib : RegisteredLibraries()) {
    const TypeLibraryInfo& info = *lib->info;
    if (!IsEqualGUID(*info.libid, libid) || info.major != major || info.minor < minor) continue;
    if (!best || info.minor > best->info->minor) best = lib;
  }
  return best;
}

}  // namespace dispatch

HRESULT RegisterTypeLibraryInfo(const TypeLibraryInfo* library) {
  if (!library) return E_POINTER;
  return Guarded([&] {
    dispatch::Registry& r = dispatch::TheRegistry();
    std::lock_guard lock(r.mutex);
    for (auto& lib : r.active)
      if (lib->info == library) return S_FALSE;
    HRESULT hr = S_OK;
    auto index = dispatch::BuildLibraryIndex(library, &hr);
    if (!index) return hr;
    index->modulePath = dispatch::ModuleOf(library);
    r.active.push_back(std::move(index));
    return S_OK;
  });
}

HRESULT UnregisterTypeLibraryInfo(const TypeLibraryInfo* library) {
  if (!library) return E_POINTER;
  return Guarded([&] {
    dispatch::Registry& r = dispatch::TheRegistry();
    std::lock_guard lock(r.mutex);
    for (auto it = r.active.begin(); it != r.active.end(); ++it) {
      if ((*it)->info != library) continue;
      r.retired.push_back(std::move(*it));
      r.active.erase(it);
      return S_OK;
    }
    return S_FALSE;
  });
}

const DispatchTable* FindDispatchTable(REFIID iid) {
  dispatch::Registry& r = dispatch::TheRegistry();
  std::lock_guard lock(r.mutex);
  for (auto& lib : r.active)
    if (const DispatchTable* table = lib->FindTable(iid)) return table;
  return nullptr;
}

}  // namespace kelmira
