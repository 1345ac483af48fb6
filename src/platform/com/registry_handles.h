// Open registry keys: HKEY values are small integers from a table that records which key each
// names (its root and path), so a handle stays meaningful when the file is re-read.
#pragma once

#include "com/registry_tree.h"

namespace kelmira::registry {

struct KeyRef {
  Root root = Root::ClassesRoot;
  std::vector<std::string> path;
  REGSAM access = KEY_ALL_ACCESS;
};

// The predefined roots or an open handle; ERROR_INVALID_HANDLE for anything else.
LONG ResolveHandle(HKEY key, KeyRef* out);
LONG OpenHandle(KeyRef ref, HKEY* out);
LONG CloseHandle(HKEY key);

}  // namespace kelmira::registry
