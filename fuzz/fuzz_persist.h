// The check every stream loader gets: whatever the bytes, the object loaded from them (fully or,
// when the load fails part way, as far as it got) draws, and what it saves loads again into the
// same bytes (after at most one reload). Objects that put every field back after a failed load
// are checked for that too.
#pragma once

#include "fuzz_host.h"

namespace kelmira::fuzz {

enum class FailedLoad { KeepsReadFields, RestoresFields };

inline void FuzzLoadSaveDraw(REFCLSID clsid, std::string_view bytes, FailedLoad failed) {
  auto object = FuzzCreate<IPersistStreamInit>(clsid);
  FUZZ_CHECK(SUCCEEDED(object->InitNew()));
  const std::string fresh = FuzzSaved(object.get());
  if (FAILED(object->Load(FuzzStream(bytes).get())) && failed == FailedLoad::RestoresFields) {
    FUZZ_CHECK(FuzzSaved(object.get()) == fresh);
    return;
  }
  FuzzSurface(160, 120).Draw(object.get());
  // One reload may settle a value once (a new graph's tick length reaches its axes only when it
  // is loaded); from then on, what is saved loads back into the same bytes.
  std::string saved = FuzzSaved(object.get());
  for (int round = 0; round < 2; ++round) {
    FUZZ_CHECK(!saved.empty());
    auto again = FuzzCreate<IPersistStreamInit>(clsid);
    FUZZ_CHECK(SUCCEEDED(again->InitNew()));
    FUZZ_CHECK(SUCCEEDED(again->Load(FuzzStream(saved).get())));
    const std::string resaved = FuzzSaved(again.get());
    FUZZ_CHECK(round == 0 || resaved == saved);
    saved = resaved;
  }
}

}  // namespace kelmira::fuzz
