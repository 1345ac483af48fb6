// Registration scripts of the module's classes, in the registrar's script syntax. %MODULE% is
// left in the text for the registrar to replace with the module's path.
#pragma once

#include "module/class_table.h"

#include <string>

namespace kelmira::module {

std::string RegistryScript(const ClassEntry& entry);

}  // namespace kelmira::module
