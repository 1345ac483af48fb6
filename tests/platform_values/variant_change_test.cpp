// VariantChangeType: rounding, ranges, text in both directions, booleans, special types, failure
// behaviour and objects.
#include "support/fake_unknown.h"
#include "support/value_object.h"
#include "support/variant_values.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

namespace {

using namespace kelmira::test;

TEST(VariantChangeType, RoundsHalfToEvenReadsNumbersAndOverflowsExactlyAtEachWidthsEdges) {
  const std::pair<double, std::u16string> cases[] = {{2.5, u"2"}, {3.5, u"4"},   {-2.5, u"-2"},  {0.5, u"0"},
                                                     {1.5, u"2"}, {-1.5, u"-2"}, {2.4999, u"2"}, {2.5001, u"3"}};
  for (VARTYPE vt : {VT_I2, VT_I4, VT_I8, VT_UI1}) {
    for (const auto& [value, expected] : cases) {
      if (vt == VT_UI1 && value < -0.5) continue;
      SCOPED_TRACE(testing::Message() << "vt " << vt << " value " << value);
      for (const Variant& source : {R8(value), Of(VT_R4, value), Of(VT_DATE, value), Of(VT_CY, value)})
        EXPECT_EQ(To(vt, source), expected);
      EXPECT_EQ(To(vt, Str(To(VT_BSTR, R8(value)))), expected);
    }
  }
  // -0.5 rounds to zero, which fits; currency keeps four decimals and rounds half to even there.
  EXPECT_EQ(Texts(VT_UI1, {R8(-0.5), R8(-0.6)}), u"0|#overflow|");
  EXPECT_EQ(Texts(VT_CY, {R8(0.00025), Str(u"0.00015"), Str(u"0.00005")}), u"0.0002|0.0002|0|");

  // Numbers overflow exactly at each integer width's edges.
  const std::tuple<VARTYPE, int, bool> widths[] = {{VT_I1, 8, true},    {VT_UI1, 8, false},  {VT_I2, 16, true},
                                                   {VT_UI2, 16, false}, {VT_I4, 32, true},   {VT_INT, 32, true},
                                                   {VT_UI4, 32, false}, {VT_UINT, 32, false}};
  for (const auto& [vt, bits, isSigned] : widths) {
    SCOPED_TRACE(testing::Message() << "vt " << vt);
    const LONGLONG min = isSigned ? -(1LL << (bits - 1)) : 0, max = isSigned ? -min - 1 : (1LL << bits) - 1;
    const std::u16string low = To(VT_BSTR, I8(min)), high = To(VT_BSTR, I8(max));
    // Rounding comes before the range check: every maximum is odd and every minimum even.
    EXPECT_EQ(Texts(vt, {I8(max), I8(min), I8(max + 1), I8(min - 1), R8(double(max) + 0.5), R8(double(min) - 0.5),
                         R8(double(min) - 0.6)}),
              high + u"|" + low + u"|#overflow|#overflow|#overflow|" + low + u"|#overflow|");
  }
  EXPECT_EQ(Texts(VT_I8, {Str(u"9223372036854775807"), Str(u"-9223372036854775808"), Str(u"9223372036854775808"),
                          Str(u"-9223372036854775809"), R8(9223372036854775808.0)}),
            u"9223372036854775807|-9223372036854775808|#overflow|#overflow|#overflow|");
  EXPECT_EQ(Texts(VT_UI8, {Str(u"18446744073709551615"), Str(u"18446744073709551616"), I8(-1)}),
            u"18446744073709551615|#overflow|#overflow|");
  EXPECT_EQ(Texts(VT_I4, {R8(NAN), R8(INFINITY), Str(u"1e100")}), u"#overflow|#overflow|#overflow|");
  EXPECT_EQ(Texts(VT_CY, {I8(922337203685477), I8(922337203685478)}), u"922337203685477|#overflow|");
  EXPECT_EQ(Texts(VT_R4, {R8(1e39), R8(-1e39), R8(FLT_MAX)}), u"#overflow|#overflow|3.402823E+38|");
  EXPECT_EQ(Texts(VT_DATE, {R8(2958466), R8(-657435), R8(NAN)}), u"#overflow|#overflow|#overflow|");

  // Numeric text is read, and everything else rejected.
  EXPECT_EQ(Texts(VT_I4, {Str(u"42"), Str(u" 7 "), Str(u"\t-12\t"), Str(u"+4"), Str(u"1e3"), Str(u"1,000"),
                          Str(u"&H1F"), Str(u"&h1f"), Str(u"&O17"), Str(u"5."), Str(u"0.00")}),
            u"42|7|-12|4|1000|1000|31|31|15|5|0|");
  // Hexadecimal literals are bit patterns of the target's width.
  EXPECT_EQ(Texts(VT_I2, {Str(u"&HFFFF"), Str(u"&H1FFFF")}), u"-1|#overflow|");
  for (const char16_t* bad :
       {u"", u"   ", u"abc", u"1 2", u"1e", u"1e+", u"--1", u"1.2.3", u",5", u"$5", u"&H", u"&HG", u"0x1F", u"1-"})
    EXPECT_EQ(Texts({VT_I4, VT_R8}, Str(bad)), u"#mismatch|#mismatch|") << testing::PrintToString(bad);
  EXPECT_EQ(Texts(VT_R8, {Str(u" -3.5 "), Str(u".5e-1"), Str(u"1e400"), Str(u"1e-400")}), u"-3.5|0.05|#overflow|0|");
}

TEST(VariantChangeType, WritesEachTypeAsThePlatformDoesAndReadsDateText) {
  // Fifteen significant digits (seven for singles), exponents outside 1E-05 to 1E+15.
  EXPECT_EQ(Texts(VT_BSTR, {R8(0.1), R8(1.0 / 3), R8(1e20), R8(123456789012345678.0), R8(0.00001),
                            R8(123456789012345.0), R8(0.0001), R8(1e15), R8(-0.0)}),
            u"0.1|0.333333333333333|1E+20|1.23456789012346E+17|1E-05|123456789012345|0.0001|1E+15|0|");
  EXPECT_EQ(Texts(VT_BSTR, {Of(VT_R4, 0.1), Of(VT_R4, 1.0 / 3), Of(VT_R4, 16777216), Of(VT_R4, 1234567)}),
            u"0.1|0.3333333|1.677722E+07|1234567|");
  EXPECT_EQ(Texts(VT_BSTR, {Of(VT_CY, 1.5), Of(VT_CY, -0.5), Of(VT_CY, 12345.6789), Of(VT_CY, 7), Of(VT_CY, -0.001)}),
            u"1.5|-0.5|12345.6789|7|-0.001|");
  // The time alone on day 0, the date alone at midnight; negative dates count the time forward.
  EXPECT_EQ(Texts(VT_BSTR, {Of(VT_DATE, 0), Of(VT_DATE, 37636 + 1.0 / 3), Of(VT_DATE, 0.5), Of(VT_DATE, -1.25),
                            Of(VT_DATE, -0.5), Of(VT_DATE, -657434.5), Of(VT_DATE, 37636),
                            Of(VT_DATE, 2958465 + 86399.0 / 86400), Of(VT_DATE, 37636.999999)}),
            u"12:00:00 AM|1/15/2003 8:00:00 AM|12:00:00 PM|12/29/1899 6:00:00 AM|12:00:00 PM|1/1/0100 12:00:00 PM|"
            u"1/15/2003|12/31/9999 11:59:59 PM|1/16/2003|");
  EXPECT_EQ(Texts(VT_BSTR, {I8(INT64_MIN), Of(VT_I1, -5)}), u"-9223372036854775808|-5|");
  EXPECT_EQ(To(VT_CY, Of(VT_DATE, 1.5)) + u"|" + To(VT_DATE, Of(VT_CY, 1.5)), u"1.5|12/31/1899 12:00:00 PM");

  // Date text is read.
  EXPECT_EQ(Texts(VT_DATE,
                  {Str(u"2003-01-15"), Str(u"2003-01-15T08:30:15"), Str(u"08:30"), Str(u"1/15/2003 8:00 PM"),
                   Str(u"12:00 AM"), Str(u"37636.5"), Str(u"8 pm"), Str(u"12/29/1899 6:00"), Str(u"Jan 15, 2003"),
                   Str(u"15 January 2003"), Str(u"15-Jan-2003"), Str(u"1/15/03"), Str(u"1/1/30"), Str(u"2/29/2004")}),
            u"1/15/2003|1/15/2003 8:30:15 AM|8:30:00 AM|1/15/2003 8:00:00 PM|12:00:00 AM|1/15/2003 12:00:00 PM|"
            u"8:00:00 PM|12/29/1899 6:00:00 AM|1/15/2003|1/15/2003|1/15/2003|1/15/2003|1/1/1930|2/29/2004|");
  for (const char16_t* bad : {u"2/29/2003", u"2/30/2004 8:00", u"13/1/2003", u"1/15/2003 25:00", u"13:00 PM", u"8:60",
                              u"1/15/2003 junk", u"Foo 15, 2003", u"8 o", u"", u"1/1/10000"})
    EXPECT_EQ(To(VT_DATE, Str(bad)), u"#mismatch") << testing::PrintToString(bad);
}

TEST(VariantChangeType, BooleansEmptyNullErrorAndBadTypes) {
  // True is -1 (255: its bit pattern), as a number and as text.
  Variant b, null, error, out;
  b.vt = VT_BOOL, b.boolVal = VARIANT_TRUE;
  EXPECT_EQ(
      Texts({VT_I4, VT_R8, VT_UI1, VT_BSTR}, b) + To(VT_BSTR, b, VARIANT_ALPHABOOL) + To(VT_BSTR, b, VARIANT_LOCALBOOL),
      u"-1|-1|255|-1|TrueTrue");
  b.boolVal = VARIANT_FALSE;
  EXPECT_EQ(To(VT_BSTR, b) + To(VT_BSTR, b, VARIANT_ALPHABOOL), u"0False");
  EXPECT_EQ(Texts(VT_BOOL, {R8(2.5), I8(-7), Str(u"true"), Str(u"#TRUE#"), Str(u"3"), Str(u"0.0001"), R8(NAN), R8(0),
                            R8(-0.0), Str(u" FALSE "), Str(u"#false#"), Str(u"0"), Str(u"yes"), Str(u"")}),
            u"-1|-1|-1|-1|-1|-1|-1|0|0|0|0|0|#mismatch|#mismatch|");

  EXPECT_EQ(Texts({VT_I4, VT_R8, VT_BOOL, VT_DATE, VT_BSTR, VT_CY}, Variant()), u"0|0|0|12:00:00 AM||0|");
  null.vt = VT_NULL;
  error.vt = VT_ERROR, error.scode = DISP_E_PARAMNOTFOUND;
  for (VARTYPE vt : {VT_I4, VT_R8, VT_BSTR, VT_BOOL, VT_DATE, VT_CY, VT_EMPTY, VT_DISPATCH})
    EXPECT_EQ(To(vt, null) + To(vt, error), u"#mismatch#mismatch") << vt;
  ASSERT_EQ(VariantChangeType(&out, &null, 0, VT_NULL), S_OK);
  EXPECT_EQ(out.vt, VT_NULL);
  ASSERT_EQ(VariantChangeType(&out, &error, 0, VT_ERROR), S_OK);
  EXPECT_EQ(out.scode, DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(Texts({VT_NULL, VT_ERROR, VT_EMPTY, VT_UNKNOWN}, R8(1)), u"#mismatch|#mismatch|#mismatch|#mismatch|");

  for (VARTYPE vt :
       std::initializer_list<VARTYPE>{VT_DECIMAL, VT_VARIANT, VT_RECORD, VT_I4 | VT_BYREF, VT_I4 | VT_ARRAY, 0x7F}) {
    VARIANT odd{};
    odd.vt = vt;
    // A reference with no target is refused rather than followed.
    EXPECT_EQ(To(vt, R8(1)) + To(VT_I4, odd), (vt & VT_BYREF) ? u"#badtype#failed" : u"#badtype#badtype") << vt;
  }
  EXPECT_EQ(VariantChangeType(nullptr, &out, 0, VT_I4), E_INVALIDARG);
}

TEST(VariantChangeType, FailureLeavesTheDestinationAloneInPlaceWorksAndObjectsGiveTheirValue) {
  Variant dest = Str(u"keep");
  const BSTR kept = dest.bstrVal;
  for (const Variant& bad : {Str(u"abc"), R8(1e10)}) EXPECT_NE(VariantChangeType(&dest, &bad, 0, VT_I4), S_OK);
  EXPECT_EQ(dest.bstrVal, kept);
  // A destination that cannot be cleared is reported and kept; the converted value is freed.
  VARIANT broken{};
  broken.vt = VT_I4 | VT_ARRAY;
  EXPECT_EQ(VariantChangeType(&broken, &dest, 0, VT_BSTR), DISP_E_BADVARTYPE);
  EXPECT_EQ(broken.vt, VT_I4 | VT_ARRAY);

  // In place: the source is read before the destination is cleared.
  Variant v = Str(u"42");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
  EXPECT_EQ(v.lVal, 42);
  EXPECT_EQ((std::vector<HRESULT>{VariantChangeType(&v, &v, 0, VT_BSTR), VariantChangeType(&v, &v, 0, VT_BSTR),
                                  VariantChangeType(&v, &v, 0, VT_DISPATCH)}),
            (std::vector<HRESULT>{S_OK, S_OK, DISP_E_TYPEMISMATCH}));
  EXPECT_EQ(TextOf(v.bstrVal), u"42");

  // Objects give their default value.
  ValueObject object;
  object.value = R8(2.5);
  {
    Variant disp, out;
    disp.vt = VT_DISPATCH, disp.pdispVal = &object;
    object.AddRef();
    EXPECT_EQ(To(VT_I4, disp) + u" " + To(VT_BSTR, disp) + u" " + To(VT_I4, disp, VARIANT_NOVALUEPROP),
              u"2 2.5 #mismatch");
    EXPECT_EQ(object.invokes, 2);
    ASSERT_EQ(VariantChangeType(&out, &disp, 0, VT_UNKNOWN), S_OK);
    EXPECT_EQ(std::pair(out.punkVal, object.refs), std::pair(static_cast<IUnknown*>(&object), 3u));
    ASSERT_EQ(VariantChangeType(&out, &out, 0, VT_DISPATCH), S_OK);
    EXPECT_EQ(std::pair(out.pdispVal, object.refs), std::pair(static_cast<IDispatch*>(&object), 3u));
    object.hasValue = false;
    EXPECT_EQ(To(VT_BSTR, disp), u"#mismatch");
  }
  EXPECT_EQ(object.refs, 1u);

  // An object without IDispatch is no number and no dispatch object; the failed queries leave its
  // count as it was. A null object converts to a null IUnknown.
  FakeUnknown plain;
  VARIANT unknown{}, nothing{}, out{};
  unknown.vt = VT_UNKNOWN, unknown.punkVal = &plain;
  nothing.vt = VT_DISPATCH;
  EXPECT_EQ(Texts({VT_DISPATCH, VT_I4}, unknown) + To(VT_I4, nothing), u"#mismatch|#mismatch|#mismatch");
  EXPECT_EQ(plain.refs, 1u);
  ASSERT_EQ(VariantChangeType(&out, &nothing, 0, VT_UNKNOWN), S_OK);
  EXPECT_EQ(std::pair(out.vt, out.punkVal), std::pair(VARTYPE{VT_UNKNOWN}, static_cast<IUnknown*>(nullptr)));
}

}  // namespace
