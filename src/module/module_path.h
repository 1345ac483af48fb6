// The full path of this module's shared library, as the registry records it.
#pragma once

#include <string>

namespace kelmira::module {

std::string ModulePath();

}  // namespace kelmira::module
