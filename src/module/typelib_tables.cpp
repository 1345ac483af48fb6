// Expands kelmira/typelib.def into the library's member tables. Every entry names the
// declaration it describes (member pointers, IIDs, CLSIDs, fields, enumerators), so the tables
// and kelmira.h cannot disagree.
#include "module/typelib_tables.h"

#include <kelmira/kelmira.h>

#define KM_DEF_FILE <kelmira/typelib.def>
#define KM_DEF_TABLES kKelmiraTypeLibrary
#include <kelmira/platform/dispatch_def.inc>

const kelmira::TypeLibraryInfo& KelmiraTypeLibrary() { return kKelmiraTypeLibrary; }
