// Little-endian values and UTF-16 strings on streams, with short reads reported as
// STG_E_READFAULT and short writes as STG_E_MEDIUMFULL.
#pragma once

#include <kelmira/platform/objidl.h>

#include <cstddef>
#include <string>
#include <type_traits>

namespace kelmira::persist {

inline HRESULT ReadExact(IStream* stream, void* data, ULONG size) {
  if (size == 0) return S_OK;
  ULONG got = 0;
  HRESULT hr = stream->Read(data, size, &got);
  if (FAILED(hr)) return hr;
  return got == size ? S_OK : STG_E_READFAULT;
}

inline HRESULT WriteAll(IStream* stream, const void* data, ULONG size) {
  if (size == 0) return S_OK;
  ULONG put = 0;
  HRESULT hr = stream->Write(data, size, &put);
  if (FAILED(hr)) return hr;
  return put == size ? S_OK : STG_E_MEDIUMFULL;
}

// clang-format off
template <class T>
  requires std::is_integral_v<T>
HRESULT WriteLE(IStream* stream, T value) {
    // clang-format on
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    BYTE bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<BYTE>(bits >> (8 * i));
    return WriteAll(stream, bytes, sizeof(T));
  }

// clang-format off
template <class T>
  requires std::is_integral_v<T>
HRESULT ReadLE(IStream* stream, T* value) {
    // clang-format on
    BYTE bytes[sizeof(T)];
    HRESULT hr = ReadExact(stream, bytes, sizeof(T));
    if (FAILED(hr)) return hr;
    std::make_unsigned_t<T> bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
      bits |= static_cast<std::make_unsigned_t<T>>(static_cast<std::make_unsigned_t<T>>(bytes[i]) << (8 * i));
    *value = static_cast<T>(bits);
    return S_OK;
  }

inline HRESULT WriteUtf16(IStream* stream, const OLECHAR* text, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    HRESULT hr = WriteLE<std::uint16_t>(stream, static_cast<std::uint16_t>(text[i]));
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

// Reads `count` units in bounded chunks: a corrupt count fails at the end of the stream instead
// of allocating what the stream does not hold.
inline HRESULT ReadUtf16(IStream* stream, std::size_t count, std::u16string* text) {
  constexpr std::size_t kChunkUnits = 2048;
  BYTE chunk[kChunkUnits * 2];
  text->clear();
  while (count > 0) {
    std::size_t units = count < kChunkUnits ? count : kChunkUnits;
    HRESULT hr = ReadExact(stream, chunk, static_cast<ULONG>(units * 2));
    if (FAILED(hr)) return hr;
    for (std::size_t i = 0; i < units; ++i)
      text->push_back(static_cast<char16_t>(chunk[2 * i] | (chunk[2 * i + 1] << 8)));
    count -= units;
  }
  return S_OK;
}

}  // namespace kelmira::persist
