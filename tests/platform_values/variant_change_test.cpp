// VariantChangeType: rounding, ranges, text in both directions, booleans, special types,
// failure behaviour and objects.
#include "platform_values/value_helpers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

using namespace values_test;

// Converts src to vt and reads the result back as a 64-bit integer of the right signedness.
HRESULT ToInteger(const VARIANT& src, VARTYPE vt, long double* out) {
  Variant v;
  const HRESULT hr = VariantChangeType(&v, &src, 0, vt);
  if (FAILED(hr)) return hr;
  EXPECT_EQ(v.vt, vt);
  switch (vt) {
    case VT_I1: *out = static_cast<signed char>(v.cVal); break;
    case VT_UI1: *out = v.bVal; break;
    case VT_I2: *out = v.iVal; break;
    case VT_UI2: *out = v.uiVal; break;
    case VT_I4: *out = v.lVal; break;
    case VT_UI4: *out = v.ulVal; break;
    case VT_INT: *out = v.intVal; break;
    case VT_UINT: *out = v.uintVal; break;
    case VT_I8: *out = v.llVal; break;
    default: *out = v.ullVal; break;
  }
  return hr;
}

TEST(VariantChangeType, RoundsHalfToEvenFromEveryInexactSource) {
  struct Case {
    double value;
    long double expected;
  };
  const Case cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}};
  for (VARTYPE vt : {VT_I2, VT_I4, VT_I8, VT_UI1}) {
    for (const Case& c : cases) {
      if (vt == VT_UI1 && c.value < -0.5) continue;
      SCOPED_TRACE(testing::Message() << "vt " << vt << " value " << c.value);
      long double got = -99;
      EXPECT_EQ(ToInteger(R8(c.value), vt, &got), S_OK);
      EXPECT_EQ(got, c.expected);

      Variant date;
      date.vt = VT_DATE, date.date = c.value;
      EXPECT_EQ(ToInteger(date, vt, &got), S_OK);
      EXPECT_EQ(got, c.expected);

      Variant cy;
      cy.vt = VT_CY, cy.cyVal.int64 = std::llround(c.value * 10000);
      EXPECT_EQ(ToInteger(cy, vt, &got), S_OK);
      EXPECT_EQ(got, c.expected);
    }
  }
  long double got = 0;
  Variant r4;
  r4.vt = VT_R4, r4.fltVal = 3.5f;
  EXPECT_EQ(ToInteger(r4, VT_I4, &got), S_OK);
  EXPECT_EQ(got, 4);
  EXPECT_EQ(ToInteger(Str(u"2.5"), VT_I4, &got), S_OK);
  EXPECT_EQ(got, 2);
  EXPECT_EQ(ToInteger(Str(u"-3.5"), VT_I2, &got), S_OK);
  EXPECT_EQ(got, -4);
  EXPECT_EQ(ToInteger(R8(-0.5), VT_UI1, &got), S_OK);  // rounds to zero, which fits
  EXPECT_EQ(got, 0);
}

TEST(VariantChangeType, OverflowsExactlyAtEachIntegerWidthsEdges) {
  struct Width {
    VARTYPE vt;
    long double min, max;
  };
  const Width widths[] = {{VT_I1, -128, 127},           {VT_UI1, 0, 255},       {VT_I2, -32768, 32767},
                          {VT_UI2, 0, 65535},           {VT_I4, -2147483648.0L, 2147483647},
                          {VT_INT, -2147483648.0L, 2147483647}, {VT_UI4, 0, 4294967295.0L},
                          {VT_UINT, 0, 4294967295.0L}};
  for (const Width& w : widths) {
    SCOPED_TRACE(testing::Message() << "vt " << w.vt);
    long double got = 0;
    EXPECT_EQ(ToInteger(I8(static_cast<LONGLONG>(w.max)), w.vt, &got), S_OK);
    EXPECT_EQ(got, w.max);
    EXPECT_EQ(ToInteger(I8(static_cast<LONGLONG>(w.min)), w.vt, &got), S_OK);
    EXPECT_EQ(got, w.min);
    EXPECT_EQ(ToInteger(I8(static_cast<LONGLONG>(w.max) + 1), w.vt, &got), DISP_E_OVERFLOW);
    EXPECT_EQ(ToInteger(I8(static_cast<LONGLONG>(w.min) - 1), w.vt, &got), DISP_E_OVERFLOW);
    // Rounding comes before the range check: every maximum is odd and every minimum even.
    EXPECT_EQ(ToInteger(R8(static_cast<double>(w.max) + 0.5), w.vt, &got), DISP_E_OVERFLOW);
    EXPECT_EQ(ToInteger(R8(static_cast<double>(w.min) - 0.5), w.vt, &got), S_OK);
    EXPECT_EQ(got, w.min);
    EXPECT_EQ(ToInteger(R8(static_cast<double>(w.min) - 0.6), w.vt, &got), DISP_E_OVERFLOW);
  }
  long double got = 0;
  EXPECT_EQ(ToInteger(Str(u"9223372036854775807"), VT_I8, &got), S_OK);
  EXPECT_EQ(got, 9223372036854775807.0L);
  EXPECT_EQ(ToInteger(Str(u"-9223372036854775808"), VT_I8, &got), S_OK);
  EXPECT_EQ(ToInteger(Str(u"9223372036854775808"), VT_I8, &got), DISP_E_OVERFLOW);
  EXPECT_EQ(ToInteger(Str(u"-9223372036854775809"), VT_I8, &got), DISP_E_OVERFLOW);
  EXPECT_EQ(ToInteger(Str(u"18446744073709551615"), VT_UI8, &got), S_OK);
  EXPECT_EQ(got, 18446744073709551615.0L);
  EXPECT_EQ(ToInteger(Str(u"18446744073709551616"), VT_UI8, &got), DISP_E_OVERFLOW);
  EXPECT_EQ(ToInteger(I8(-1), VT_UI8, &got), DISP_E_OVERFLOW);
  EXPECT_EQ(ToInteger(R8(9223372036854775808.0), VT_I8, &got), DISP_E_OVERFLOW);
  EXPECT_EQ(ToInteger(R8(std::nan("")), VT_I4, &got), DISP_E_OVERFLOW);
  EXPECT_EQ(ToInteger(R8(INFINITY), VT_I4, &got), DISP_E_OVERFLOW);
  EXPECT_EQ(ToInteger(Str(u"1e100"), VT_I4, &got), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, ReadsNumericTextAndRejectsEverythingElse) {
  long double got = 0;
  const std::pair<std::u16string, long double> integers[] = {
      {u"42", 42}, {u" 7 ", 7}, {u"\t-12\t", -12}, {u"+4", 4},     {u"1e3", 1000},
      {u"1,000", 1000}, {u"1,234,567", 1234567}, {u"&H1F", 31}, {u"&h1f", 31}, {u"&O17", 15},
      {u"5.", 5},   {u"0.00", 0}};
  for (const auto& [text, expected] : integers) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    EXPECT_EQ(ToInteger(Str(text), VT_I4, &got), S_OK);
    EXPECT_EQ(got, expected);
  }
  // Hexadecimal literals are bit patterns of the target's width.
  EXPECT_EQ(ToInteger(Str(u"&HFFFF"), VT_I2, &got), S_OK);
  EXPECT_EQ(got, -1);
  EXPECT_EQ(ToInteger(Str(u"&H1FFFF"), VT_I2, &got), DISP_E_OVERFLOW);

  for (const char16_t* bad : {u"", u"   ", u"abc", u"1 2", u"1e", u"1e+", u"--1", u"1.2.3", u",5", u"$5", u"&H",
                              u"&HG", u"0x1F", u"1-"}) {
    SCOPED_TRACE(std::string(bad, bad + std::char_traits<char16_t>::length(bad)));
    Variant out;
    EXPECT_EQ(Change(&out, Str(bad), VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Change(&out, Str(bad), VT_R8), DISP_E_TYPEMISMATCH);
  }

  Variant out;
  ASSERT_EQ(Change(&out, Str(u" -3.5 "), VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, -3.5);
  ASSERT_EQ(Change(&out, Str(u".5e-1"), VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, 0.05);
  EXPECT_EQ(Change(&out, Str(u"1e400"), VT_R8), DISP_E_OVERFLOW);
  ASSERT_EQ(Change(&out, Str(u"1e-400"), VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, 0.0);
  // Text converts to currency exactly, rounding half to even at the fourth decimal.
  ASSERT_EQ(Change(&out, Str(u"1.5"), VT_CY), S_OK);
  EXPECT_EQ(out.cyVal.int64, 15000);
  ASSERT_EQ(Change(&out, Str(u"0.00015"), VT_CY), S_OK);
  EXPECT_EQ(out.cyVal.int64, 2);
  ASSERT_EQ(Change(&out, Str(u"0.00005"), VT_CY), S_OK);
  EXPECT_EQ(out.cyVal.int64, 0);
}

TEST(VariantChangeType, FormatsNumbersAsThePlatformDoes) {
  const std::pair<double, std::u16string> reals[] = {
      {0.1, u"0.1"},           {2.5, u"2.5"},     {1e20, u"1E+20"},   {1.0 / 3, u"0.333333333333333"},
      {0.00001, u"1E-05"},     {0.0001, u"0.0001"}, {123456789012345678.0, u"1.23456789012346E+17"},
      {-0.0, u"0"},            {-42.0, u"-42"},   {1e15, u"1E+15"},   {123456789012345.0, u"123456789012345"},
      {1e-300, u"1E-300"}};
  for (const auto& [value, text] : reals) EXPECT_EQ(AsText(R8(value)), text) << value;

  Variant r4;
  r4.vt = VT_R4;
  for (const auto& [value, text] : {std::pair<float, std::u16string>{0.1f, u"0.1"}, {1.0f / 3, u"0.3333333"},
                                    {16777216.0f, u"1.677722E+07"}, {1234567.0f, u"1234567"}, {1e20f, u"1E+20"}}) {
    r4.fltVal = value;
    EXPECT_EQ(AsText(r4), text) << value;
  }

  EXPECT_EQ(AsText(I8(-9223372036854775807LL - 1)), u"-9223372036854775808");
  Variant u8;
  u8.vt = VT_UI8, u8.ullVal = 18446744073709551615ULL;
  EXPECT_EQ(AsText(u8), u"18446744073709551615");
  Variant i1;
  i1.vt = VT_I1, i1.cVal = static_cast<CHAR>(-5);
  EXPECT_EQ(AsText(i1), u"-5");

  Variant cy;
  cy.vt = VT_CY;
  for (const auto& [scaled, text] : {std::pair<LONGLONG, std::u16string>{15000, u"1.5"}, {-5000, u"-0.5"},
                                     {123456789, u"12345.6789"}, {70000, u"7"}, {1, u"0.0001"}, {-10, u"-0.001"}}) {
    cy.cyVal.int64 = scaled;
    EXPECT_EQ(AsText(cy), text) << scaled;
  }

  Variant date;
  date.vt = VT_DATE;
  const std::pair<double, std::u16string> dates[] = {
      {37636, u"1/15/2003"},         {37636 + 1.0 / 3, u"1/15/2003 8:00:00 AM"}, {1.0 / 3, u"8:00:00 AM"},
      {0, u"12:00:00 AM"},           {0.5, u"12:00:00 PM"},   {-1.25, u"12/29/1899 6:00:00 AM"},
      {-0.5, u"12:00:00 PM"},        {37636.999999, u"1/16/2003"}, {-657434, u"1/1/0100"},
      {2958465 + 86399.0 / 86400, u"12/31/9999 11:59:59 PM"}};
  for (const auto& [value, text] : dates) {
    date.date = value;
    EXPECT_EQ(AsText(date), text) << value;
  }
  date.date = 2958466;
  Variant out;
  EXPECT_EQ(VariantChangeType(&out, &date, 0, VT_BSTR), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, BooleansAsNumbersAndText) {
  Variant b;
  b.vt = VT_BOOL, b.boolVal = VARIANT_TRUE;
  long double got = 0;
  EXPECT_EQ(ToInteger(b, VT_I4, &got), S_OK);
  EXPECT_EQ(got, -1);
  EXPECT_EQ(ToInteger(b, VT_UI1, &got), S_OK);  // the bit pattern of -1
  EXPECT_EQ(got, 255);
  EXPECT_EQ(AsText(b), u"-1");
  EXPECT_EQ(AsText(b, VARIANT_ALPHABOOL), u"True");
  EXPECT_EQ(AsText(b, VARIANT_LOCALBOOL), u"True");
  b.boolVal = VARIANT_FALSE;
  EXPECT_EQ(AsText(b), u"0");
  EXPECT_EQ(AsText(b, VARIANT_ALPHABOOL), u"False");

  Variant out;
  const std::pair<Variant, VARIANT_BOOL> toBool[] = {
      {R8(0), VARIANT_FALSE},       {R8(2.5), VARIANT_TRUE},      {R8(-0.0), VARIANT_FALSE},
      {I8(-7), VARIANT_TRUE},       {Str(u"true"), VARIANT_TRUE}, {Str(u" FALSE "), VARIANT_FALSE},
      {Str(u"#TRUE#"), VARIANT_TRUE}, {Str(u"0"), VARIANT_FALSE}, {Str(u"3"), VARIANT_TRUE},
      {Str(u"0.0001"), VARIANT_TRUE}};
  for (const auto& [src, expected] : toBool) {
    ASSERT_EQ(VariantChangeType(&out, &src, 0, VT_BOOL), S_OK);
    EXPECT_EQ(out.vt, VT_BOOL);
    EXPECT_EQ(out.boolVal, expected);
  }
  EXPECT_EQ(Change(&out, Str(u"yes"), VT_BOOL), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Change(&out, Str(u""), VT_BOOL), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, EmptyNullErrorAndBadTypes) {
  Variant empty, out;
  ASSERT_EQ(VariantChangeType(&out, &empty, 0, VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 0);
  ASSERT_EQ(VariantChangeType(&out, &empty, 0, VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, 0.0);
  ASSERT_EQ(VariantChangeType(&out, &empty, 0, VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_FALSE);
  ASSERT_EQ(VariantChangeType(&out, &empty, 0, VT_BSTR), S_OK);
  EXPECT_EQ(TextOf(out.bstrVal), u"");
  ASSERT_EQ(VariantChangeType(&out, &empty, 0, VT_DATE), S_OK);
  EXPECT_EQ(out.date, 0.0);

  Variant null;
  null.vt = VT_NULL;
  Variant error;
  error.vt = VT_ERROR, error.scode = DISP_E_PARAMNOTFOUND;
  for (VARTYPE vt : {VT_I4, VT_R8, VT_BSTR, VT_BOOL, VT_DATE, VT_CY, VT_EMPTY, VT_DISPATCH}) {
    EXPECT_EQ(VariantChangeType(&out, &null, 0, vt), DISP_E_TYPEMISMATCH) << vt;
    EXPECT_EQ(VariantChangeType(&out, &error, 0, vt), DISP_E_TYPEMISMATCH) << vt;
  }
  ASSERT_EQ(VariantChangeType(&out, &null, 0, VT_NULL), S_OK);
  EXPECT_EQ(out.vt, VT_NULL);
  ASSERT_EQ(VariantChangeType(&out, &error, 0, VT_ERROR), S_OK);
  EXPECT_EQ(out.scode, DISP_E_PARAMNOTFOUND);
  for (VARTYPE vt : {VT_NULL, VT_ERROR, VT_EMPTY, VT_UNKNOWN})
    EXPECT_EQ(Change(&out, R8(1), vt), DISP_E_TYPEMISMATCH) << vt;

  for (VARTYPE vt : std::initializer_list<VARTYPE>{VT_DECIMAL, VT_VARIANT, VT_RECORD, VT_I4 | VT_BYREF,
                                                  VT_I4 | VT_ARRAY, 0x7F})
    EXPECT_EQ(Change(&out, R8(1), vt), DISP_E_BADVARTYPE) << vt;
  Variant odd;
  odd.vt = 0x7F;
  EXPECT_EQ(VariantChangeType(&out, &odd, 0, VT_I4), DISP_E_BADVARTYPE);
  odd.vt = VT_I4 | VT_ARRAY;
  EXPECT_EQ(VariantChangeType(&out, &odd, 0, VT_I4), DISP_E_BADVARTYPE);
  odd.vt = VT_EMPTY;
  EXPECT_EQ(VariantChangeType(nullptr, &odd, 0, VT_I4), E_INVALIDARG);
}

TEST(VariantChangeType, FailureLeavesTheDestinationAlone) {
  Variant dest = Str(u"keep");
  const BSTR kept = dest.bstrVal;
  EXPECT_EQ(Change(&dest, Str(u"abc"), VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Change(&dest, R8(1e10), VT_I4), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(&dest, R8(1), VT_DECIMAL), DISP_E_BADVARTYPE);
  EXPECT_EQ(dest.vt, VT_BSTR);
  EXPECT_EQ(dest.bstrVal, kept);

  // In place: the source is read before the destination is cleared.
  Variant v = Str(u"42");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
  EXPECT_EQ(v.vt, VT_I4);
  EXPECT_EQ(v.lVal, 42);
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
  EXPECT_EQ(TextOf(v.bstrVal), u"42");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
  EXPECT_EQ(TextOf(v.bstrVal), u"42");
  EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_DISPATCH), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(TextOf(v.bstrVal), u"42");
}

TEST(VariantChangeType, FollowsReferences) {
  double d = 2.5;
  BSTR s = SysAllocStringLen(u"x\0y", 3);
  Variant byref, out;
  byref.vt = VT_R8 | VT_BYREF, byref.pdblVal = &d;
  ASSERT_EQ(VariantChangeType(&out, &byref, 0, VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 2);

  byref.vt = VT_BSTR | VT_BYREF, byref.pbstrVal = &s;
  ASSERT_EQ(VariantChangeType(&out, &byref, 0, VT_BSTR), S_OK);
  EXPECT_NE(out.bstrVal, s);
  EXPECT_EQ(TextOf(out.bstrVal), TextOf(s));

  Variant inner = Str(u"17");
  byref.vt = VT_VARIANT | VT_BYREF, byref.pvarVal = &inner;
  ASSERT_EQ(VariantChangeType(&byref, &byref, 0, VT_I2), S_OK);  // in place over a reference
  EXPECT_EQ(byref.iVal, 17);
  EXPECT_EQ(TextOf(inner.bstrVal), u"17");
  SysFreeString(s);
}

TEST(VariantChangeType, DatesCurrencyAndRealRanges) {
  Variant out, date;
  date.vt = VT_DATE, date.date = 1.5;
  ASSERT_EQ(VariantChangeType(&out, &date, 0, VT_CY), S_OK);
  EXPECT_EQ(out.cyVal.int64, 15000);
  ASSERT_EQ(VariantChangeType(&out, &out, 0, VT_DATE), S_OK);
  EXPECT_EQ(out.date, 1.5);
  EXPECT_EQ(Change(&out, R8(2958466), VT_DATE), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(&out, R8(-657435), VT_DATE), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(&out, R8(std::nan("")), VT_DATE), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(&out, R8(-657434.5), VT_DATE), S_OK);

  EXPECT_EQ(Change(&out, R8(1e39), VT_R4), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(&out, R8(-1e39), VT_R4), DISP_E_OVERFLOW);
  ASSERT_EQ(Change(&out, R8(FLT_MAX), VT_R4), S_OK);
  EXPECT_EQ(out.fltVal, FLT_MAX);
  ASSERT_EQ(Change(&out, R8(0.1), VT_R4), S_OK);
  EXPECT_EQ(out.fltVal, 0.1f);

  ASSERT_EQ(Change(&out, I8(922337203685477), VT_CY), S_OK);
  EXPECT_EQ(out.cyVal.int64, 9223372036854770000LL);
  EXPECT_EQ(Change(&out, I8(922337203685478), VT_CY), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(&out, R8(1e15), VT_CY), DISP_E_OVERFLOW);
  ASSERT_EQ(Change(&out, R8(0.00025), VT_CY), S_OK);
  EXPECT_EQ(out.cyVal.int64, 2);  // 2.5 units of 1/10000, half to even
}

TEST(VariantChangeType, ReadsDateText) {
  const std::pair<std::u16string, double> texts[] = {
      {u"2003-01-15", 37636},
      {u"1/15/2003", 37636},
      {u"1/15/2003 8:00:00 AM", 37636 + 1.0 / 3},
      {u"1/15/2003 8:00 PM", 37636 + 20.0 / 24},
      {u"2003-01-15T08:30:00", 37636 + 8.5 / 24},
      {u"08:30", 8.5 / 24},
      {u"12:00 AM", 0},
      {u"8 pm", 20.0 / 24},
      {u"37636.5", 37636.5},
      {u"Jan 15, 2003", 37636},
      {u"15-Jan-2003", 37636},
      {u"15 January 2003", 37636},
      {u"1/15/03", 37636},
      {u"1/1/30", 10959},
      {u"2/29/2004", 38046},
      {u"12/29/1899 6:00", -1.25},
      {u"1/1/100", -657434},
  };
  Variant out;
  for (const auto& [text, expected] : texts) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    ASSERT_EQ(Change(&out, Str(text), VT_DATE), S_OK);
    EXPECT_NEAR(out.date, expected, 1e-9);
  }
  for (const char16_t* bad : {u"2/29/2003", u"2/30/2004 8:00", u"13/1/2003", u"1/15/2003 25:00", u"13:00 PM",
                              u"8:60", u"1/15/2003 junk", u"Foo 15, 2003", u"8 o", u"", u"1/1/10000"}) {
    SCOPED_TRACE(std::string(bad, bad + std::char_traits<char16_t>::length(bad)));
    EXPECT_EQ(Change(&out, Str(bad), VT_DATE), DISP_E_TYPEMISMATCH);
  }
}

TEST(VariantChangeType, ObjectsGiveTheirDefaultValue) {
  ValueObject object;
  object.value.vt = VT_R8, object.value.dblVal = 2.5;
  {
    Variant disp, out;
    disp.vt = VT_DISPATCH, disp.pdispVal = &object;
    object.AddRef();
    ASSERT_EQ(VariantChangeType(&out, &disp, 0, VT_I4), S_OK);
    EXPECT_EQ(out.lVal, 2);
    EXPECT_EQ(AsText(disp), u"2.5");
    EXPECT_EQ(object.invokes, 2);
    EXPECT_EQ(VariantChangeType(&out, &disp, VARIANT_NOVALUEPROP, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(object.invokes, 2);

    ASSERT_EQ(VariantChangeType(&out, &disp, 0, VT_DISPATCH), S_OK);
    EXPECT_EQ(out.pdispVal, &object);
    EXPECT_EQ(object.refs, 3u);
    ASSERT_EQ(VariantChangeType(&out, &disp, 0, VT_UNKNOWN), S_OK);
    EXPECT_EQ(out.punkVal, static_cast<IUnknown*>(&object));
    ASSERT_EQ(VariantChangeType(&out, &out, 0, VT_DISPATCH), S_OK);
    EXPECT_EQ(out.vt, VT_DISPATCH);
    EXPECT_EQ(object.refs, 3u);

    object.hasValue = false;
    EXPECT_EQ(VariantChangeType(&out, &disp, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(out.vt, VT_DISPATCH);  // unchanged
  }
  EXPECT_EQ(object.refs, 1u);

  PlainObject plain;
  {
    Variant unk, out;
    unk.vt = VT_UNKNOWN, unk.punkVal = &plain;
    plain.AddRef();
    EXPECT_EQ(VariantChangeType(&out, &unk, 0, VT_DISPATCH), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantChangeType(&out, &unk, 0, VT_I4), DISP_E_TYPEMISMATCH);
  }
  EXPECT_EQ(plain.refs, 1u);

  Variant nullDisp, out;
  nullDisp.vt = VT_DISPATCH;
  EXPECT_EQ(VariantChangeType(&out, &nullDisp, 0, VT_I4), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(VariantChangeType(&out, &nullDisp, 0, VT_UNKNOWN), S_OK);
  EXPECT_EQ(out.vt, VT_UNKNOWN);
  EXPECT_EQ(out.punkVal, nullptr);
}

}  // namespace
