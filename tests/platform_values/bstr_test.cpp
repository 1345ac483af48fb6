// BSTR layout, embedded NULs, zero-filled allocation, reallocation and length limits.
#include "support/variant_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using kelmira::Bstr;
using namespace kelmira::test;

TEST(Bstr, LayoutZeroFillLengthLimitsAndReallocation) {
  // A byte count before the characters, and a terminator after them.
  Bstr s(u"abc");
  UINT prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(s.get()) - sizeof prefix, sizeof prefix);
  EXPECT_EQ(std::tuple(s.length(), prefix, s.get()[3]), std::tuple(3u, 6u, u'\0'));

  // Embedded NULs and odd byte lengths survive copies.
  const std::u16string nuls(u"a\0b\0", 4);
  const Bstr withNuls = Bstr::Attach(SysAllocStringLen(nuls.data(), 4)), copy(withNuls);
  EXPECT_EQ(TextOf(copy.get()) + To(VT_BSTR, Str(nuls)), nuls + nuls);
  Variant odd, w;
  odd.vt = VT_BSTR, odd.bstrVal = SysAllocStringByteLen("abc", 3);
  ASSERT_EQ(VariantCopy(&w, &odd), S_OK);
  EXPECT_EQ(std::pair(SysStringByteLen(w.bstrVal), SysStringLen(w.bstrVal)), std::pair(3u, 1u));
  EXPECT_EQ(std::memcmp(w.bstrVal, "abc\0\0", 5), 0);

  // Without a source the content is zero; a null string has no length.
  auto zeroed = Bstr::Attach(SysAllocStringLen(nullptr, 5));
  ASSERT_TRUE(zeroed);
  EXPECT_EQ(TextOf(zeroed.get()) + zeroed.get()[5], std::u16string(6, u'\0'));
  EXPECT_TRUE(Bstr::Attach(SysAllocStringLen(nullptr, 0)));
  EXPECT_EQ(SysStringLen(nullptr) + SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
  // Lengths whose bytes do not fit give null.
  EXPECT_EQ(
      (std::vector<BSTR>{SysAllocString(nullptr), SysAllocStringLen(nullptr, 0x40000000u),
                         SysAllocStringLen(nullptr, 0x80000001u), SysAllocStringLen(u"x", 0xFFFFFFFFu),
                         SysAllocStringByteLen(nullptr, 0x7FFFFFFFu), SysAllocStringByteLen(nullptr, 0xFFFFFFFFu)}),
      std::vector<BSTR>(6));

  // Reallocation copies before freeing.
  BSTR r = SysAllocString(u"hello world"), none = nullptr;
  auto after = [&](INT ok) { return (ok ? u"" : u"failed ") + TextOf(r); };
  // The new content comes from inside the old string.
  EXPECT_EQ(after(SysReAllocString(&r, r + 6)), u"world");
  EXPECT_EQ(after(SysReAllocStringLen(&r, r + 1, 3)), u"orl");
  // No source: the old content is kept as far as it fits and the rest is zero.
  EXPECT_EQ(after(SysReAllocStringLen(&r, nullptr, 5)), std::u16string(u"orl\0\0", 5));
  EXPECT_EQ(after(SysReAllocStringLen(&r, nullptr, 2)), u"or");
  EXPECT_EQ(after(SysReAllocStringLen(&r, nullptr, 0x80000000u)), u"failed or");
  EXPECT_EQ(after(SysReAllocString(&r, nullptr)) + (r ? u"" : u"null"), u"");
  SysFreeString(r);

  ASSERT_TRUE(SysReAllocString(&none, u"new"));
  EXPECT_EQ(TextOf(none), u"new");
  SysFreeString(none);
  EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
}

}  // namespace
