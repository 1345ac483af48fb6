// Loads the line graph's stream (its parts and their settings) from arbitrary bytes; a failed
// load keeps what the parts read before the failure, as the graph documents.
#include "support/fuzz_persist.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kelmira::test::FuzzSetup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelmira::test::FuzzLoadSaveDraw(CLSID_LineGraph, {reinterpret_cast<const char*>(data), size},
                                  kelmira::test::FailedLoad::KeepsReadFields);
  return 0;
}
