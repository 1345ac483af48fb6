// Persistence: size, limits and extents as raw entries in map order; no property pages.
#include "container/container_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

ComPtr<IStream> StreamOf(const std::vector<unsigned char>& bytes) {
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  return stream;
}

std::vector<unsigned char> Saved(IGraphicsContainer* c) {
  ComPtr<IPersistStreamInit> persist;
  c->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  ComPtr<IStream> stream = StreamOf({});
  EXPECT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  ULARGE_INTEGER end{};
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_END, &end);
  std::vector<unsigned char> bytes(static_cast<size_t>(end.QuadPart));
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  return bytes;
}

HRESULT Load(IGraphicsContainer* c, const std::vector<unsigned char>& bytes) {
  ComPtr<IPersistStreamInit> persist;
  c->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  return persist->Load(StreamOf(bytes).get());
}

TEST(PersistTest, LimitsGoBeforeTheExtentsAndLoadBackExactly) {
  auto c = NewContainer();
  c->SetExtents(0, 10, 0, 1);
  c->SetLimits(2, 4, 0, 1);
  auto bytes = Saved(c.get());
  ASSERT_EQ(bytes.size(), 2u + 4 + 4 + 8 * 8);  // version word, _cx, _cy, eight doubles
  const double expected[] = {2, 4, 0, 1, 0, 10, 0, 1};
  EXPECT_EQ(std::memcmp(bytes.data() + 10, expected, sizeof expected), 0);

  auto loaded = NewContainer();
  auto sink = Connect(loaded.get());
  ASSERT_EQ(Load(loaded.get(), bytes), S_OK);
  EXPECT_EQ(LimitsOf(loaded.get()), (Four{2, 4, 0, 1}));
  EXPECT_EQ(ExtentsOf(loaded.get()), (Four{0, 10, 0, 1}));
  EXPECT_TRUE(sink->events.empty());

  // Limits outside the extents are kept as loaded until the next SetLimits.
  const double outside[] = {150, 250};
  std::memcpy(bytes.data() + 10, outside, sizeof outside);
  ASSERT_EQ(Load(loaded.get(), bytes), S_OK);
  EXPECT_EQ(LimitsOf(loaded.get()).xMax, 250.0);
  loaded->SetLimits(150, 250, 0, 1);
  EXPECT_EQ(LimitsOf(loaded.get()), (Four{0, 10, 0, 1}));

  // A short stream fails; what was read before the end stays.
  auto fresh = NewContainer();
  bytes.resize(10 + 8 * 5 + 3);
  EXPECT_TRUE(FAILED(Load(fresh.get(), bytes)));
  EXPECT_EQ(LimitsOf(fresh.get()).xMax, 250.0);
  EXPECT_EQ(ExtentsOf(fresh.get()), (Four{0, 100, 0, 100}));
  EXPECT_TRUE(FAILED(Load(fresh.get(), {})));
}

TEST(PersistTest, ViewChangesAreNotDirtAndThereAreNoPages) {
  auto c = NewContainer();
  c->SetExtents(-1, 1, -2, 2);
  ComPtr<IPersistStorage> asStorage;
  ASSERT_EQ(c->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&asStorage)), S_OK);
  EXPECT_EQ(asStorage->IsDirty(), S_FALSE);  // changing the view does not mark the control

  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_EQ(c->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&pages)), S_OK);
  CAUUID list{};
  pages->GetPages(&list);
  EXPECT_EQ(list.cElems, 0u);
  ComPtr<IProvideClassInfo2> info;
  ASSERT_EQ(c->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)), S_OK);
  GUID source{};
  info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source);
  EXPECT_TRUE(IsEqualGUID(source, DIID_IGraphicsEvents));
}

}  // namespace
