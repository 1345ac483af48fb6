#include "module/type_library.h"

namespace kelmira::module {

void PublishTypeLibrary() {}
void WithdrawTypeLibrary() {}
HRESULT RegisterModuleTypeLibrary(const std::string&) { return S_OK; }
HRESULT UnregisterModuleTypeLibrary() { return S_OK; }

}  // namespace kelmira::module
