// Object bases: interface tables, reference counting, aggregation and the module lock count.
#include <kelmira/platform.h>

#include <gtest/gtest.h>

using kelmira::ComPtr;
using kelmira::Object;

struct IAlpha : IUnknown {
  virtual int STDMETHODCALLTYPE Alpha() = 0;
};
KELMIRA_DEFINE_IID(IAlpha, 0x1d0c2a10, 0x51e4, 0x4f3c, 0x9b, 0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x01);
struct IBeta : IUnknown {
  virtual int STDMETHODCALLTYPE Beta() = 0;
};
KELMIRA_DEFINE_IID(IBeta, 0x1d0c2a10, 0x51e4, 0x4f3c, 0x9b, 0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x02);
struct IGamma : IUnknown {};
KELMIRA_DEFINE_IID(IGamma, 0x1d0c2a10, 0x51e4, 0x4f3c, 0x9b, 0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x03);

int gDestroyed = 0;

class Pair : public IAlpha, public IBeta {
 public:
  using Interfaces = kelmira::InterfaceTable<IAlpha, IBeta>;
  ~Pair() { ++gDestroyed; }
  int STDMETHODCALLTYPE Alpha() override { return 1; }
  int STDMETHODCALLTYPE Beta() override { return 2; }
};

class Failing : public IAlpha {
 public:
  using Interfaces = kelmira::InterfaceTable<IAlpha>;
  HRESULT FinalConstruct() { return E_ACCESSDENIED; }
  int STDMETHODCALLTYPE Alpha() override { return 0; }
};

class Solitary : public IAlpha {
 public:
  using Interfaces = kelmira::InterfaceTable<IAlpha>;
  static constexpr bool kAggregatable = false;
  int STDMETHODCALLTYPE Alpha() override { return 3; }
};

// A minimal outer object that aggregates a Pair and forwards IAlpha/IBeta queries to it.
class Outer : public IGamma {
 public:
  using Interfaces = kelmira::InterfaceTable<IGamma>;
  HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) { return inner->QueryInterface(riid, ppv); }
  void SetControllingUnknown(IUnknown* unk) { controlling = unk; }
  HRESULT FinalConstruct() { return Object<Pair>::Create(controlling, IID_IUnknown, reinterpret_cast<void**>(&inner)); }
  IUnknown* controlling = nullptr;
  ComPtr<IUnknown> inner;
};

ULONG RefCount(IUnknown* p) {
  p->AddRef();
  return p->Release();
}

TEST(ObjectTest, AnswersTableInterfacesWithOneIdentity) {
  gDestroyed = 0;
  const LONG locksBefore = kelmira::ModuleLockCount();
  {
    ComPtr<IAlpha> alpha;
    ASSERT_EQ(Object<Pair>::Create(nullptr, IID_IAlpha, reinterpret_cast<void**>(&alpha)), S_OK);
    EXPECT_EQ(kelmira::ModuleLockCount(), locksBefore + 1);
    EXPECT_EQ(RefCount(alpha.get()), 1u);

    ComPtr<IBeta> beta = alpha.As<IBeta>();
    ASSERT_TRUE(beta);
    EXPECT_EQ(beta->Beta(), 2);
    EXPECT_EQ(RefCount(alpha.get()), 2u);

    ComPtr<IUnknown> u1 = alpha.As<IUnknown>(), u2 = beta.As<IUnknown>();
    EXPECT_EQ(u1.get(), u2.get());

    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(alpha->QueryInterface(IID_IGamma, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(alpha->QueryInterface(IID_IAlpha, nullptr), E_POINTER);
  }
  EXPECT_EQ(gDestroyed, 1);
  EXPECT_EQ(kelmira::ModuleLockCount(), locksBefore);
}

TEST(ObjectTest, FailedFinalConstructLeavesNothingBehind) {
  const LONG locksBefore = kelmira::ModuleLockCount();
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(Object<Failing>::Create(nullptr, IID_IAlpha, &p), E_ACCESSDENIED);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(kelmira::ModuleLockCount(), locksBefore);
}

TEST(ObjectTest, AggregationRules) {
  ComPtr<IUnknown> outer;
  ASSERT_EQ(Object<Outer>::Create(nullptr, IID_IUnknown, reinterpret_cast<void**>(&outer)), S_OK);

  void* p = nullptr;
  // An outer object may only ask for the inner IUnknown.
  EXPECT_EQ(Object<Pair>::Create(outer.get(), IID_IAlpha, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(Object<Solitary>::Create(outer.get(), IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(p, nullptr);
}

TEST(ObjectTest, AggregatedInterfacesDelegateToTheOuterObject) {
  gDestroyed = 0;
  const LONG locksBefore = kelmira::ModuleLockCount();
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
    EXPECT_EQ(kelmira::ModuleLockCount(), locksBefore + 2);
  }
  EXPECT_EQ(gDestroyed, 1);
  EXPECT_EQ(kelmira::ModuleLockCount(), locksBefore);
}

TEST(ObjectTest, ClassFactoryCreatesAndLocks) {
  kelmira::ClassFactory factory(&Object<Pair>::Create);
  const LONG locksBefore = kelmira::ModuleLockCount();
  EXPECT_EQ(factory.LockServer(TRUE), S_OK);
  EXPECT_EQ(kelmira::ModuleLockCount(), locksBefore + 1);
  EXPECT_EQ(factory.LockServer(FALSE), S_OK);
  EXPECT_EQ(kelmira::ModuleLockCount(), locksBefore);

  ComPtr<IBeta> beta;
  EXPECT_EQ(factory.CreateInstance(nullptr, IID_IBeta, reinterpret_cast<void**>(&beta)), S_OK);
  EXPECT_EQ(beta->Beta(), 2);
  ComPtr<IClassFactory> again;
  EXPECT_EQ(factory.QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&again)), S_OK);
}

TEST(ObjectTest, MakePassesConstructorArguments) {
  struct Valued : IAlpha {
    using Interfaces = kelmira::InterfaceTable<IAlpha>;
    explicit Valued(int v) : value(v) {}
    int STDMETHODCALLTYPE Alpha() override { return value; }
    int value;
  };
  ComPtr<Object<Valued>> obj;
  ASSERT_EQ(Object<Valued>::Make(&obj, 42), S_OK);
  EXPECT_EQ(obj->Alpha(), 42);
  EXPECT_EQ(RefCount(obj.get()), 1u);
}
