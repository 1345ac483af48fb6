// BSTR layout, embedded NULs, zero-filled allocation, reallocation and length limits.
#include "support/variant_values.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using kelmira::Bstr;
using namespace kelmira::test;

TEST(Bstr, LayoutZeroFillAndLengthLimits) {
  // A byte count before the characters, and a terminator after them.
  Bstr s(u"abc");
  UINT prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(s.get()) - sizeof prefix, sizeof prefix);
  EXPECT_EQ(std::tuple(s.length(), prefix, s.get()[3]), std::tuple(3u, 6u, u'\0'));
  auto bytes = Bstr::Attach(SysAllocStringByteLen("abc", 3));
  EXPECT_EQ(std::pair(SysStringByteLen(bytes.get()), SysStringLen(bytes.get())), std::pair(3u, 1u));
  EXPECT_EQ(std::memcmp(bytes.get(), "abc\0\0", 5), 0);

  // Without a source the content is zero; a null string has no length.
  auto zeroed = Bstr::Attach(SysAllocStringLen(nullptr, 5));
  ASSERT_TRUE(zeroed);
  EXPECT_EQ(TextOf(zeroed.get()) + zeroed.get()[5], std::u16string(6, u'\0'));
  EXPECT_TRUE(Bstr::Attach(SysAllocStringLen(nullptr, 0)));
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr) + SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);

  // Lengths whose bytes do not fit give null; a failed reallocation keeps the string.
  EXPECT_EQ(SysAllocStringLen(nullptr, 0x40000000u), nullptr);
  EXPECT_EQ(SysAllocStringLen(u"x", 0xFFFFFFFFu), nullptr);
  for (UINT huge : {0x7FFFFFFFu, 0xFFFFFFFFu}) EXPECT_EQ(SysAllocStringByteLen(nullptr, huge), nullptr);
  BSTR keep = s.Detach();
  EXPECT_FALSE(SysReAllocStringLen(&keep, nullptr, 0x80000000u));
  EXPECT_EQ(TextOf(keep), u"abc");
  SysFreeString(keep);
}

TEST(Bstr, EmbeddedNulsAndOddByteLengthsSurviveCopies) {
  const std::u16string text(u"a\0b\0", 4);
  auto s = Bstr::Attach(SysAllocStringLen(text.data(), 4));
  Bstr copy(s);
  EXPECT_NE(copy.get(), s.get());
  EXPECT_EQ(TextOf(copy.get()), text);
  EXPECT_EQ(To(VT_BSTR, Str(text)), text);
  kelmira::Variant w, odd;
  odd.vt = VT_BSTR, odd.bstrVal = SysAllocStringByteLen("xyz", 3);
  ASSERT_EQ(VariantCopy(&w, &odd), S_OK);
  EXPECT_EQ(SysStringByteLen(w.bstrVal), 3u);
}

TEST(Bstr, ReallocationCopiesBeforeFreeing) {
  BSTR s = SysAllocString(u"hello world");
  // The new content comes from inside the old string.
  ASSERT_TRUE(SysReAllocString(&s, s + 6));
  EXPECT_EQ(TextOf(s), u"world");
  ASSERT_TRUE(SysReAllocStringLen(&s, s + 1, 3));
  EXPECT_EQ(TextOf(s), u"orl");
  // No source: the old content is kept as far as it fits and the rest is zero.
  ASSERT_TRUE(SysReAllocStringLen(&s, nullptr, 5));
  EXPECT_EQ(TextOf(s), std::u16string(u"orl\0\0", 5));
  ASSERT_TRUE(SysReAllocStringLen(&s, nullptr, 2));
  EXPECT_EQ(TextOf(s), u"or");
  ASSERT_TRUE(SysReAllocString(&s, nullptr));
  EXPECT_EQ(std::pair(s != nullptr, SysStringLen(s)), std::pair(true, 0u));
  SysFreeString(s);

  BSTR none = nullptr;
  ASSERT_TRUE(SysReAllocString(&none, u"new"));
  EXPECT_EQ(TextOf(none), u"new");
  SysFreeString(none);
  EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
}

}  // namespace
