// BSTR: a 32-bit byte length, the characters, then a NUL character; the pointer handed out points
// at the first character.
#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Keeps every length representable as a positive int for the conversion functions.
constexpr UINT kMaxByteLength = 0x7FFFFFFE;

std::byte* BlockOf(BSTR s) { return reinterpret_cast<std::byte*>(s) - sizeof(UINT); }

UINT ByteLengthOf(BSTR s) {
  UINT len;
  std::memcpy(&len, BlockOf(s), sizeof len);
  return len;
}

// A new string of byteLen bytes, zero-filled, with its terminator in place.
BSTR AllocateZeroed(UINT byteLen) {
  if (byteLen > kMaxByteLength) return nullptr;
  // Round odd lengths up so the terminator is a whole, aligned character.
  const std::size_t padded = (static_cast<std::size_t>(byteLen) + 1) & ~std::size_t{1};
  const std::size_t total = sizeof(UINT) + padded + sizeof(OLECHAR);
  auto* block = static_cast<std::byte*>(std::calloc(1, total));
  if (!block) return nullptr;
  std::memcpy(block, &byteLen, sizeof byteLen);
  return reinterpret_cast<BSTR>(block + sizeof(UINT));
}

BSTR AllocateCopy(const void* src, UINT byteLen) {
  BSTR s = AllocateZeroed(byteLen);
  if (s && src && byteLen) std::memcpy(s, src, byteLen);
  return s;
}

UINT StringLength(const OLECHAR* psz) {
  std::size_t n = 0;
  while (psz[n]) ++n;
  return n > kMaxByteLength / sizeof(OLECHAR) ? UINT(-1) : static_cast<UINT>(n);
}

// Byte length for cch characters; UINT(-1) (never a valid length) when it does not fit.
UINT CharsToBytes(UINT cch) { return cch > kMaxByteLength / sizeof(OLECHAR) ? UINT(-1) : cch * UINT(sizeof(OLECHAR)); }

}  // namespace

BSTR SysAllocString(const OLECHAR* psz) {
  if (!psz) return nullptr;
  return AllocateCopy(psz, CharsToBytes(StringLength(psz)));
}

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) { return AllocateCopy(pch, CharsToBytes(cch)); }

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) { return AllocateCopy(psz, len); }

INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len) {
  if (!pbstr) return FALSE;
  const BSTR old = *pbstr;
  BSTR fresh = AllocateZeroed(CharsToBytes(len));
  if (!fresh) return FALSE;
  if (psz) {
    std::memcpy(fresh, psz, std::size_t{len} * sizeof(OLECHAR));
  } else if (old) {
    std::memcpy(fresh, old, std::min(ByteLengthOf(old), len * UINT(sizeof(OLECHAR))));
  }
  SysFreeString(old);
  *pbstr = fresh;
  return TRUE;
}

INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
  const UINT len = psz ? StringLength(psz) : 0;
  return SysReAllocStringLen(pbstr, psz, len);
}

void SysFreeString(BSTR bstr) {
  if (bstr) std::free(BlockOf(bstr));
}

UINT SysStringByteLen(BSTR bstr) { return bstr ? ByteLengthOf(bstr) : 0; }

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }
