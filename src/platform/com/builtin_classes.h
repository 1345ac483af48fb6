// Classes the platform itself provides (the standard font), found by CoGetClassObject after the
// class objects registered in the process and before the registry, so hosts create them by
// CLSID with no registration.
#pragma once

#include <kelmira/platform/unknwn.h>

namespace kelmira {

// The class object of a built-in class, or null.
IClassFactory* FindBuiltInClass(REFCLSID clsid);

}  // namespace kelmira
