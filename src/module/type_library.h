// The module's type library: published to the dispatch machinery while the module is loaded,
// and recorded in the registry by DllRegisterServer.
#pragma once

#include <kelmira/kelmira.h>

#include <string>

namespace kelmira::module {

void PublishTypeLibrary();
void WithdrawTypeLibrary();
HRESULT RegisterModuleTypeLibrary(const std::string& modulePath);
HRESULT UnregisterModuleTypeLibrary();

}  // namespace kelmira::module
