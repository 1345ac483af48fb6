// The module's type library: its tables are published in the process while the module is
// loaded, and DllRegisterServer records them in the registry under the module's path.
#include "module/type_library.h"

#include "module/typelib_tables.h"

namespace kelmira::module {

void PublishTypeLibrary() { RegisterTypeLibraryInfo(&KelmiraTypeLibrary()); }

void WithdrawTypeLibrary() { UnregisterTypeLibraryInfo(&KelmiraTypeLibrary()); }

HRESULT RegisterModuleTypeLibrary(const std::string& modulePath) {
  std::u16string path(modulePath.size() + 1, u'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, modulePath.c_str(), -1, path.data(), static_cast<int>(path.size()));
  if (n <= 0) return E_INVALIDARG;
  path.resize(static_cast<std::size_t>(n - 1));

  ComPtr<ITypeLib> lib;
  HRESULT hr = LoadRegTypeLib(LIBID_Kelmira, 1, 0, LOCALE_NEUTRAL, &lib);
  if (FAILED(hr)) return hr;
  return RegisterTypeLib(lib.get(), path.c_str(), nullptr);
}

HRESULT UnregisterModuleTypeLibrary() { return UnRegisterTypeLib(LIBID_Kelmira, 1, 0, LOCALE_NEUTRAL, SYS_WIN32); }

}  // namespace kelmira::module
