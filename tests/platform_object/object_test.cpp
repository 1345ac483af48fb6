// Object bases: interface tables, reference counting, aggregation and the module lock count.
#include "support/sample_objects.h"

#include <gtest/gtest.h>

namespace {

using kelmira::ComPtr;
using kelmira::ModuleLockCount;
using kelmira::Object;
using namespace kelmira::test;

ULONG RefCount(IUnknown* p) {
  p->AddRef();
  return p->Release();
}

TEST(Object, AnswersTableInterfacesWithOneIdentity) {
  gPairsDestroyed = 0;
  const LONG locks = ModuleLockCount();
  {
    ComPtr<IAlpha> alpha;
    ASSERT_EQ(Object<Pair>::Create(nullptr, IID_IAlpha, reinterpret_cast<void**>(&alpha)), S_OK);
    EXPECT_EQ(ModuleLockCount(), locks + 1);
    EXPECT_EQ(RefCount(alpha.get()), 1u);
    ComPtr<IBeta> beta = alpha.As<IBeta>();
    ASSERT_TRUE(beta);
    EXPECT_EQ(beta->Beta(), 2);
    EXPECT_EQ(RefCount(alpha.get()), 2u);
    EXPECT_EQ(alpha.As<IUnknown>().get(), beta.As<IUnknown>().get());

    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(alpha->QueryInterface(IID_IGamma, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(alpha->QueryInterface(IID_IAlpha, nullptr), E_POINTER);
  }
  EXPECT_EQ(gPairsDestroyed, 1);
  EXPECT_EQ(ModuleLockCount(), locks);

  // A failed FinalConstruct leaves no object and no lock behind.
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(Object<Failing>::Create(nullptr, IID_IAlpha, &p), E_ACCESSDENIED);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(ModuleLockCount(), locks);
}

TEST(Object, AggregatedInterfacesDelegateToTheOuterObject) {
  gPairsDestroyed = 0;
  const LONG locks = ModuleLockCount();
  {
    ComPtr<IGamma> gamma;
    ASSERT_EQ(Object<Outer>::Create(nullptr, IID_IGamma, reinterpret_cast<void**>(&gamma)), S_OK);
    ComPtr<IAlpha> alpha = gamma.As<IAlpha>();
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->Alpha(), 1);
    // Identity is the outer object's, and the inner interfaces reach back to IGamma.
    EXPECT_EQ(alpha.As<IUnknown>().get(), gamma.As<IUnknown>().get());
    EXPECT_TRUE(alpha.As<IGamma>());
    // References on the inner interfaces count on the outer object.
    const ULONG before = RefCount(gamma.get());
    alpha->AddRef();
    EXPECT_EQ(RefCount(gamma.get()), before + 1);
    alpha->Release();
    EXPECT_EQ(ModuleLockCount(), locks + 2);

    // An outer object may only ask for the inner IUnknown, and only of classes that allow it.
    void* p = nullptr;
    EXPECT_EQ(Object<Pair>::Create(gamma.get(), IID_IAlpha, &p), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(Object<Solitary>::Create(gamma.get(), IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(p, nullptr);
  }
  EXPECT_EQ(gPairsDestroyed, 1);
  EXPECT_EQ(ModuleLockCount(), locks);
}

TEST(Object, ClassFactoryLocksAndCreatesAndMakePassesArguments) {
  kelmira::ClassFactory factory(&Object<Pair>::Create);
  const LONG locks = ModuleLockCount();
  EXPECT_EQ(factory.LockServer(TRUE), S_OK);
  EXPECT_EQ(ModuleLockCount(), locks + 1);
  EXPECT_EQ(factory.LockServer(FALSE), S_OK);
  EXPECT_EQ(ModuleLockCount(), locks);
  ComPtr<IBeta> beta;
  EXPECT_EQ(factory.CreateInstance(nullptr, IID_IBeta, reinterpret_cast<void**>(&beta)), S_OK);
  EXPECT_EQ(beta->Beta(), 2);
  ComPtr<IClassFactory> again;
  EXPECT_EQ(factory.QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&again)), S_OK);

  ComPtr<Object<Pair>> made;
  ASSERT_EQ(Object<Pair>::Make(&made, 42), S_OK);
  EXPECT_EQ(made->Alpha(), 42);
  EXPECT_EQ(RefCount(static_cast<IAlpha*>(made.get())), 1u);
}

}  // namespace
