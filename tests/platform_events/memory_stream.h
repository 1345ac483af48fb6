// A stream over a byte vector, so tests can save, inspect, cut and patch the bytes.
#pragma once

#include <kelmira/platform.h>

#include <algorithm>
#include <cstring>
#include <vector>

class TestStream : public IStream {
 public:
  using Interfaces = kelmira::InterfaceTable<IStream, kelmira::Via<ISequentialStream, IStream>>;
  explicit TestStream(std::vector<BYTE> bytes = {}) : bytes_(std::move(bytes)) {}

  static kelmira::ComPtr<IStream> Make(std::vector<BYTE> bytes = {}) {
    kelmira::ComPtr<kelmira::Object<TestStream>> s;
    kelmira::Object<TestStream>::Make(&s, std::move(bytes));
    return kelmira::ComPtr<IStream>(s.get());
  }
  static std::vector<BYTE> BytesOf(IStream* s) { return static_cast<TestStream*>(s)->bytes_; }
  static std::size_t PositionOf(IStream* s) { return static_cast<TestStream*>(s)->pos_; }

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    std::size_t n = std::min<std::size_t>(cb, bytes_.size() - pos_);
    if (n) std::memcpy(pv, bytes_.data() + pos_, n);
    pos_ += n;
    if (pcbRead) *pcbRead = static_cast<ULONG>(n);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pos_ + cb > bytes_.size()) bytes_.resize(pos_ + cb);
    if (cb) std::memcpy(bytes_.data() + pos_, pv, cb);
    pos_ += cb;
    if (pcbWritten) *pcbWritten = cb;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPos) override {
    LONGLONG base = origin == STREAM_SEEK_SET ? 0 : origin == STREAM_SEEK_CUR ? LONGLONG(pos_) : LONGLONG(bytes_.size());
    if (base + move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
    pos_ = static_cast<std::size_t>(base + move.QuadPart);
    if (newPos) newPos->QuadPart = pos_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
    bytes_.resize(size.QuadPart);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes_.size();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  std::vector<BYTE> bytes_;
  std::size_t pos_ = 0;
};
