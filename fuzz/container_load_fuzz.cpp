// Loads the container's stream (layers, view, colours) from arbitrary bytes.
#include "support/fuzz_persist.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kelmira::test::FuzzSetup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelmira::test::FuzzLoadSaveDraw(CLSID_GraphicsContainer, {reinterpret_cast<const char*>(data), size});
  return 0;
}
