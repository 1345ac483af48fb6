#include "module/module_path.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

namespace kelmira::module {

std::string ModulePath() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ModulePath), &info) || !info.dli_fname) return {};
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

}  // namespace kelmira::module
