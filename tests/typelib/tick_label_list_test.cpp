// The axes call a host's label list by vtable entry: LabelAt is entry 8, LabelCount 14 and
// HasLabel 17, counting QueryInterface as 1. A host compiled against another declaration order
// would receive the wrong calls, so the entries are checked on the real vtable.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// Itanium C++ ABI: a pointer to a virtual member function holds the byte offset of its vtable
// entry, marked as virtual by adding 1 to it, or on ARM by the low bit of the this-adjustment.
struct MemberPointerBits {
  std::uintptr_t ptr;
  std::ptrdiff_t adj;
};

template <class F>
MemberPointerBits BitsOf(F member) {
  static_assert(sizeof(F) == sizeof(MemberPointerBits));
  MemberPointerBits bits;
  std::memcpy(&bits, &member, sizeof bits);
  return bits;
}

// 1-based entry of a virtual member, 0 for a member that is not virtual.
template <class F>
std::size_t EntryOf(F member) {
  const MemberPointerBits bits = BitsOf(member);
  if (BitsOf(&IUnknown::AddRef).adj & 1) return (bits.adj & 1) ? bits.ptr / sizeof(void*) + 1 : 0;
  return (bits.ptr & 1) ? (bits.ptr - 1) / sizeof(void*) + 1 : 0;
}

TEST(TickLabelList, MembersFollowTheDispatchEntries) {
  // Known entries of the bases first: they show that the decoding itself is right.
  EXPECT_EQ(EntryOf(&IUnknown::AddRef), 2u);
  EXPECT_EQ(EntryOf(&IDispatch::Invoke), 7u);
  EXPECT_EQ(EntryOf(&ITickLabelList::LabelAt), 8u);
  EXPECT_EQ(EntryOf(&ITickLabelList::SetLabel), 9u);
  EXPECT_EQ(EntryOf(&ITickLabelList::AddLabel), 10u);
  EXPECT_EQ(EntryOf(&ITickLabelList::InsertLabel), 11u);
  EXPECT_EQ(EntryOf(&ITickLabelList::RemoveLabel), 12u);
  EXPECT_EQ(EntryOf(&ITickLabelList::Clear), 13u);
  EXPECT_EQ(EntryOf(&ITickLabelList::LabelCount), 14u);
  EXPECT_EQ(EntryOf(&ITickLabelList::SetLabelCount), 15u);
  EXPECT_EQ(EntryOf(&ITickLabelList::ClearLabel), 16u);
  EXPECT_EQ(EntryOf(&ITickLabelList::HasLabel), 17u);
}

}  // namespace
