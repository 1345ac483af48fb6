// The dispatch tests' library tables, expanded with the same macros as the module's.
#include "support/dispatch_test_library.h"

#include <gtest/gtest.h>

#define KM_DEF_FILE "support/dispatch_test_library.def"
#define KM_DEF_TABLES kTestLibrary
#include <kelmira/platform/dispatch_def.inc>

namespace kelmira::test {

const TypeLibraryInfo& TestLibrary() {
  [[maybe_unused]] static const HRESULT registered = RegisterTypeLibraryInfo(&kTestLibrary);
  return kTestLibrary;
}

ComPtr<ITypeLib> TestTypeLib() {
  TestLibrary();
  ComPtr<ITypeLib> lib;
  EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_KelmiraDispatchTest, 2, 0, 0, &lib));
  return lib;
}

ComPtr<ITypeInfo> TestTypeInfo(REFGUID guid) {
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(S_OK, TestTypeLib()->GetTypeInfoOfGuid(guid, &info));
  return info;
}

}  // namespace kelmira::test
