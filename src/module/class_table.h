// The module's class table: the creatable classes in their fixed order, each with its identity,
// the registration details it needs and its class factory. The declared-only classes of the type
// library are not here, so asking for their class objects fails.
#pragma once

#include <kelmira/kelmira.h>

#include <span>
#include <string_view>

namespace kelmira::module {

enum class ClassKind { Object, Control };  // controls get the keys a form designer looks for
// How the registration script describes the class.
enum class Registration {
  Standard,         // ProgIDs described as "<Name> Class"
  ProgIdDescribed,  // ProgIDs described by the version-independent ProgID itself
  PropertyPage,     // a plain in-process object with no ProgID back-references
};

struct ClassEntry {
  std::string_view name;      // class name in the type library
  std::string_view progName;  // ProgIDs are Kelmira.<progName> and Kelmira.<progName>.1
  const CLSID* clsid;
  ClassKind kind = ClassKind::Object;
  Registration registration = Registration::Standard;
  int registryScript;     // resource number of its registration script
  int toolboxBitmap = 0;  // resource number of its toolbox bitmap (controls only)
  // Static and shared by every apartment; its reference count changes, the entry does not.
  mutable ClassFactory factory;
};

std::span<const ClassEntry> ClassTable();
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace kelmira::module
