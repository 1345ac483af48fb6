// GUIDs to text and back.
#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr GUID kSample = KELMIRA_GUID(0x6A1C0B2D, 0x3E4F, 0x5A6B, 0x7C, 0x8D, 0x9E, 0xAF, 0xB0, 0xC1, 0xD2, 0xE3);

TEST(GuidString, FormatsUpperCaseReadsOnlyWellFormedTextAndMakesRandomVersion4Guids) {
  OLECHAR buf[39];
  LPOLESTR s = nullptr;
  GUID upper{}, lower{};
  ASSERT_EQ(StringFromGUID2(kSample, buf, 39), 39);
  ASSERT_EQ(StringFromCLSID(kSample, &s), S_OK);
  EXPECT_EQ(std::u16string(buf) + u" " + s,
            u"{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3} {6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3}");
  CoTaskMemFree(s);
  EXPECT_EQ(CLSIDFromString(buf, &upper) | IIDFromString(u"{6a1c0b2d-3e4f-5a6b-7c8d-9eafb0c1d2e3}", &lower), S_OK);
  EXPECT_EQ(std::pair(upper, lower), std::pair(kSample, kSample));
  // A buffer too small gets nothing.
  buf[0] = u'x';
  EXPECT_EQ(StringFromGUID2(kSample, buf, 38) + StringFromGUID2(kSample, nullptr, 39), 0);
  EXPECT_EQ(buf[0], u'x');

  // No braces, no closing brace, trailing text, a digit short, a dash replaced, not hex, a space.
  for (const char16_t* bad : {u"6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3", u"{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3",
                              u"{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E3}x", u"{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E}",
                              u"{6A1C0B2D-3E4F-5A6B-7C8D+9EAFB0C1D2E3}", u"{6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2EG}",
                              u"{ 6A1C0B2D-3E4F-5A6B-7C8D-9EAFB0C1D2E}", u"{}"}) {
    GUID g = kSample;
    EXPECT_EQ((std::tuple{IIDFromString(bad, &g), g, CLSIDFromString(bad, &g)}),
              std::tuple(CO_E_CLASSSTRING, GUID_NULL, CO_E_CLASSSTRING))
        << testing::PrintToString(bad);
  }
  upper = kSample;
  // A null string is the null class id, as on the desktop platform.
  EXPECT_EQ((std::tuple{CLSIDFromString(buf, nullptr), CLSIDFromString(nullptr, &upper), upper}),
            std::tuple(E_INVALIDARG, S_OK, CLSID_NULL));

  // New GUIDs are random, of version 4.
  std::set<std::string> seen;
  for (int i = 0; i < 64; ++i) {
    GUID g{};
    ASSERT_EQ(CoCreateGuid(&g), S_OK);
    EXPECT_EQ(std::pair(g.Data3 >> 12, g.Data4[0] & 0xC0), std::pair(4, 0x80));
    seen.insert(std::string(reinterpret_cast<const char*>(&g), sizeof g));
  }
  EXPECT_EQ(std::pair(seen.size(), CoCreateGuid(nullptr)), std::pair(64ul, E_INVALIDARG));
}

}  // namespace
