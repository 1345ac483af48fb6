// The test library's tables, expanded from test_interface.def with the same macros as the
// module's tables.
#include "platform_dispatch/test_interface.h"

#define KM_DEF_FILE "platform_dispatch/test_interface.def"
#define KM_DEF_TABLES kTestLibrary
#include <kelmira/platform/dispatch_def.inc>

const kelmira::TypeLibraryInfo& TestLibrary() {
  static const HRESULT registered = kelmira::RegisterTypeLibraryInfo(&kTestLibrary);
  (void)registered;
  return kTestLibrary;
}
