// Failing a drawing call: set the thread's last error and return the call's failure value.
#pragma once

#include <kelmira/platform/oleauto.h>

namespace kelmira::gdi {

template <class T>
T Fail(DWORD error, T failureValue) {
  SetLastError(error);
  return failureValue;
}

}  // namespace kelmira::gdi
