// The check every stream loader gets: a load that fails leaves a new object as it was made; one
// that succeeds gives an object that draws, and whose saved bytes load again into the same bytes.
#pragma once

#include "support/fuzz_host.h"

namespace kelmira::test {

inline void FuzzLoadSaveDraw(REFCLSID clsid, std::string_view bytes) {
  auto object = FuzzCreate<IPersistStreamInit>(clsid);
  FUZZ_CHECK(SUCCEEDED(object->InitNew()));
  const std::string fresh = FuzzSaved(object.get());
  if (FAILED(object->Load(FuzzStream(bytes).get()))) {
    FUZZ_CHECK(FuzzSaved(object.get()) == fresh);
    return;
  }
  FuzzSurface(160, 120).Draw(object.get());
  const std::string saved = FuzzSaved(object.get());
  auto again = FuzzCreate<IPersistStreamInit>(clsid);
  FUZZ_CHECK(SUCCEEDED(again->InitNew()));
  FUZZ_CHECK(SUCCEEDED(again->Load(FuzzStream(saved).get())));
  FUZZ_CHECK(FuzzSaved(again.get()) == saved);
}

}  // namespace kelmira::test
