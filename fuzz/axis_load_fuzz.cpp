// Loads an axis's property map (the first byte picks the X or the Y axis) from arbitrary bytes.
#include "fuzz_persist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelmira::fuzz::FuzzInput input(data, size);
  const bool y = input.Pick(2);
  kelmira::fuzz::FuzzLoadSaveDraw(y ? CLSID_YAxis : CLSID_XAxis, input.Rest(),
                                  kelmira::fuzz::FailedLoad::RestoresFields);
  return 0;
}
