// VariantClear, VariantCopy and VariantCopyInd: ownership of strings, interfaces and records.
#include "platform_values/value_helpers.h"

#include <gtest/gtest.h>

namespace {

using namespace values_test;

// A record type whose records are plain ints, counting what the runtime asks of it.
class IntRecordInfo : public IRecordInfo {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE RecordInit(PVOID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RecordClear(PVOID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RecordCopy(PVOID, PVOID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetGuid(GUID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSize(ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetField(PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID, LPCOLESTR, VARIANT*, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutField(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG*, BSTR*) override { return E_NOTIMPL; }
  BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo* other) override { return other == this; }
  PVOID STDMETHODCALLTYPE RecordCreate() override { return nullptr; }
  HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID source, PVOID* dest) override {
    if (live == 2) return E_OUTOFMEMORY;
    slots[live] = *static_cast<int*>(source);
    *dest = &slots[live++];
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID) override {
    ++destroyed;
    return S_OK;
  }

  ULONG refs = 1;
  int slots[2] = {};
  int live = 0;
  int destroyed = 0;
};

TEST(Variant, ClearReleasesWhatItOwnsAndNothingElse) {
  ValueObject object;
  Variant v;
  v.vt = VT_DISPATCH, v.pdispVal = &object;
  object.AddRef();
  ASSERT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(object.refs, 1u);

  BSTR s = SysAllocString(u"owned elsewhere");
  v.vt = VT_BSTR | VT_BYREF, v.pbstrVal = &s;
  ASSERT_EQ(VariantClear(&v), S_OK);  // references are not followed
  EXPECT_EQ(TextOf(s), u"owned elsewhere");
  SysFreeString(s);

  for (VARTYPE bad : std::initializer_list<VARTYPE>{VT_I4 | VT_ARRAY, VT_VARIANT, VT_EMPTY | VT_BYREF, 0x7F,
                                                    VT_I4 | VT_VECTOR}) {
    v.vt = bad;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE) << bad;
    EXPECT_EQ(v.vt, bad);
  }
  v.vt = VT_EMPTY;
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(Variant, CopyIsDeepAndClearsTheDestinationFirst) {
  ValueObject object;
  Variant src, dest = Str(u"old");
  src.vt = VT_UNKNOWN, src.punkVal = &object;
  object.AddRef();
  ASSERT_EQ(VariantCopy(&dest, &src), S_OK);  // the old string is freed (the leak checker knows)
  EXPECT_EQ(dest.punkVal, static_cast<IUnknown*>(&object));
  EXPECT_EQ(object.refs, 3u);
  ASSERT_EQ(VariantCopy(&dest, &dest), S_OK);
  EXPECT_EQ(object.refs, 3u);

  Variant text = Str(u"text");
  ASSERT_EQ(VariantCopy(&dest, &text), S_OK);
  EXPECT_EQ(object.refs, 2u);
  EXPECT_NE(dest.bstrVal, text.bstrVal);
  EXPECT_EQ(TextOf(dest.bstrVal), u"text");

  Variant bad;
  bad.vt = VT_I4 | VT_ARRAY;
  EXPECT_EQ(VariantCopy(&dest, &bad), DISP_E_BADVARTYPE);
  EXPECT_EQ(TextOf(dest.bstrVal), u"text");
  bad.vt = VT_EMPTY;

  LONG number = 5;
  Variant ref;
  ref.vt = VT_I4 | VT_BYREF, ref.plVal = &number;
  ASSERT_EQ(VariantCopy(&dest, &ref), S_OK);  // a reference copies as the reference
  EXPECT_EQ(dest.plVal, &number);
  src.Clear();
}

TEST(Variant, CopyIndFollowsReferences) {
  LONG number = 5;
  BSTR s = SysAllocString(u"shared");
  Variant inner = Str(u"inner");
  Variant ref, dest;
  ref.vt = VT_I4 | VT_BYREF, ref.plVal = &number;
  ASSERT_EQ(VariantCopyInd(&dest, &ref), S_OK);
  EXPECT_EQ(dest.vt, VT_I4);
  EXPECT_EQ(dest.lVal, 5);

  ref.vt = VT_BSTR | VT_BYREF, ref.pbstrVal = &s;
  ASSERT_EQ(VariantCopyInd(&dest, &ref), S_OK);
  EXPECT_NE(dest.bstrVal, s);
  EXPECT_EQ(TextOf(dest.bstrVal), u"shared");

  ref.vt = VT_VARIANT | VT_BYREF, ref.pvarVal = &inner;
  ASSERT_EQ(VariantCopyInd(&ref, &ref), S_OK);  // in place
  EXPECT_EQ(ref.vt, VT_BSTR);
  EXPECT_NE(ref.bstrVal, inner.bstrVal);
  EXPECT_EQ(TextOf(ref.bstrVal), u"inner");

  Variant loop;
  loop.vt = VT_VARIANT | VT_BYREF, loop.pvarVal = &loop;
  EXPECT_EQ(VariantCopyInd(&dest, &loop), E_INVALIDARG);
  loop.vt = VT_EMPTY;
  SysFreeString(s);
}

TEST(Variant, RecordsAreCopiedAndDestroyedThroughTheirRecordInfo) {
  IntRecordInfo info;
  int record = 42;
  {
    Variant v, copy;
    v.vt = VT_RECORD, v.brecVal.pvRecord = &record, v.brecVal.pRecInfo = &info;
    info.AddRef();
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    EXPECT_EQ(*static_cast<int*>(copy.brecVal.pvRecord), 42);
    EXPECT_NE(copy.brecVal.pvRecord, &record);
    EXPECT_EQ(info.refs, 3u);
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    EXPECT_EQ(info.destroyed, 1);
    // A failed record copy leaves the destination as it was.
    EXPECT_EQ(VariantCopy(&copy, &v), E_OUTOFMEMORY);
    EXPECT_EQ(copy.vt, VT_RECORD);
    EXPECT_EQ(info.destroyed, 1);
  }
  EXPECT_EQ(info.destroyed, 3);
  EXPECT_EQ(info.refs, 1u);
}

}  // namespace
