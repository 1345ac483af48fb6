// The axes call a host's label list by vtable entry: LabelAt is entry 8, LabelCount 14 and
// HasLabel 17, counting QueryInterface as 1. A host compiled against another declaration order
// would receive the wrong calls, so the entries are checked on the real vtable.
#include "support/vtable_entry.h"

#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

namespace kelmira::test {
namespace {

TEST(TickLabelList, MembersFollowTheDispatchEntries) {
  // Known entries of the bases first: they show that the decoding itself is right.
  EXPECT_EQ(2u, EntryOf(&IUnknown::AddRef));
  EXPECT_EQ(7u, EntryOf(&IDispatch::Invoke));
  const std::size_t entries[] = {EntryOf(&ITickLabelList::LabelAt),     EntryOf(&ITickLabelList::SetLabel),
                                 EntryOf(&ITickLabelList::AddLabel),    EntryOf(&ITickLabelList::InsertLabel),
                                 EntryOf(&ITickLabelList::RemoveLabel), EntryOf(&ITickLabelList::Clear),
                                 EntryOf(&ITickLabelList::LabelCount),  EntryOf(&ITickLabelList::SetLabelCount),
                                 EntryOf(&ITickLabelList::ClearLabel),  EntryOf(&ITickLabelList::HasLabel)};
  for (std::size_t i = 0; i < std::size(entries); ++i) EXPECT_EQ(8 + i, entries[i]) << "member " << i;
}

}  // namespace
}  // namespace kelmira::test
