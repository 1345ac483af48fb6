// BSTR layout, embedded NULs, zero-filled allocation, reallocation and length limits.
#include "platform_values/value_helpers.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace values_test;

UINT PrefixOf(BSTR s) {
  UINT len;
  std::memcpy(&len, reinterpret_cast<const char*>(s) - sizeof(UINT), sizeof len);
  return len;
}

TEST(Bstr, LayoutIsBytePrefixCharactersAndTerminator) {
  kelmira::Bstr s(u"abc");
  EXPECT_EQ(s.length(), 3u);
  EXPECT_EQ(PrefixOf(s.get()), 6u);
  EXPECT_EQ(s.get()[3], u'\0');

  auto bytes = kelmira::Bstr::Attach(SysAllocStringByteLen("abc", 3));
  EXPECT_EQ(SysStringByteLen(bytes.get()), 3u);
  EXPECT_EQ(SysStringLen(bytes.get()), 1u);
  EXPECT_EQ(std::memcmp(bytes.get(), "abc\0\0", 5), 0);

  // Without a source the content is zero; a null string has no length.
  auto zeroed = kelmira::Bstr::Attach(SysAllocStringLen(nullptr, 5));
  ASSERT_TRUE(zeroed);
  EXPECT_EQ(TextOf(zeroed.get()), std::u16string(5, u'\0'));
  EXPECT_EQ(zeroed.get()[5], u'\0');
  EXPECT_EQ(SysStringByteLen(kelmira::Bstr::Attach(SysAllocStringByteLen(nullptr, 3)).get()), 3u);
  EXPECT_TRUE(kelmira::Bstr::Attach(SysAllocStringLen(nullptr, 0)));
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
}

TEST(Bstr, EmbeddedNulsSurviveEveryCopy) {
  const std::u16string text(u"a\0b\0", 4);
  auto s = kelmira::Bstr::Attach(SysAllocStringLen(text.data(), 4));
  ASSERT_TRUE(s);
  EXPECT_EQ(TextOf(s.get()), text);
  kelmira::Bstr copy(s);
  EXPECT_NE(copy.get(), s.get());
  EXPECT_EQ(TextOf(copy.get()), text);

  Variant v, w;
  v.vt = VT_BSTR, v.bstrVal = s.Detach();
  ASSERT_EQ(VariantCopy(&w, &v), S_OK);
  EXPECT_EQ(TextOf(w.bstrVal), text);
  ASSERT_EQ(VariantChangeType(&w, &v, 0, VT_BSTR), S_OK);
  EXPECT_EQ(SysStringLen(w.bstrVal), 4u);

  // An odd byte length is kept by VariantCopy.
  Variant odd;
  odd.vt = VT_BSTR, odd.bstrVal = SysAllocStringByteLen("xyz", 3);
  ASSERT_EQ(VariantCopy(&w, &odd), S_OK);
  EXPECT_EQ(SysStringByteLen(w.bstrVal), 3u);
}

TEST(Bstr, LengthsThatDoNotFitGiveNull) {
  EXPECT_EQ(SysAllocStringLen(nullptr, 0x40000000u), nullptr);
  EXPECT_EQ(SysAllocStringLen(u"x", 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0x7FFFFFFFu), nullptr);
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
  BSTR s = SysAllocString(u"keep");
  EXPECT_FALSE(SysReAllocStringLen(&s, nullptr, 0x80000000u));
  EXPECT_EQ(TextOf(s), u"keep");
  SysFreeString(s);
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
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 0u);
  SysFreeString(s);

  BSTR none = nullptr;
  ASSERT_TRUE(SysReAllocString(&none, u"new"));
  EXPECT_EQ(TextOf(none), u"new");
  SysFreeString(none);
  EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
}

}  // namespace
