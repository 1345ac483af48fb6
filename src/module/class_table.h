// The module's class table: the creatable classes in their fixed order, with the identities and
// registration details each one needs. The declared-only classes of the type library are not
// here, so asking for their class objects fails.
#pragma once

#include <kelmira/kelmira.h>

#include <span>
#include <string_view>

namespace kelmira::module {

struct ClassEntry {
  std::string_view name;      // class name in the type library
  std::string_view progName;  // ProgIDs are Kelmira.<progName> and Kelmira.<progName>.1
  const CLSID* clsid;
  bool control;                   // registered with the control keys
  bool aggregatable;              // accepts an outer object
  int registryScript;             // resource number of its registration script
  int toolboxBitmap;              // resource number of its toolbox bitmap (controls only)
  ClassFactory::CreateFn create;  // the factory's creation function
};

std::span<const ClassEntry> ClassTable();
const ClassEntry* FindClass(REFCLSID clsid);
// The class factory of a table entry; static, shared by every apartment.
IClassFactory* FactoryOf(const ClassEntry& entry);

}  // namespace kelmira::module
