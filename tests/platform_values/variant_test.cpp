// VariantClear, VariantCopy and VariantCopyInd: who owns strings and interfaces, and references.
#include "support/value_object.h"
#include "support/variant_values.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace kelmira::test;

TEST(Variant, ClearAndCopyReleaseWhatTheyOwnAndCopyIndFollowsReferences) {
  ValueObject object;
  BSTR s = SysAllocString(u"owned elsewhere");
  VARIANT v, ref;
  v.vt = VT_DISPATCH, v.pdispVal = &object;
  ref.vt = VT_BSTR | VT_BYREF, ref.pbstrVal = &s;  // references are not followed
  object.AddRef();
  ASSERT_EQ(VariantClear(&v) | VariantClear(&ref), S_OK);
  EXPECT_EQ(std::tuple(v.vt, object.refs, TextOf(s)), std::tuple(VARTYPE{VT_EMPTY}, 1u, u"owned elsewhere"));
  SysFreeString(s);
  for (VARTYPE bad : std::initializer_list<VARTYPE>{VT_I4 | VT_ARRAY, VT_VARIANT, VT_EMPTY | VT_BYREF, 0x7F}) {
    v.vt = bad;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE) << bad;
    EXPECT_EQ(v.vt, bad);
  }

  // Copies are deep and clear the destination first; a destination that cannot be cleared is
  // kept, and the copy is freed (the leak checker knows).
  const std::u16string nuls(u"t\0x\0", 4);
  Variant src, dest = Str(u"old"), text = Str(nuls);
  src.vt = VT_UNKNOWN, src.punkVal = &object;
  object.AddRef();
  ASSERT_EQ(VariantCopy(&dest, &src), S_OK);  // the old string is freed
  src.vt = VT_DISPATCH;                       // the same object through IDispatch
  EXPECT_EQ((std::vector<HRESULT>{VariantCopy(&dest, &src), VariantCopy(&dest, &dest)}), std::vector<HRESULT>(2));
  EXPECT_EQ(object.refs, 3u);
  ASSERT_EQ(VariantCopy(&dest, &text), S_OK);
  EXPECT_EQ(object.refs, 2u);
  EXPECT_NE(dest.bstrVal, text.bstrVal);
  v.vt = VT_I4 | VT_ARRAY;
  EXPECT_EQ((std::vector<HRESULT>{VariantCopy(&dest, &v), VariantCopy(&v, &text)}),
            std::vector<HRESULT>(2, DISP_E_BADVARTYPE));
  EXPECT_EQ(TextOf(dest.bstrVal), nuls);
  LONG number = 5;
  ref.vt = VT_I4 | VT_BYREF, ref.plVal = &number;
  ASSERT_EQ(VariantCopy(&dest, &ref), S_OK);  // a reference copies as the reference
  EXPECT_EQ(dest.plVal, &number);
  src.Clear();

  // VariantCopyInd and VariantChangeType follow references.
  double d = 2.5;
  BSTR str = SysAllocStringLen(u"x\0y", 3);
  Variant inner = Str(u"17"), byRef, out;
  byRef.vt = VT_R8 | VT_BYREF, byRef.pdblVal = &d;
  ASSERT_EQ(VariantCopyInd(&out, &byRef), S_OK);
  EXPECT_EQ(std::pair(out.vt, out.dblVal), std::pair(VARTYPE{VT_R8}, 2.5));
  byRef.vt = VT_BSTR | VT_BYREF, byRef.pbstrVal = &str;
  ASSERT_EQ(VariantCopyInd(&out, &byRef), S_OK);
  EXPECT_NE(out.bstrVal, str);
  EXPECT_EQ(TextOf(out.bstrVal), TextOf(str));
  SysFreeString(str);

  byRef.vt = VT_VARIANT | VT_BYREF, byRef.pvarVal = &inner;
  EXPECT_EQ(To(VT_I2, byRef), u"17");
  ASSERT_EQ(VariantCopyInd(&byRef, &byRef), S_OK);  // in place
  EXPECT_NE(byRef.bstrVal, inner.bstrVal);
  EXPECT_EQ(TextOf(byRef.bstrVal), u"17");

  VARIANT loop;
  loop.vt = VT_VARIANT | VT_BYREF, loop.pvarVal = &loop;
  EXPECT_EQ(VariantCopyInd(&out, &loop), E_INVALIDARG);
}

}  // namespace
