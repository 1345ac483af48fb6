// ComPtr: one counted reference, released when the holder goes.
#pragma once

#include <kelmira/platform/unknwn.h>

#include <utility>

namespace kelmira {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Adds a reference of its own.
  ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference the caller already owns.
  static ComPtr Attach(T* p) {
    ComPtr c;
    c.p_ = p;
    return c;
  }
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Out-argument slot: releases what was held.
  T** operator&() {
    Reset();
    return &p_;
  }
  T** ReleaseAndGetAddressOf() { return &*this; }

  // Hands the caller a new reference through an out-argument.
  HRESULT CopyTo(T** out) const {
    if (!out) return E_POINTER;
    *out = p_;
    if (p_) p_->AddRef();
    return S_OK;
  }
  template <class Q>
  HRESULT As(ComPtr<Q>* out) const {
    if (!p_) return E_POINTER;
    return p_->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(&*out));
  }
  template <class Q>
  ComPtr<Q> As() const {
    ComPtr<Q> q;
    if (p_) p_->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(&q));
    return q;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace kelmira
