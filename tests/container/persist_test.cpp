// Persistence: size, limits and extents as raw entries in map order, through a stream and a
// storage; no property pages.
#include "container/container_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using kelmira::ComPtr;

namespace {

ComPtr<IStream> NewStream() {
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  return stream;
}

void Rewind(IStream* stream) { stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr); }

std::vector<unsigned char> BytesOf(IStream* stream) {
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  Rewind(stream);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  return bytes;
}

double DoubleAt(const std::vector<unsigned char>& bytes, size_t offset) {
  double d = 0;
  std::memcpy(&d, bytes.data() + offset, sizeof d);
  return d;
}

ComPtr<IPersistStreamInit> PersistOf(IGraphicsContainer* c) {
  ComPtr<IPersistStreamInit> persist;
  c->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  return persist;
}

TEST(PersistTest, LimitsAreWrittenBeforeTheExtentsAndLoadBackExactly) {
  auto c = NewContainer();
  c->SetExtents(0, 10, 0, 1);
  c->SetLimits(2, 4, 0, 1);
  auto persist = PersistOf(c.get());
  ASSERT_TRUE(persist);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);  // changing the view does not mark the control
  auto stream = NewStream();
  ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);

  // A version word, _cx and _cy, then eight doubles: the limits, then the extents.
  auto bytes = BytesOf(stream.get());
  ASSERT_EQ(bytes.size(), 2u + 4 + 4 + 8 * 8);
  ULONG cx = 0;
  std::memcpy(&cx, bytes.data() + 2, 4);
  EXPECT_EQ(cx, 5080u);
  const double expected[] = {2, 4, 0, 1, 0, 10, 0, 1};
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(DoubleAt(bytes, 10 + 8 * i), expected[i]) << i;

  auto loaded = NewContainer();
  auto sink = Connect(loaded.get());
  Rewind(stream.get());
  ASSERT_EQ(PersistOf(loaded.get())->Load(stream.get()), S_OK);
  double v[4] = {};
  loaded->GetLimits(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(v[0], 2.0);
  EXPECT_EQ(v[1], 4.0);
  EXPECT_EQ(v[3], 1.0);
  loaded->GetExtents(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(v[1], 10.0);
  EXPECT_EQ(v[3], 1.0);
  EXPECT_TRUE(sink->events.empty());  // loading raises nothing

  // Through a storage, under "Contents".
  ComPtr<IStorage> storage;
  ASSERT_EQ(StgCreateStorageInMemory(&storage), S_OK);
  ComPtr<IPersistStorage> asStorage;
  ASSERT_EQ(c->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&asStorage)), S_OK);
  ASSERT_EQ(asStorage->Save(storage.get(), FALSE), S_OK);
  ComPtr<IStream> contents;
  ASSERT_EQ(storage->OpenStream(u"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents), S_OK);
  EXPECT_EQ(BytesOf(contents.get()), bytes);
}

TEST(PersistTest, LoadedLimitsOutsideTheExtentsAreKeptUntilTheNextSetLimits) {
  auto source = NewContainer();
  source->SetExtents(0, 100, 0, 100);
  auto stream = NewStream();
  ASSERT_EQ(PersistOf(source.get())->Save(stream.get(), TRUE), S_OK);
  // Patch the saved limits XMin..XMax to 150..250 (outside the extents).
  auto bytes = BytesOf(stream.get());
  const double outside[2] = {150, 250};
  std::memcpy(bytes.data() + 10, outside, sizeof outside);
  auto patched = NewStream();
  patched->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  Rewind(patched.get());

  auto c = NewContainer();
  ASSERT_EQ(PersistOf(c.get())->Load(patched.get()), S_OK);
  double v[4] = {};
  c->GetLimits(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(v[0], 150.0);
  EXPECT_EQ(v[1], 250.0);
  c->SetLimits(v[0], v[1], v[2], v[3]);
  c->GetLimits(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(v[0], 0.0);
  EXPECT_EQ(v[1], 100.0);
}

TEST(PersistTest, ATruncatedStreamFailsAndKeepsWhatWasRead) {
  auto source = NewContainer();
  source->SetExtents(0, 10, 0, 1);
  source->SetLimits(2, 4, 0, 1);
  auto stream = NewStream();
  PersistOf(source.get())->Save(stream.get(), TRUE);
  auto bytes = BytesOf(stream.get());
  bytes.resize(10 + 8 * 5 + 3);  // the limits, one extent and part of the next
  auto shortStream = NewStream();
  shortStream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  Rewind(shortStream.get());

  auto c = NewContainer();
  auto persist = PersistOf(c.get());
  HRESULT hr = persist->Load(shortStream.get());
  EXPECT_TRUE(FAILED(hr));
  double v[4] = {};
  c->GetLimits(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(v[0], 2.0);
  EXPECT_EQ(v[1], 4.0);
  c->GetExtents(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(v[0], 0.0);
  EXPECT_EQ(v[1], 100.0);  // never read: still the starting value

  auto empty = NewStream();
  EXPECT_TRUE(FAILED(persist->Load(empty.get())));
}

TEST(PersistTest, StandardAnswersOfTheControl) {
  auto c = NewContainer();
  auto persist = PersistOf(c.get());
  ULARGE_INTEGER size{};
  EXPECT_EQ(persist->GetSizeMax(&size), E_NOTIMPL);
  EXPECT_EQ(persist->InitNew(), S_OK);
  CLSID clsid{};
  persist->GetClassID(&clsid);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_GraphicsContainer));

  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_EQ(c->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&pages)), S_OK);
  CAUUID list{};
  ASSERT_EQ(pages->GetPages(&list), S_OK);
  EXPECT_EQ(list.cElems, 0u);

  // The default source interface is the events interface.
  ComPtr<IProvideClassInfo2> info;
  ASSERT_EQ(c->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)), S_OK);
  GUID source{};
  ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
  EXPECT_TRUE(IsEqualGUID(source, DIID_IGraphicsEvents));
}

TEST(PersistTest, AnAggregatedContainerAnswersLikeAPlainOne) {
  struct Outer : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
  } outer;
  ComPtr<IUnknown> inner;
  ASSERT_EQ(CoCreateInstance(CLSID_GraphicsContainer, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&inner)),
            S_OK);
  IGraphicsContainer* c = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IGraphicsContainer, reinterpret_cast<void**>(&c)), S_OK);
  c->SetLimits(-20, 30, 0, 100);
  double v[4] = {};
  c->GetLimits(&v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(v[0], 0.0);
  EXPECT_EQ(v[1], 50.0);
  c->Release();  // goes to the outer object; the inner reference ends the container
}

}  // namespace
