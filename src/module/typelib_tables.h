// The Kelmira type library as member tables, expanded from kelmira/typelib.def.
//
// The module registers them when it loads, which makes DispatchImpl, LoadRegTypeLib and
// LoadTypeLib find them:
//
//   kelmira::RegisterTypeLibraryInfo(&KelmiraTypeLibrary());
#pragma once

#include <kelmira/platform/dispatch_impl.h>

// Exported so that tests and tools linking the module can register or inspect the tables.
KELMIRA_API const kelmira::TypeLibraryInfo& KelmiraTypeLibrary();
