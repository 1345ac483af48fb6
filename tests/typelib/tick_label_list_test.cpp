// The axes call a host's label list by vtable entry: LabelAt is entry 8, LabelCount 14 and
// HasLabel 17, counting QueryInterface as 1. A host compiled against another declaration order
// would receive the wrong calls, so the entries are checked on the real vtable.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

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

bool VirtualBitInAdjustment() { return BitsOf(&IUnknown::AddRef).adj & 1; }

// 1-based entry of a virtual member, 0 for a member that is not virtual.
template <class F>
std::size_t EntryOf(F member) {
  const MemberPointerBits bits = BitsOf(member);
  if (VirtualBitInAdjustment()) return (bits.adj & 1) ? bits.ptr / sizeof(void*) + 1 : 0;
  return (bits.ptr & 1) ? (bits.ptr - 1) / sizeof(void*) + 1 : 0;
}

// The member pointer that calls whatever sits at a 1-based entry, typed as the caller expects.
template <class F>
F MemberAtEntry(std::size_t entry) {
  const std::uintptr_t offset = (entry - 1) * sizeof(void*);
  const MemberPointerBits bits =
      VirtualBitInAdjustment() ? MemberPointerBits{offset, 1} : MemberPointerBits{offset + 1, 0};
  F member;
  std::memcpy(&member, &bits, sizeof member);
  return member;
}

// A host's list that only notes which of its members ran.
struct RecordingList final : ITickLabelList {
  std::string called;

  HRESULT QueryInterface(REFIID, void**) override { return E_NOTIMPL; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

  HRESULT LabelAt(VARIANT, VARIANT*) override { return Note("LabelAt"); }
  HRESULT SetLabel(VARIANT, VARIANT) override { return Note("SetLabel"); }
  HRESULT AddLabel(VARIANT, LONG*) override { return Note("AddLabel"); }
  HRESULT InsertLabel(VARIANT, VARIANT) override { return Note("InsertLabel"); }
  HRESULT RemoveLabel(VARIANT) override { return Note("RemoveLabel"); }
  HRESULT Clear() override { return Note("Clear"); }
  HRESULT LabelCount(LONG*) override { return Note("LabelCount"); }
  HRESULT SetLabelCount(LONG) override { return Note("SetLabelCount"); }
  HRESULT ClearLabel(VARIANT) override { return Note("ClearLabel"); }
  HRESULT HasLabel(VARIANT, VARIANT_BOOL*) override { return Note("HasLabel"); }

 private:
  HRESULT Note(const char* name) {
    called = name;
    return S_OK;
  }
};

TEST(TickLabelList, MembersFollowTheDispatchEntries) {
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

TEST(TickLabelList, CallsByEntryReachTheHostsMembers) {
  ASSERT_EQ(EntryOf(&ITickLabelList::HasLabel), 17u);  // calls below are typed for these entries
  RecordingList host;
  ITickLabelList& list = host;
  VARIANT index{};
  index.vt = VT_I4;

  VARIANT value{};
  EXPECT_EQ((list.*MemberAtEntry<HRESULT (ITickLabelList::*)(VARIANT, VARIANT*)>(8))(index, &value), S_OK);
  EXPECT_EQ(host.called, "LabelAt");

  LONG count = 0;
  EXPECT_EQ((list.*MemberAtEntry<HRESULT (ITickLabelList::*)(LONG*)>(14))(&count), S_OK);
  EXPECT_EQ(host.called, "LabelCount");

  VARIANT_BOOL has = VARIANT_FALSE;
  EXPECT_EQ((list.*MemberAtEntry<HRESULT (ITickLabelList::*)(VARIANT, VARIANT_BOOL*)>(17))(index, &has), S_OK);
  EXPECT_EQ(host.called, "HasLabel");
}

}  // namespace
