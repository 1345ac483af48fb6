// Reads a property through its get method; the test fails when the call does.
#pragma once

#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

namespace kelmira::test {

template <class O, class I, class T>
T Get(O* object, HRESULT (STDMETHODCALLTYPE I::*get)(T*)) {
  T value{};
  EXPECT_EQ((object->*get)(&value), S_OK);
  return value;
}

}  // namespace kelmira::test
