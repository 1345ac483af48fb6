// Object bases: interface tables, reference counting, aggregation and the module lock count.
#include "support/sample_objects.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kelmira::ComPtr;
using kelmira::ModuleLockCount;
using kelmira::Object;
using namespace kelmira::test;

ULONG RefCount(IUnknown* p) {
  p->AddRef();
  return p->Release();
}

TEST(Object, AnswersTableInterfacesWithOneIdentityAggregatesAndComesFromFactoriesAndMake) {
  gPairsDestroyed = 0;
  const LONG locks = ModuleLockCount();
  void* p = reinterpret_cast<void*>(1);
  {
    ComPtr<IAlpha> alpha;
    ASSERT_EQ(Object<Pair>::Create(nullptr, IID_IAlpha, reinterpret_cast<void**>(&alpha)), S_OK);
    EXPECT_EQ(std::pair(LONG(ModuleLockCount()), RefCount(alpha.get())), std::pair(locks + 1, 1u));
    ComPtr<IBeta> beta = alpha.As<IBeta>();
    ASSERT_TRUE(beta);
    EXPECT_EQ(std::pair(beta->Beta(), RefCount(alpha.get())), std::pair(2, 2u));
    EXPECT_EQ(alpha.As<IUnknown>().get(), beta.As<IUnknown>().get());
    EXPECT_EQ(alpha->QueryInterface(IID_IGamma, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(alpha->QueryInterface(IID_IAlpha, nullptr), E_POINTER);
  }
  EXPECT_EQ(std::pair(gPairsDestroyed, LONG(ModuleLockCount())), std::pair(1, locks));

  // A failed FinalConstruct leaves no object and no lock behind.
  p = reinterpret_cast<void*>(1);
  EXPECT_EQ(Object<Refusing>::Create(nullptr, IID_IAlpha, &p), E_ACCESSDENIED);
  EXPECT_EQ(std::pair(p, LONG(ModuleLockCount())), std::pair(static_cast<void*>(nullptr), locks));

  // Aggregated, the inner object's interfaces delegate to the outer object.
  {
    ComPtr<IGamma> gamma;
    ASSERT_EQ(Object<Outer>::Create(nullptr, IID_IGamma, reinterpret_cast<void**>(&gamma)), S_OK);
    ComPtr<IAlpha> alpha = gamma.As<IAlpha>();
    ASSERT_TRUE(alpha);
    // Identity is the outer object's, and the inner interfaces reach back to IGamma.
    EXPECT_EQ(std::pair(alpha->Alpha(), alpha.As<IUnknown>().get()), std::pair(1, gamma.As<IUnknown>().get()));
    EXPECT_TRUE(alpha.As<IGamma>());
    // References on the inner interfaces count on the outer object.
    const ULONG before = RefCount(gamma.get());
    alpha->AddRef();
    EXPECT_EQ(RefCount(gamma.get()), before + 1);
    alpha->Release();
    EXPECT_EQ(ModuleLockCount(), locks + 2);

    // An outer object may only ask for the inner IUnknown, and only of classes that allow it.
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ((std::vector<LONG>{Object<Pair>::Create(gamma.get(), IID_IAlpha, &p),
                                 Object<Refusing>::Create(gamma.get(), IID_IUnknown, &p)}),
              std::vector<LONG>(2, CLASS_E_NOAGGREGATION));
    EXPECT_EQ(p, nullptr);
  }
  EXPECT_EQ(std::pair(gPairsDestroyed, LONG(ModuleLockCount())), std::pair(2, locks));

  // A class factory locks the module and creates; Make passes constructor arguments.
  kelmira::ClassFactory factory(&Object<Pair>::Create);
  ComPtr<IBeta> beta;
  ComPtr<IClassFactory> again;
  EXPECT_EQ((std::vector<LONG>{factory.LockServer(TRUE), ModuleLockCount() - locks, factory.LockServer(FALSE),
                               ModuleLockCount() - locks,
                               factory.CreateInstance(nullptr, IID_IBeta, reinterpret_cast<void**>(&beta)),
                               factory.QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&again))}),
            (std::vector<LONG>{S_OK, 1, S_OK, 0, S_OK, S_OK}));
  EXPECT_EQ(beta->Beta(), 2);

  ComPtr<Object<Pair>> made;
  ASSERT_EQ(Object<Pair>::Make(&made, 42), S_OK);
  EXPECT_EQ(std::pair(made->Alpha(), RefCount(static_cast<IAlpha*>(made.get()))), std::pair(42, 1u));
}

}  // namespace
