// Creates a class of the library by its identifier, asking for interface I; the test fails when it
// cannot.
#pragma once

#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

namespace kelmira::test {

template <class I>
ComPtr<I> Create(REFCLSID clsid, IUnknown* outer = nullptr) {
  ComPtr<I> object;
  EXPECT_EQ(CoCreateInstance(clsid, outer, CLSCTX_INPROC_SERVER, __uuidof(I), reinterpret_cast<void**>(&object)), S_OK);
  return object;
}

}  // namespace kelmira::test
