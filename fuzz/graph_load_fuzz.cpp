// Loads the line graph's stream (its parts and their settings) from arbitrary bytes; a failed
// load keeps what the parts read before the failure, as the graph documents.
#include "fuzz_persist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelmira::fuzz::FuzzLoadSaveDraw(CLSID_LineGraph, {reinterpret_cast<const char*>(data), size},
                                  kelmira::fuzz::FailedLoad::KeepsReadFields);
  return 0;
}
