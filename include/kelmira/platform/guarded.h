// The error boundary of an entry point. Nothing thrown inside the library may leave it through a
// public call: an entry point runs its body through Guarded, which turns an escaping exception
// into the result its caller understands.
//
//   return Guarded([&] { ...; return S_OK; });              // HRESULT entry points
//   return Guarded([&] { ... }, STG_E_INSUFFICIENTMEMORY);  // storages name memory their own way
//   return GuardedOr(FALSE, [&] { ...; return TRUE; });     // BOOL, handle and count entry points
//
// std::bad_alloc and std::length_error (a container asked for more than it can hold) mean the
// memory ran out; any other exception is a fault the entry point did not expect (E_UNEXPECTED).
// GuardedOr records the reason as the thread's last error. A body returning void gives S_OK.
#pragma once

#include <kelmira/platform/oleauto.h>
#include <kelmira/platform/types.h>

#include <new>
#include <stdexcept>
#include <type_traits>

namespace kelmira {

template <class F>
HRESULT Guarded(F&& body, HRESULT outOfMemory = E_OUTOFMEMORY) noexcept {
  try {
    if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
      body();
      return S_OK;
    } else {
      return body();
    }
  } catch (const std::bad_alloc&) {
    return outOfMemory;
  } catch (const std::length_error&) {
    return outOfMemory;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

template <class R, class F>
R GuardedOr(R failed, F&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  } catch (const std::length_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  } catch (...) {
    SetLastError(ERROR_INTERNAL_ERROR);
  }
  return failed;
}

}  // namespace kelmira
