// Persistence: size, limits and extents as raw entries in map order; no property pages.
#include "support/create.h"
#include "support/event_recorder.h"
#include "support/memory_stream.h"
#include "support/view_limits.h"

#include <cstring>

namespace kelmira::test {
namespace {

using Bytes = std::vector<BYTE>;

HRESULT Load(const ComPtr<IGraphicsContainer>& c, const Bytes& bytes) {
  return c.As<IPersistStreamInit>()->Load(StreamOf(bytes).get());
}

TEST(PersistTest, LimitsGoBeforeTheExtentsAndLoadBackExactly) {
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  c->SetExtents(0, 10, 0, 1);
  c->SetLimits(2, 4, 0, 1);
  EXPECT_EQ(c.As<IPersistStorage>()->IsDirty(), S_FALSE);  // changing the view does not mark the control
  CAUUID pages{};
  c.As<ISpecifyPropertyPages>()->GetPages(&pages);
  EXPECT_EQ(pages.cElems, 0u);

  ComPtr<IStream> stream = StreamOf();
  ASSERT_EQ(c.As<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
  Bytes bytes = BytesOf(stream.get());
  ASSERT_EQ(bytes.size(), 2u + 4 + 4 + 8 * 8);  // version word, _cx, _cy, eight doubles
  const double expected[] = {2, 4, 0, 1, 0, 10, 0, 1};
  EXPECT_EQ(std::memcmp(bytes.data() + 10, expected, sizeof expected), 0);

  auto loaded = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto sink = EventRecorder::Make();
  sink->Advise(loaded.get(), DIID_IGraphicsEvents);
  ASSERT_EQ(Load(loaded, bytes), S_OK);
  EXPECT_EQ(std::pair(Limits(loaded.get()), Extents(loaded.get())), std::pair(View{2, 4, 0, 1}, View{0, 10, 0, 1}));
  EXPECT_TRUE(sink->Calls().empty());

  // Limits outside the extents are kept as loaded until the next SetLimits.
  const double outside[] = {150, 250};
  std::memcpy(bytes.data() + 10, outside, sizeof outside);
  ASSERT_EQ(Load(loaded, bytes), S_OK);
  EXPECT_EQ(Limits(loaded.get())[1], 250.0);
  loaded->SetLimits(150, 250, 0, 1);
  EXPECT_EQ(Limits(loaded.get()), (View{0, 10, 0, 1}));

  // A short stream fails; what was read before the end stays.
  auto fresh = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  bytes.resize(10 + 8 * 5 + 3);
  EXPECT_TRUE(FAILED(Load(fresh, bytes)));
  EXPECT_EQ(std::pair(Limits(fresh.get())[1], Extents(fresh.get())), std::pair(250.0, View{0, 100, 0, 100}));
  EXPECT_TRUE(FAILED(Load(fresh, {})));
}

}  // namespace
}  // namespace kelmira::test
