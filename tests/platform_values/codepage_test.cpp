// Windows-1252 and UTF-8 against UTF-16: mappings, default characters, sizing and errors.
#include "support/code_page_text.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using namespace kelmira::test;

TEST(CodePage, Windows1252AndUtf8RoundTripMarkWhatTheyCannotMapAndSizeBuffers) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  // The euro sign and typographic marks at 0x80-0x9F; undefined bytes there map to themselves.
  const std::pair<int, char16_t> mapped[] = {{0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x8D, u'\u008D'},
                                             {0x92, u'\u2019'}, {0x9F, u'\u0178'}, {0xE9, u'\u00E9'}};
  for (UINT cp : {CP_ACP, CP_OEMCP, CP_THREAD_ACP, CP_1252}) {
    const std::u16string wide = ToWide(cp, all);
    ASSERT_EQ(wide.size(), 255u);
    for (const auto& [byte, ch] : mapped) EXPECT_EQ(wide[byte - 1], ch) << cp << " " << byte;
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToBytes(cp, wide, &usedDefault), all);
    EXPECT_FALSE(usedDefault);
  }
  EXPECT_EQ(GetACP(), 1252u);

  BOOL usedDefault = FALSE;
  EXPECT_EQ(ToBytes(CP_ACP, u"a\u4E2Db", &usedDefault), "a?b");
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(ToBytes(CP_ACP, u"x\U0001F600y", &usedDefault, "*"), "x*y");  // one per character
  EXPECT_EQ(ToBytes(CP_ACP, std::u16string(u"\xD800z", 2), &usedDefault), "?z");

  // UTF-8 with surrogate pairs and ill-formed input.
  EXPECT_EQ(ToWide(CP_UTF8, "\xE2\x82\xAC\xF0\x9F\x98\x80"), u"\u20AC\U0001F600");
  EXPECT_EQ(ToBytes(CP_UTF8, u"\u20AC\U0001F600\u00E9"), "\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\xA9");
  EXPECT_EQ(ToBytes(CP_UTF8, std::u16string(u"\xDC00", 1)), "\xEF\xBF\xBD");
  // Each maximal ill-formed piece is one replacement character: a stray continuation byte, an
  // encoded surrogate, a sequence cut short, a code point beyond U+10FFFF, overlong forms, and a
  // sequence the input ends in.
  EXPECT_EQ(
      ToWide(CP_UTF8, "\x80|\xED\xA0\x80|\xC3(|\xF4\x90\x80\x80|\xC0\xAF|\xE0\x80\xAF|\xF0\x8F\xBF\xBF|a\xF0\x9F\x98"),
      u"\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD(|\uFFFD\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|"
      u"\uFFFD\uFFFD\uFFFD\uFFFD|a\uFFFD");

  // Buffers are sized, and errors reported in the thread's last error.
  char16_t wide[8] = {u'x', u'x', u'x', u'x'};
  char bytes[8];
  BOOL used = FALSE;
  // The terminator counts only when the length is -1; ill-formed text fails only when the caller
  // asks for that.
  EXPECT_EQ((std::vector<int>{MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0),
                              MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0),
                              WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", -1, nullptr, 0, nullptr, nullptr),
                              WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", -1, bytes, 4, nullptr, nullptr),
                              MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xC3\xA9", 4, wide, 8),
                              MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 4)}),
            (std::vector<int>{4, 3, 4, 4, 3, 4}));
  EXPECT_EQ(std::u16string(wide), u"abc");
  EXPECT_STREQ(bytes, "\xE2\x82\xAC");

  // A failing call returns 0 and leaves its error in the thread's last error.
  std::vector<DWORD> errors;
  auto failed = [&](int result) {
    errors.push_back(result == 0 ? GetLastError() : DWORD(-1));
    SetLastError(0);
  };
  SetLastError(0);
  failed(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 3));
  failed(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", -1, bytes, 3, nullptr, nullptr));
  failed(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xFF", 3, wide, 8));
  failed(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\xD800", 1, bytes, 8, nullptr, nullptr));
  failed(MultiByteToWideChar(932, 0, "a", 1, wide, 4));
  failed(MultiByteToWideChar(CP_ACP, 0, "a", 0, wide, 4));
  failed(MultiByteToWideChar(CP_ACP, 0, "a", 1, nullptr, 4));
  failed(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 4, nullptr, &used));
  failed(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, wide, 4));
  const DWORD small = ERROR_INSUFFICIENT_BUFFER, illFormed = ERROR_NO_UNICODE_TRANSLATION,
              invalid = ERROR_INVALID_PARAMETER;
  EXPECT_EQ(errors, (std::vector<DWORD>{small, small, illFormed, illFormed, invalid, invalid, invalid, invalid,
                                        ERROR_INVALID_FLAGS}));
  // The last error belongs to the thread.
  SetLastError(ERROR_INVALID_FLAGS);
  std::thread([] { SetLastError(42); }).join();
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
}

}  // namespace
