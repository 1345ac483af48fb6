// What happens when the module is loaded into a process and unloaded from it: its class objects
// are registered in the process, so that any program linking the module can create every class
// without registry entries, its type library is made known to the dispatch machinery, and the
// common controls are initialised.
#include <kelmira/kelmira.h>

#include "module/class_table.h"
#include "module/type_library.h"

namespace kelmira::module {
namespace {

// Plain storage: load and unload hooks run outside the ordering of static constructors and
// destructors, so nothing here may have one.
constexpr std::size_t kMaxClasses = 16;
DWORD gCookies[kMaxClasses];
std::size_t gCookieCount = 0;

[[gnu::constructor]] void OnLoad() {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  PublishTypeLibrary();
  for (const ClassEntry& entry : ClassTable()) {
    DWORD cookie = 0;
    if (gCookieCount < kMaxClasses &&
        SUCCEEDED(
            CoRegisterClassObject(*entry.clsid, &entry.factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
      gCookies[gCookieCount++] = cookie;
  }
}

[[gnu::destructor]] void OnUnload() {
  while (gCookieCount > 0) CoRevokeClassObject(gCookies[--gCookieCount]);
  WithdrawTypeLibrary();
}

}  // namespace
}  // namespace kelmira::module
