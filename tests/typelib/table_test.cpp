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

const GUID& GuidOf(const TypeEntry& t) {
  return *(t.enumInfo        ? t.enumInfo->guid
           : t.record        ? t.record->guid
           : t.interfaceInfo ? t.interfaceInfo->iid
           : t.dispInterface ? t.dispInterface->iid
                             : t.coclass->clsid);
}

const TypeEntry* Find(REFGUID guid) {
  for (const TypeEntry& t : Entries())
    if (GuidOf(t) == guid) return &t;
  return nullptr;
}

TEST(KelmiraTables, ThePlatformTakesThem) { EXPECT_TRUE(SUCCEEDED(RegisterTypeLibraryInfo(&KelmiraTypeLibrary()))); }

TEST(KelmiraTables, IdentitiesAreDistinct) {
  std::vector<GUID> seen{GUID_NULL, IID_IUnknown, IID_IDispatch, IID_IClassFactory, *KelmiraTypeLibrary().libid};
  for (const TypeEntry& t : Entries()) {
    EXPECT_EQ(seen.end(), std::find(seen.begin(), seen.end(), GuidOf(t))) << "entry " << seen.size() - 5;
    seen.push_back(GuidOf(t));
  }
}

// IDispatch finds a property's get and put under one name and one dispatch id, without regard
// to case; no name is both a method and a property; a method's result is its retval.
TEST(KelmiraTables, DispatchIdsAgreeWithNames) {
  for (const TypeEntry& t : Entries()) {
    if (!t.interfaceInfo && !t.dispInterface) continue;
    std::vector<const MemberInfo*> members;  // with those of the bases
    for (const InterfaceInfo* i = t.interfaceInfo; i; i = Find(*i->base) ? Find(*i->base)->interfaceInfo : nullptr)
      for (UINT k = 0; k < i->memberCount; ++k) members.push_back(&i->members[k]);
    for (UINT k = 0; t.dispInterface && k < t.dispInterface->eventCount; ++k)
      members.push_back(&t.dispInterface->events[k]);
    SCOPED_TRACE(t.interfaceInfo ? t.interfaceInfo->name : t.dispInterface->name);
    EXPECT_TRUE(!t.interfaceInfo || (t.interfaceInfo->flags & kInterfaceDual));
    std::map<std::string, DISPID> idOfName;
    std::map<DISPID, std::string> nameOfId;
    std::set<std::pair<std::string, MemberKind>> kinds;
    for (const MemberInfo* m : members) {
      SCOPED_TRACE(m->name);
      std::string name = m->name;
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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
      if (*c.interfaces[i].iid == IID_IUnknown) continue;
      const TypeEntry* listed = Find(*c.interfaces[i].iid);
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
