// Loads the container's stream (its size and view) from arbitrary bytes; a failed load keeps
// the fields read before the failure, as the container documents.
#include "fuzz_persist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelmira::fuzz::FuzzLoadSaveDraw(CLSID_GraphicsContainer, {reinterpret_cast<const char*>(data), size},
                                  kelmira::fuzz::FailedLoad::KeepsReadFields);
  return 0;
}
