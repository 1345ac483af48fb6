// VariantChangeType: rounding, ranges, text in both directions, booleans, special types, failure
// behaviour and objects.
#include "support/value_object.h"
#include "support/variant_values.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

using namespace kelmira::test;

TEST(VariantChangeType, RoundsHalfToEvenFromEveryInexactSource) {
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
  EXPECT_EQ(To(VT_UI1, R8(-0.5)), u"0");  // rounds to zero, which fits
  EXPECT_EQ(To(VT_UI1, R8(-0.6)), u"#overflow");
  // Currency keeps four decimals and rounds half to even there.
  for (const auto& [value, text] :
       {std::pair{R8(0.00025), u"0.0002"}, {Str(u"0.00015"), u"0.0002"}, {Str(u"0.00005"), u"0"}})
    EXPECT_EQ(To(VT_CY, value), text);
}

TEST(VariantChangeType, OverflowsExactlyAtEachIntegerWidthsEdges) {
  struct Width {
    VARTYPE vt;
    int bits;
    bool isSigned;
  };
  const Width widths[] = {{VT_I1, 8, true},  {VT_UI1, 8, false}, {VT_I2, 16, true},   {VT_UI2, 16, false},
                          {VT_I4, 32, true}, {VT_INT, 32, true}, {VT_UI4, 32, false}, {VT_UINT, 32, false}};
  auto text = [](LONGLONG v) { return To(VT_BSTR, I8(v)); };
  for (const auto& [vt, bits, isSigned] : widths) {
    SCOPED_TRACE(testing::Message() << "vt " << vt);
    const LONGLONG min = isSigned ? -(1LL << (bits - 1)) : 0, max = isSigned ? -min - 1 : (1LL << bits) - 1;
    EXPECT_EQ(To(vt, I8(max)), text(max));
    EXPECT_EQ(To(vt, I8(min)), text(min));
    EXPECT_EQ(To(vt, I8(max + 1)), u"#overflow");
    EXPECT_EQ(To(vt, I8(min - 1)), u"#overflow");
    // Rounding comes before the range check: every maximum is odd and every minimum even.
    EXPECT_EQ(To(vt, R8(double(max) + 0.5)), u"#overflow");
    EXPECT_EQ(To(vt, R8(double(min) - 0.5)), text(min));
    EXPECT_EQ(To(vt, R8(double(min) - 0.6)), u"#overflow");
  }
  for (const char16_t* fits : {u"9223372036854775807", u"-9223372036854775808"}) EXPECT_EQ(To(VT_I8, Str(fits)), fits);
  EXPECT_EQ(To(VT_UI8, Str(u"18446744073709551615")), u"18446744073709551615");
  for (const Variant& big : {Str(u"9223372036854775808"), Str(u"-9223372036854775809"), R8(9223372036854775808.0)})
    EXPECT_EQ(To(VT_I8, big), u"#overflow");
  EXPECT_EQ(To(VT_UI8, Str(u"18446744073709551616")), u"#overflow");
  EXPECT_EQ(To(VT_UI8, I8(-1)), u"#overflow");
  for (const Variant& big : {R8(NAN), R8(INFINITY), Str(u"1e100")}) EXPECT_EQ(To(VT_I4, big), u"#overflow");
  EXPECT_EQ(To(VT_CY, I8(922337203685477)), u"922337203685477");
  EXPECT_EQ(To(VT_CY, I8(922337203685478)), u"#overflow");
  for (const Variant& big : {R8(1e39), R8(-1e39)}) EXPECT_EQ(To(VT_R4, big), u"#overflow");
  EXPECT_EQ(To(VT_R4, R8(FLT_MAX)), u"3.402823E+38");
  for (const Variant& outside : {R8(2958466), R8(-657435), R8(NAN)}) EXPECT_EQ(To(VT_DATE, outside), u"#overflow");
}

TEST(VariantChangeType, ReadsNumericTextAndRejectsEverythingElse) {
  const std::pair<std::u16string, std::u16string> toI4[] = {
      {u"42", u"42"},   {u" 7 ", u"7"},   {u"\t-12\t", u"-12"}, {u"+4", u"4"}, {u"1e3", u"1000"}, {u"1,000", u"1000"},
      {u"&H1F", u"31"}, {u"&h1f", u"31"}, {u"&O17", u"15"},     {u"5.", u"5"}, {u"0.00", u"0"}};
  for (const auto& [text, expected] : toI4) EXPECT_EQ(To(VT_I4, Str(text)), expected) << testing::PrintToString(text);
  // Hexadecimal literals are bit patterns of the target's width.
  EXPECT_EQ(To(VT_I2, Str(u"&HFFFF")), u"-1");
  EXPECT_EQ(To(VT_I2, Str(u"&H1FFFF")), u"#overflow");
  for (const char16_t* bad :
       {u"", u"   ", u"abc", u"1 2", u"1e", u"1e+", u"--1", u"1.2.3", u",5", u"$5", u"&H", u"&HG", u"0x1F", u"1-"}) {
    EXPECT_EQ(To(VT_I4, Str(bad)), u"#mismatch") << testing::PrintToString(bad);
    EXPECT_EQ(To(VT_R8, Str(bad)), u"#mismatch") << testing::PrintToString(bad);
  }
  const std::pair<std::u16string, std::u16string> toR8[] = {
      {u" -3.5 ", u"-3.5"}, {u".5e-1", u"0.05"}, {u"1e400", u"#overflow"}, {u"1e-400", u"0"}};
  for (const auto& [text, expected] : toR8) EXPECT_EQ(To(VT_R8, Str(text)), expected) << testing::PrintToString(text);
}

TEST(VariantChangeType, WritesEachTypeAsThePlatformDoes) {
  // Fifteen significant digits (seven for singles), exponents outside 1E-05 to 1E+15.
  const std::pair<double, std::u16string> reals[] = {
      {0.1, u"0.1"},       {1.0 / 3, u"0.333333333333333"},
      {1e20, u"1E+20"},    {123456789012345678.0, u"1.23456789012346E+17"},
      {0.00001, u"1E-05"}, {123456789012345.0, u"123456789012345"},
      {0.0001, u"0.0001"}, {1e15, u"1E+15"},
      {-0.0, u"0"}};
  for (const auto& [value, text] : reals) EXPECT_EQ(To(VT_BSTR, R8(value)), text) << value;
  const std::pair<double, std::u16string> singles[] = {
      {0.1, u"0.1"}, {1.0 / 3, u"0.3333333"}, {16777216, u"1.677722E+07"}, {1234567, u"1234567"}};
  for (const auto& [value, text] : singles) EXPECT_EQ(To(VT_BSTR, Of(VT_R4, value)), text) << value;
  const std::pair<double, std::u16string> currencies[] = {
      {1.5, u"1.5"}, {-0.5, u"-0.5"}, {12345.6789, u"12345.6789"}, {7, u"7"}, {-0.001, u"-0.001"}};
  for (const auto& [value, text] : currencies) EXPECT_EQ(To(VT_BSTR, Of(VT_CY, value)), text) << value;
  // The time alone on day 0, the date alone at midnight; negative dates count the time forward.
  const std::pair<double, std::u16string> dates[] = {
      {0, u"12:00:00 AM"},         {37636 + 1.0 / 3, u"1/15/2003 8:00:00 AM"},
      {0.5, u"12:00:00 PM"},       {-1.25, u"12/29/1899 6:00:00 AM"},
      {-0.5, u"12:00:00 PM"},      {-657434.5, u"1/1/0100 12:00:00 PM"},
      {37636, u"1/15/2003"},       {2958465 + 86399.0 / 86400, u"12/31/9999 11:59:59 PM"},
      {37636.999999, u"1/16/2003"}};
  for (const auto& [value, text] : dates) EXPECT_EQ(To(VT_BSTR, Of(VT_DATE, value)), text) << value;
  EXPECT_EQ(To(VT_BSTR, I8(INT64_MIN)), u"-9223372036854775808");
  EXPECT_EQ(To(VT_BSTR, Of(VT_I1, -5)), u"-5");
  EXPECT_EQ(To(VT_CY, Of(VT_DATE, 1.5)), u"1.5");
  EXPECT_EQ(To(VT_DATE, Of(VT_CY, 1.5)), u"12/31/1899 12:00:00 PM");
}

TEST(VariantChangeType, ReadsDateText) {
  const std::pair<std::u16string, std::u16string> texts[] = {
      {u"2003-01-15", u"1/15/2003"},   {u"2003-01-15T08:30:15", u"1/15/2003 8:30:15 AM"},
      {u"08:30", u"8:30:00 AM"},       {u"1/15/2003 8:00 PM", u"1/15/2003 8:00:00 PM"},
      {u"12:00 AM", u"12:00:00 AM"},   {u"37636.5", u"1/15/2003 12:00:00 PM"},
      {u"8 pm", u"8:00:00 PM"},        {u"12/29/1899 6:00", u"12/29/1899 6:00:00 AM"},
      {u"Jan 15, 2003", u"1/15/2003"}, {u"15 January 2003", u"1/15/2003"},
      {u"15-Jan-2003", u"1/15/2003"},  {u"1/15/03", u"1/15/2003"},
      {u"1/1/30", u"1/1/1930"},        {u"2/29/2004", u"2/29/2004"}};
  for (const auto& [text, expected] : texts)
    EXPECT_EQ(To(VT_DATE, Str(text)), expected) << testing::PrintToString(text);
  for (const char16_t* bad : {u"2/29/2003", u"2/30/2004 8:00", u"13/1/2003", u"1/15/2003 25:00", u"13:00 PM", u"8:60",
                              u"1/15/2003 junk", u"Foo 15, 2003", u"8 o", u"", u"1/1/10000"})
    EXPECT_EQ(To(VT_DATE, Str(bad)), u"#mismatch") << testing::PrintToString(bad);
}

TEST(VariantChangeType, BooleansAsNumbersAndText) {
  Variant b;
  b.vt = VT_BOOL, b.boolVal = VARIANT_TRUE;
  // 255: the bit pattern of -1.
  for (auto [vt, text] : {std::pair{VT_I4, u"-1"}, {VT_R8, u"-1"}, {VT_UI1, u"255"}, {VT_BSTR, u"-1"}})
    EXPECT_EQ(To(vt, b), text) << vt;
  EXPECT_EQ(To(VT_BSTR, b, VARIANT_ALPHABOOL) + To(VT_BSTR, b, VARIANT_LOCALBOOL), u"TrueTrue");
  b.boolVal = VARIANT_FALSE;
  EXPECT_EQ(To(VT_BSTR, b) + To(VT_BSTR, b, VARIANT_ALPHABOOL), u"0False");
  for (const Variant& yes : {R8(2.5), I8(-7), Str(u"true"), Str(u"#TRUE#"), Str(u"3"), Str(u"0.0001"), R8(NAN)})
    EXPECT_EQ(To(VT_BOOL, yes), u"-1");
  for (const Variant& no : {R8(0), R8(-0.0), Str(u" FALSE "), Str(u"#false#"), Str(u"0")})
    EXPECT_EQ(To(VT_BOOL, no), u"0");
  for (const Variant& neither : {Str(u"yes"), Str(u"")}) EXPECT_EQ(To(VT_BOOL, neither), u"#mismatch");
}

TEST(VariantChangeType, EmptyNullErrorAndBadTypes) {
  const Variant empty;
  const std::pair<VARTYPE, std::u16string> fromEmpty[] = {
      {VT_I4, u"0"}, {VT_R8, u"0"}, {VT_BOOL, u"0"}, {VT_DATE, u"12:00:00 AM"}, {VT_BSTR, u""}, {VT_CY, u"0"}};
  for (const auto& [vt, text] : fromEmpty) EXPECT_EQ(To(vt, empty), text) << vt;

  Variant null, error, out;
  null.vt = VT_NULL;
  error.vt = VT_ERROR, error.scode = DISP_E_PARAMNOTFOUND;
  for (VARTYPE vt : {VT_I4, VT_R8, VT_BSTR, VT_BOOL, VT_DATE, VT_CY, VT_EMPTY, VT_DISPATCH})
    EXPECT_EQ(To(vt, null) + To(vt, error), u"#mismatch#mismatch") << vt;
  ASSERT_EQ(VariantChangeType(&out, &null, 0, VT_NULL), S_OK);
  EXPECT_EQ(out.vt, VT_NULL);
  ASSERT_EQ(VariantChangeType(&out, &error, 0, VT_ERROR), S_OK);
  EXPECT_EQ(out.scode, DISP_E_PARAMNOTFOUND);
  for (VARTYPE vt : {VT_NULL, VT_ERROR, VT_EMPTY, VT_UNKNOWN}) EXPECT_EQ(To(vt, R8(1)), u"#mismatch") << vt;

  for (VARTYPE vt :
       std::initializer_list<VARTYPE>{VT_DECIMAL, VT_VARIANT, VT_RECORD, VT_I4 | VT_BYREF, VT_I4 | VT_ARRAY, 0x7F}) {
    EXPECT_EQ(To(vt, R8(1)), u"#badtype") << vt;
    VARIANT odd{};
    odd.vt = vt;
    // A reference with no target is refused rather than followed.
    EXPECT_EQ(To(VT_I4, odd), (vt & VT_BYREF) ? u"#failed" : u"#badtype") << vt;
  }
  EXPECT_EQ(VariantChangeType(nullptr, &empty, 0, VT_I4), E_INVALIDARG);
}

TEST(VariantChangeType, FailureLeavesTheDestinationAloneAndInPlaceWorks) {
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
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
  EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_DISPATCH), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(TextOf(v.bstrVal), u"42");
}

TEST(VariantChangeType, ObjectsGiveTheirDefaultValue) {
  ValueObject object;
  object.value = R8(2.5);
  {
    Variant disp, out;
    disp.vt = VT_DISPATCH, disp.pdispVal = &object;
    object.AddRef();
    EXPECT_EQ(To(VT_I4, disp) + u" " + To(VT_BSTR, disp), u"2 2.5");
    EXPECT_EQ(To(VT_I4, disp, VARIANT_NOVALUEPROP), u"#mismatch");
    EXPECT_EQ(object.invokes, 2);
    ASSERT_EQ(VariantChangeType(&out, &disp, 0, VT_UNKNOWN), S_OK);
    EXPECT_EQ(std::pair(out.punkVal, object.refs), std::pair(static_cast<IUnknown*>(&object), 3u));
    ASSERT_EQ(VariantChangeType(&out, &out, 0, VT_DISPATCH), S_OK);
    EXPECT_EQ(std::pair(out.pdispVal, object.refs), std::pair(static_cast<IDispatch*>(&object), 3u));
    object.hasValue = false;
    EXPECT_EQ(To(VT_BSTR, disp), u"#mismatch");
  }
  EXPECT_EQ(object.refs, 1u);

  // A stream answers IUnknown but not IDispatch; the failed queries leave its count as it was.
  kelmira::ComPtr<IStream> plain;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &plain), S_OK);
  VARIANT unknown{}, nothing{}, out{};
  unknown.vt = VT_UNKNOWN, unknown.punkVal = plain.get();
  EXPECT_EQ(To(VT_DISPATCH, unknown) + To(VT_I4, unknown), u"#mismatch#mismatch");
  EXPECT_EQ(plain->AddRef(), 2u);
  plain->Release();
  nothing.vt = VT_DISPATCH;
  EXPECT_EQ(To(VT_I4, nothing), u"#mismatch");
  ASSERT_EQ(VariantChangeType(&out, &nothing, 0, VT_UNKNOWN), S_OK);
  EXPECT_EQ(std::pair(out.vt, out.punkVal), std::pair(VARTYPE{VT_UNKNOWN}, static_cast<IUnknown*>(nullptr)));
}

}  // namespace
