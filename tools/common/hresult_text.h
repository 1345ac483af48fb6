// An HRESULT as the tools write it in messages: 0x8007000E.
#pragma once

#include <kelmira/platform/types.h>

#include <cstdio>
#include <string>

namespace kelmira::tools {

inline std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

}  // namespace kelmira::tools
