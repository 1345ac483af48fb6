// Consistency of typelib.def itself, read the way the member tables read it: every line becomes
// one entry, and the rules that IDispatch and ITypeInfo rely on are checked over the whole list.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum class Kind { Library, Enum, Record, Interface, Member, Dispinterface, Event, Coclass, CoclassInterface };

// Flag and kind values for this reading only.
constexpr int KM_GET = 1, KM_PUT = 2, KM_PUTREF = 3, KM_METHOD = 4;
constexpr int KM_RETVAL = 1;
constexpr int KM_DUAL = 1, KM_HIDDEN_FROM_LIBRARY = 2;
constexpr int KM_CREATABLE = 1, KM_CONTROL = 2, KM_DECLARED_ONLY = 4;
constexpr int KM_IMPL_DEFAULT = 1, KM_IMPL_SOURCE = 2;

struct Entry {
  Kind kind;
  std::string_view owner;  // the name the line itself gives for its interface or class
  std::string_view name = "";
  std::string_view base = "";
  int flags = 0;
  DISPID dispid = 0;
  int memberKind = 0;
  std::string_view params = "";
  std::string_view defaults = "";
  GUID guid = GUID_NULL;
};

#define KM_LIBRARY(Name, major, minor, doc, g) Entry{.kind = Kind::Library, .owner = #Name, .guid = KELMIRA_GUID g},
#define KM_ENUM(Name, doc, g) Entry{.kind = Kind::Enum, .owner = #Name, .guid = KELMIRA_GUID g},
#define KM_ENUM_VALUE(Name, Value, number)
#define KM_END_ENUM(Name)
#define KM_RECORD(Name, doc, g) Entry{.kind = Kind::Record, .owner = #Name, .guid = KELMIRA_GUID g},
#define KM_FIELD(Name, Type, field)
#define KM_END_RECORD(Name)
#define KM_INTERFACE(Name, Base, iflags, doc, g) \
  Entry{.kind = Kind::Interface, .owner = #Name, .base = #Base, .flags = iflags, .guid = KELMIRA_GUID g},
#define KM_MEMBER(Name, mkind, id, M, parameters, mflags, defs) \
  Entry{.kind = Kind::Member,                                   \
        .owner = #Name,                                         \
        .name = #M,                                             \
        .flags = mflags,                                        \
        .dispid = id,                                           \
        .memberKind = mkind,                                    \
        .params = #parameters,                                  \
        .defaults = defs},
#define KM_END_INTERFACE(Name)
#define KM_DISPINTERFACE(Name, doc, g) Entry{.kind = Kind::Dispinterface, .owner = #Name, .guid = KELMIRA_GUID g},
#define KM_EVENT(Name, id, M, parameters) \
  Entry{.kind = Kind::Event, .owner = #Name, .name = #M, .dispid = id, .params = #parameters},
#define KM_END_DISPINTERFACE(Name)
#define KM_COCLASS(Name, cflags, doc, g) \
  Entry{.kind = Kind::Coclass, .owner = #Name, .flags = cflags, .guid = KELMIRA_GUID g},
#define KM_COCLASS_INTERFACE(Name, Interface, iflags) \
  Entry{.kind = Kind::CoclassInterface, .owner = #Name, .name = #Interface, .flags = iflags},
#define KM_END_COCLASS(Name)
constexpr Entry kEntries[] = {
#include <kelmira/typelib.def>
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The last parameter's name: "(VARIANT vIndex, VARIANT_BOOL* pbResult)" gives "pbResult".
std::string_view LastParameter(std::string_view params) {
  params.remove_suffix(1);
  return params.substr(params.find_last_of(" *(") + 1);
}

bool HasParameter(std::string_view params, std::string_view name) {
  for (char end : {',', ')'})
    if (params.find(" " + std::string(name) + end) != std::string_view::npos) return true;
  return false;
}

// The member lines of an interface together with those of its bases, base first.
std::vector<Entry> MembersWithBases(std::string_view iface) {
  std::vector<Entry> members;
  for (std::string_view name = iface; name != "IDispatch";) {
    std::vector<Entry> own;
    std::string_view base;
    for (const Entry& e : kEntries) {
      if (e.kind == Kind::Interface && e.owner == name) base = e.base;
      if (e.kind == Kind::Member && e.owner == name) own.push_back(e);
    }
    members.insert(members.begin(), own.begin(), own.end());
    name = base;
  }
  return members;
}

TEST(TypeLibraryTable, EveryLineNamesTheBlockItStandsIn) {
  std::string_view block;
  for (const Entry& e : kEntries) {
    if (e.kind == Kind::Interface || e.kind == Kind::Dispinterface || e.kind == Kind::Coclass) block = e.owner;
    if (e.kind == Kind::Member || e.kind == Kind::Event || e.kind == Kind::CoclassInterface) {
      EXPECT_EQ(e.owner, block) << e.name;
    }
  }
}

TEST(TypeLibraryTable, IdentitiesAreDistinctAndBasesComeFirst) {
  std::set<std::string_view> declared{"IDispatch"};
  std::vector<GUID> seen{IID_IUnknown, IID_IDispatch, IID_IClassFactory};  // the platform's own are taken
  for (const Entry& e : kEntries) {
    if (e.kind == Kind::Member || e.kind == Kind::Event || e.kind == Kind::CoclassInterface) continue;
    EXPECT_NE(e.guid, GUID_NULL) << e.owner;
    for (const GUID& g : seen) EXPECT_NE(e.guid, g) << e.owner;
    seen.push_back(e.guid);
    if (e.kind != Kind::Interface) continue;
    EXPECT_TRUE(declared.count(e.base)) << e.owner << " derives from " << e.base << " declared later";
    EXPECT_TRUE(e.flags & KM_DUAL) << e.owner;
    declared.insert(e.owner);
  }
}

// IDispatch finds a property's get and put under one name and one dispatch id, case-insensitively.
TEST(TypeLibraryTable, NamesAndDispatchIdsAgreeAcrossEachInterface) {
  for (const Entry& iface : kEntries) {
    if (iface.kind != Kind::Interface) continue;
    std::map<std::string, DISPID> idOfName;
    std::map<DISPID, std::string> nameOfId;
    std::set<std::pair<std::string, int>> kinds;
    for (const Entry& m : MembersWithBases(iface.owner)) {
      const std::string name = Lower(m.name);
      EXPECT_EQ(idOfName.emplace(name, m.dispid).first->second, m.dispid) << iface.owner << "::" << m.name;
      EXPECT_EQ(nameOfId.emplace(m.dispid, name).first->second, name) << iface.owner << "::" << m.name;
      EXPECT_TRUE(kinds.emplace(name, m.memberKind).second) << iface.owner << "::" << m.name << " twice";
      const bool isMethod = m.memberKind == KM_METHOD;
      EXPECT_TRUE(isMethod ? !kinds.count({name, KM_GET}) && !kinds.count({name, KM_PUT})
                           : !kinds.count({name, KM_METHOD}))
          << iface.owner << "::" << m.name << " is both a method and a property";
    }
  }
}

TEST(TypeLibraryTable, ResultArgumentsAreMarkedAndDefaultsNameParameters) {
  for (const Entry& m : kEntries) {
    if (m.kind != Kind::Member) continue;
    const std::string_view last = m.params == "()" ? "" : LastParameter(m.params);
    const std::string where = std::string(m.owner) + "::" + std::string(m.name);
    if (m.memberKind == KM_METHOD && (last == "pbResult" || last == "ppResult")) {
      EXPECT_EQ(m.flags, KM_RETVAL) << where;
    }
    if (m.memberKind != KM_METHOD) {
      EXPECT_EQ(m.flags, 0) << where;
    }
    if (m.memberKind == KM_GET) {
      EXPECT_NE(m.params.find('*'), std::string_view::npos) << where;
    }
    std::string_view defs = m.defaults;
    while (!defs.empty()) {
      const std::string_view item = defs.substr(0, defs.find(';'));
      EXPECT_TRUE(HasParameter(m.params, item.substr(0, item.find('=')))) << where;
      defs.remove_prefix(std::min(defs.size(), item.size() + 1));
    }
  }
}

TEST(TypeLibraryTable, EventIdsAreDistinctWithinEachEventInterface) {
  std::set<std::pair<std::string_view, DISPID>> ids;
  for (const Entry& e : kEntries) {
    if (e.kind == Kind::Event) {
      EXPECT_TRUE(ids.emplace(e.owner, e.dispid).second) << e.owner << "::" << e.name;
    }
  }
}

TEST(TypeLibraryTable, ClassesNameOneDefaultAndKnownInterfaces) {
  std::map<std::string_view, int> interfaceFlags{{"IUnknown", 0}};
  std::set<std::string_view> dispinterfaces;
  for (const Entry& e : kEntries) {
    if (e.kind == Kind::Interface) interfaceFlags[e.owner] = e.flags;
    if (e.kind == Kind::Dispinterface) dispinterfaces.insert(e.owner);
    if (e.kind != Kind::Coclass) continue;
    EXPECT_NE((e.flags & KM_CREATABLE) != 0, (e.flags & KM_DECLARED_ONLY) != 0) << e.owner;
    int defaults = 0, sources = 0;
    for (const Entry& c : kEntries) {
      if (c.kind != Kind::CoclassInterface || c.owner != e.owner) continue;
      const bool source = c.flags & KM_IMPL_SOURCE;
      sources += source;
      defaults += !source && (c.flags & KM_IMPL_DEFAULT);
      if (source) {
        EXPECT_TRUE(dispinterfaces.count(c.name)) << e.owner << " sources " << c.name;
        continue;
      }
      const auto it = interfaceFlags.find(c.name);
      ASSERT_NE(it, interfaceFlags.end()) << e.owner << " lists " << c.name;
      EXPECT_FALSE(it->second & KM_HIDDEN_FROM_LIBRARY) << e.owner << " lists " << c.name;
    }
    EXPECT_EQ(defaults, 1) << e.owner;
    EXPECT_LE(sources, 1) << e.owner;
  }
}

}  // namespace
