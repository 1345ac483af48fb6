// The module's type library tables (typelib.def as src/module/typelib_tables.cpp expands it),
// checked over every entry for the rules that IDispatch, ITypeInfo and event sinks rely on.
#include "module/typelib_tables.h"

#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira::test {
namespace {

std::span<const TypeEntry> Entries() { return {KelmiraTypeLibrary().types, KelmiraTypeLibrary().typeCount}; }

const TypeEntry* TableOf(REFGUID iid) {
  for (const TypeEntry& t : Entries()) {
    const GUID* g = t.interfaceInfo ? t.interfaceInfo->iid : t.dispInterface ? t.dispInterface->iid : nullptr;
    if (g && *g == iid) return &t;
  }
  return nullptr;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The members of an interface and of its bases.
std::vector<const MemberInfo*> MembersWithBases(const InterfaceInfo* iface) {
  std::vector<const MemberInfo*> members;
  for (; iface; iface = TableOf(*iface->base) ? TableOf(*iface->base)->interfaceInfo : nullptr)
    for (UINT i = 0; i < iface->memberCount; ++i) members.push_back(&iface->members[i]);
  return members;
}

TEST(KelmiraTables, ThePlatformTakesThem) { EXPECT_TRUE(SUCCEEDED(RegisterTypeLibraryInfo(&KelmiraTypeLibrary()))); }

TEST(KelmiraTables, IdentitiesAreDistinct) {
  std::vector<GUID> seen{GUID_NULL, IID_IUnknown, IID_IDispatch, IID_IClassFactory, *KelmiraTypeLibrary().libid};
  for (const TypeEntry& t : Entries()) {
    const auto [name, guid] = t.enumInfo        ? std::pair(t.enumInfo->name, t.enumInfo->guid)
                              : t.record        ? std::pair(t.record->name, t.record->guid)
                              : t.interfaceInfo ? std::pair(t.interfaceInfo->name, t.interfaceInfo->iid)
                              : t.dispInterface ? std::pair(t.dispInterface->name, t.dispInterface->iid)
                                                : std::pair(t.coclass->name, t.coclass->clsid);
    EXPECT_EQ(seen.end(), std::find(seen.begin(), seen.end(), *guid)) << name;
    seen.push_back(*guid);
  }
}

// IDispatch finds a property's get and put under one name and one dispatch id, without regard
// to case; no name is both a method and a property; a method's result is its retval.
TEST(KelmiraTables, DispatchIdsAgreeWithNames) {
  for (const TypeEntry& t : Entries()) {
    if (!t.interfaceInfo && !t.dispInterface) continue;
    const char* owner = t.interfaceInfo ? t.interfaceInfo->name : t.dispInterface->name;
    std::vector<const MemberInfo*> members = MembersWithBases(t.interfaceInfo);
    for (UINT i = 0; t.dispInterface && i < t.dispInterface->eventCount; ++i)
      members.push_back(&t.dispInterface->events[i]);
    EXPECT_TRUE(!t.interfaceInfo || (t.interfaceInfo->flags & kInterfaceDual)) << owner;
    std::map<std::string, DISPID> idOfName;
    std::map<DISPID, std::string> nameOfId;
    std::set<std::pair<std::string, MemberKind>> kinds;
    for (const MemberInfo* m : members) {
      SCOPED_TRACE(std::string(owner) + "::" + m->name);
      const std::string name = Lower(m->name);
      EXPECT_EQ(idOfName.emplace(name, m->dispid).first->second, m->dispid);
      EXPECT_EQ(nameOfId.emplace(m->dispid, name).first->second, name);
      EXPECT_TRUE(kinds.emplace(name, m->kind).second) << "twice";
      EXPECT_FALSE(kinds.count({name, MemberKind::Method}) &&
                   (kinds.count({name, MemberKind::Get}) || kinds.count({name, MemberKind::Put})))
          << "both a method and a property";
      const std::string_view params = m->paramList;
      EXPECT_TRUE(m->retval || !(params.ends_with("pbResult)") || params.ends_with("ppResult)"))) << "retval";
    }
  }
}

TEST(KelmiraTables, ClassesNameOneDefaultAndKnownInterfaces) {
  for (const TypeEntry& t : Entries()) {
    if (!t.coclass) continue;
    const CoClassInfo& c = *t.coclass;
    SCOPED_TRACE(c.name);
    EXPECT_NE((c.flags & kCoClassCreatable) != 0, (c.flags & kCoClassDeclaredOnly) != 0);
    int defaults = 0, sources = 0;
    for (UINT i = 0; i < c.interfaceCount; ++i) {
      const bool source = c.interfaces[i].flags & kImplSource;
      sources += source;
      defaults += !source && (c.interfaces[i].flags & kImplDefault);
      const TypeEntry* listed = TableOf(*c.interfaces[i].iid);
      if (*c.interfaces[i].iid == IID_IUnknown) continue;
      ASSERT_NE(nullptr, listed) << i;
      // Sources are event interfaces; the others are listed in the library.
      EXPECT_EQ(source, listed->dispInterface != nullptr) << i;
      EXPECT_FALSE(listed->interfaceInfo && (listed->interfaceInfo->flags & kInterfaceHidden)) << i;
    }
    EXPECT_EQ(1, defaults);
    EXPECT_LE(sources, 1);
  }
}

}  // namespace
}  // namespace kelmira::test
