// Windows-1252 and UTF-8 against UTF-16: mappings, default characters, sizing and errors.
#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

std::u16string ToWide(UINT cp, const std::string& bytes, DWORD flags = 0) {
  const int n = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(static_cast<std::size_t>(n), u'\0');
  if (n) {
    EXPECT_EQ(MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(), n), n);
  }
  return out;
}

std::string ToBytes(UINT cp, const std::u16string& text, BOOL* usedDefault = nullptr, LPCSTR defaultChar = nullptr,
                    DWORD flags = 0) {
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(cp, flags, text.data(), size, nullptr, 0, defaultChar, usedDefault);
  std::string out(static_cast<std::size_t>(n), '\0');
  if (n) {
    EXPECT_EQ(WideCharToMultiByte(cp, flags, text.data(), size, out.data(), n, defaultChar, usedDefault), n);
  }
  return out;
}

// The error a failing conversion leaves in the thread's last error.
template <class Call>
DWORD ErrorOf(Call call) {
  SetLastError(0);
  EXPECT_EQ(call(), 0);
  return GetLastError();
}

TEST(CodePage, Windows1252RoundTripsEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  for (UINT cp : {CP_ACP, CP_OEMCP, CP_THREAD_ACP, CP_1252}) {
    const std::u16string wide = ToWide(cp, all);
    ASSERT_EQ(wide.size(), 255u);
    EXPECT_EQ(wide[0x80 - 1], u'\u20AC');  // euro sign
    EXPECT_EQ(wide[0x81 - 1], u'\u0081');  // undefined bytes map to themselves
    EXPECT_EQ(wide[0x8D - 1], u'\u008D');
    EXPECT_EQ(wide[0x92 - 1], u'\u2019');
    EXPECT_EQ(wide[0x9F - 1], u'\u0178');
    EXPECT_EQ(wide[0xE9 - 1], u'\u00E9');
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToBytes(cp, wide, &usedDefault), all);
    EXPECT_FALSE(usedDefault);
  }
  EXPECT_EQ(GetACP(), 1252u);
}

TEST(CodePage, UnmappableCharactersBecomeTheDefault) {
  BOOL usedDefault = FALSE;
  EXPECT_EQ(ToBytes(CP_ACP, u"a\u4E2Db", &usedDefault), "a?b");
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(ToBytes(CP_ACP, u"x\U0001F600y", &usedDefault, "*"), "x*y");  // one per character
  EXPECT_EQ(ToBytes(CP_ACP, std::u16string(u"\xD800z", 2), &usedDefault), "?z");
  EXPECT_EQ(ToBytes(CP_ACP, u"\u20AC", &usedDefault), "\x80");
  EXPECT_FALSE(usedDefault);
}

TEST(CodePage, SizingCountsTheTerminatorOnlyWhenAskedTo) {
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3);
  char16_t wide[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 4), 4);
  EXPECT_EQ(std::u16string(wide), u"abc");
  EXPECT_EQ(ErrorOf([&] { return MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 3); }),
            DWORD(ERROR_INSUFFICIENT_BUFFER));

  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", -1, nullptr, 0, nullptr, nullptr), 4);
  char bytes[4];
  EXPECT_EQ(ErrorOf([&] { return WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", -1, bytes, 3, nullptr, nullptr); }),
            DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", -1, bytes, 4, nullptr, nullptr), 4);
  EXPECT_STREQ(bytes, "\xE2\x82\xAC");
}

TEST(CodePage, Utf8WithSurrogatePairsAndIllFormedInput) {
  EXPECT_EQ(ToWide(CP_UTF8, "\xE2\x82\xAC\xF0\x9F\x98\x80"), u"\u20AC\U0001F600");
  EXPECT_EQ(ToBytes(CP_UTF8, u"\u20AC\U0001F600\u00E9"), "\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\xA9");
  // Each maximal ill-formed piece is one replacement character.
  EXPECT_EQ(ToWide(CP_UTF8, "\xC3("), u"\uFFFD(");
  EXPECT_EQ(ToWide(CP_UTF8, "a\xF0\x9F\x98"), u"a\uFFFD");
  EXPECT_EQ(ToWide(CP_UTF8, "\xC0\xAF"), u"\uFFFD\uFFFD");                      // overlong
  EXPECT_EQ(ToWide(CP_UTF8, "\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");            // encoded surrogate
  EXPECT_EQ(ToWide(CP_UTF8, "\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // beyond U+10FFFF
  EXPECT_EQ(ToBytes(CP_UTF8, std::u16string(u"\xDC00", 1)), "\xEF\xBF\xBD");

  char16_t wide[8];
  EXPECT_EQ(ErrorOf([&] { return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xFF", 3, wide, 8); }),
            DWORD(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xC3\xA9", 4, wide, 8), 3);
  char bytes[8];
  EXPECT_EQ(ErrorOf([&] {
              return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\xD800", 1, bytes, 8, nullptr, nullptr);
            }),
            DWORD(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePage, BadArgumentsSetTheThreadsLastError) {
  char16_t wide[4];
  char bytes[4];
  BOOL used = FALSE;
  const DWORD invalid = ERROR_INVALID_PARAMETER;
  EXPECT_EQ(ErrorOf([&] { return MultiByteToWideChar(932, 0, "a", 1, wide, 4); }), invalid);
  EXPECT_EQ(ErrorOf([&] { return MultiByteToWideChar(CP_ACP, 0, "a", 0, wide, 4); }), invalid);
  EXPECT_EQ(ErrorOf([&] { return MultiByteToWideChar(CP_ACP, 0, "a", 1, nullptr, 4); }), invalid);
  EXPECT_EQ(ErrorOf([&] { return WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 4, nullptr, &used); }), invalid);
  EXPECT_EQ(ErrorOf([&] { return MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, wide, 4); }),
            DWORD(ERROR_INVALID_FLAGS));
  std::thread([] { SetLastError(42); }).join();
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
}

}  // namespace
