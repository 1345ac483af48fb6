// Object bases: reference counting, QueryInterface from an interface table, aggregation, the
// module lock count and a standard class factory.
//
// A class lists the interfaces it answers to and implements none of the IUnknown methods:
//
//   class LineData : public ILineData {
//    public:
//     using Interfaces = kelmira::InterfaceTable<ILineData, kelmira::Via<IDispatch, ILineData>>;
//     ...
//   };
//   kelmira::ComPtr<ILineData> p;
//   kelmira::Object<LineData>::Create(nullptr, IID_ILineData, (void**)&p);
//
// `Object<T>` supplies IUnknown. Plain, it counts its own references. Aggregated (made with an
// outer object), every interface's IUnknown methods delegate to the outer object and a separate
// non-delegating IUnknown controls the inner object's life; that inner IUnknown is what
// CreateInstance hands back to the outer object.
//
// Optional members of T, found by name:
//   HRESULT FinalConstruct();                      // second-phase construction; failure ends creation
//   HRESULT QueryInterfaceExtra(REFIID, void**);   // interfaces not in the table (tear-offs, inner objects)
//   static constexpr bool kAggregatable = false;   // refuse outer objects (CLASS_E_NOAGGREGATION)
//   void SetControllingUnknown(IUnknown*);         // learns the controlling IUnknown after construction
//
// Every live object holds one lock on the module that compiled it (`ModuleLockCount`): the
// count is per binary because the function has hidden visibility.
#pragma once

#include <kelmira/platform/com_ptr.h>
#include <kelmira/platform/guarded.h>
#include <kelmira/platform/unknwn.h>

#include <atomic>

namespace kelmira {

// Objects alive plus LockServer locks of this binary.
[[gnu::visibility("hidden")]] inline std::atomic<LONG>& ModuleLockCount() {
  static std::atomic<LONG> count{0};
  return count;
}
[[gnu::visibility("hidden")]] inline void ModuleLock() { ModuleLockCount().fetch_add(1, std::memory_order_relaxed); }
[[gnu::visibility("hidden")]] inline void ModuleUnlock() { ModuleLockCount().fetch_sub(1, std::memory_order_acq_rel); }

// Interface I reached through the base class Via (for interfaces that appear more than once in
// the inheritance graph, such as IDispatch and IUnknown).
template <class I, class Path>
struct Via {};

template <class... Entries>
struct InterfaceTable {};

namespace detail {

template <class E>
struct EntryTraits {
  using Interface = E;
  using Path = E;
};
template <class I, class P>
struct EntryTraits<Via<I, P>> {
  using Interface = I;
  using Path = P;
};

template <class Self, class First, class... Rest>
IUnknown* IdentityOf(Self* self, InterfaceTable<First, Rest...>*) {
  using P = typename EntryTraits<First>::Path;
  return static_cast<IUnknown*>(static_cast<P*>(self));
}

template <class Self, class... Entries>
void* FindInterface(Self* self, REFIID iid, InterfaceTable<Entries...>*) {
  void* found = nullptr;
  (void)((IsEqualIID(iid, __uuidof(typename EntryTraits<Entries>::Interface))
              ? (found = static_cast<typename EntryTraits<Entries>::Interface*>(
                     static_cast<typename EntryTraits<Entries>::Path*>(self)),
                 true)
              : false) ||
         ...);
  return found;
}

}  // namespace detail

template <class T>
class Object final : public T {
 public:
  template <class... A>
  explicit Object(IUnknown* outer, A&&... args) : T(std::forward<A>(args)...), outer_(outer), inner_(this) {
    ModuleLock();
  }
  ~Object() { ModuleUnlock(); }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // The standard creation path of a class factory (named so that it cannot collide with an
  // interface method such as IClassFactory::CreateInstance).
  static HRESULT Create(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && (!Aggregatable() || !IsEqualIID(riid, IID_IUnknown))) return CLASS_E_NOAGGREGATION;
    Object* obj = nullptr;
    if (HRESULT hr = Guarded([&] { obj = new Object(outer); }); FAILED(hr)) return hr;
    return obj->Finish(riid, ppv);
  }

  // Creation from C++ with constructor arguments; plain (not aggregated). *out receives a
  // reference of its own (pass &comPtr).
  template <class... A>
  static HRESULT Make(Object** out, A&&... args) {
    if (!out) return E_POINTER;
    *out = nullptr;
    Object* obj = nullptr;
    if (HRESULT hr = Guarded([&] { obj = new Object(nullptr, std::forward<A>(args)...); }); FAILED(hr)) return hr;
    obj->InnerAddRef();  // keeps the object alive through FinalConstruct; then it is the caller's
    HRESULT hr = obj->RunFinalConstruct();
    if (FAILED(hr)) {
      obj->InnerRelease();
      return hr;
    }
    *out = obj;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return outer_ ? outer_->QueryInterface(riid, ppv) : InnerQueryInterface(riid, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return outer_ ? outer_->AddRef() : InnerAddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return outer_ ? outer_->Release() : InnerRelease(); }

  // The object's own IUnknown: the non-delegating one when aggregated.
  IUnknown* GetUnknown() {
    return outer_ ? static_cast<IUnknown*>(&inner_) : detail::IdentityOf(static_cast<T*>(this), Table());
  }
  IUnknown* GetControllingUnknown() { return outer_ ? outer_ : GetUnknown(); }

 private:
  using TableType = typename T::Interfaces;
  static TableType* Table() { return nullptr; }

  static constexpr bool Aggregatable() {
    if constexpr (requires { T::kAggregatable; })
      return T::kAggregatable;
    else
      return true;
  }

  HRESULT RunFinalConstruct() {
    // clang-format off
    if constexpr (requires(T& t) { t.SetControllingUnknown(static_cast<IUnknown*>(nullptr)); })
      T::SetControllingUnknown(GetControllingUnknown());
    // clang-format on
    // clang-format off
    if constexpr (requires(T& t) { t.FinalConstruct(); })
      return Guarded([this]() -> HRESULT { return T::FinalConstruct(); });
    else
      return S_OK;
    // clang-format on
  }

  HRESULT Finish(REFIID riid, void** ppv) {
    InnerAddRef();  // keeps the object alive through FinalConstruct
    HRESULT hr = RunFinalConstruct();
    if (SUCCEEDED(hr)) hr = InnerQueryInterface(riid, ppv);
    InnerRelease();
    return hr;
  }

  HRESULT InnerQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown)) {
      IUnknown* unk = GetUnknown();
      unk->AddRef();
      *ppv = unk;
      return S_OK;
    }
    if (void* p = detail::FindInterface(static_cast<T*>(this), riid, Table())) {
      AddRef();
      *ppv = p;
      return S_OK;
    }
    // clang-format off
    if constexpr (requires(T& t, void** pp) { t.QueryInterfaceExtra(riid, pp); })
      return T::QueryInterfaceExtra(riid, ppv);
    // clang-format on
    return E_NOINTERFACE;
  }
  ULONG InnerAddRef() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  ULONG InnerRelease() {
    ULONG n = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n == 0) delete this;
    return n;
  }

  // The non-delegating IUnknown of an aggregated object.
  struct Inner final : IUnknown {
    explicit Inner(Object* o) : self(o) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
      return self->InnerQueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return self->InnerAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return self->InnerRelease(); }
    Object* self;
  };

  IUnknown* outer_;
  Inner inner_;
  std::atomic<ULONG> refs_{0};
};

// A class factory with static lifetime: its references do not keep the module loaded (only
// LockServer does), so DllCanUnloadNow answers for objects and locks alone.
class ClassFactory final : public IClassFactory {
 public:
  using CreateFn = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);
  constexpr explicit ClassFactory(CreateFn create) : create_(create) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 2; }
  ULONG STDMETHODCALLTYPE Release() override { return refs_.fetch_sub(1, std::memory_order_acq_rel); }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    return create_(outer, riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock)
      ModuleLock();
    else
      ModuleUnlock();
    return S_OK;
  }

 private:
  CreateFn create_;
  std::atomic<LONG> refs_{0};
};

}  // namespace kelmira
